#include "app/application_start.h"

#include <QByteArray>
#include <QString>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "app/command_line_answer.h"

namespace markola {

namespace {

struct StartMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::mutex heldMessagesMutex;  // the toolkit may start threads of its own meanwhile
std::vector<StartMessage> heldMessages;

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The toolkit's one fatal message while it starts is that no platform plugin could be
    // initialised: on a desktop system, that no display can be reached. Nothing has been
    // written yet that an exit could leave half done.
    if (type == QtFatalMsg) {
        ReportNoDisplay();
        std::_Exit(EXIT_FAILURE);
    }
    const std::lock_guard lock(heldMessagesMutex);
    heldMessages.push_back({type, context.category, text});
}

}  // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
    const QtMessageHandler toolkitHandler = qInstallMessageHandler(HoldStartMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(toolkitHandler);
    const std::lock_guard lock(heldMessagesMutex);
    for (const StartMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        toolkitHandler(message.type, context, message.text);
    }
    heldMessages.clear();
    return app;
}

}  // namespace markola
