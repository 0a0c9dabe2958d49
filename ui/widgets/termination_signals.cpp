#include "ui/widgets/termination_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace markola {
namespace {

constexpr std::array kSignals{SIGTERM, SIGHUP, SIGINT, SIGQUIT};
int pipeEnds[2] = {-1, -1};  // the handler writes to [0], the event loop reads [1]

void OnSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    (void)!write(pipeEnds[0], &byte, 1);
    errno = savedErrno;
}

void SetHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        sigaction(number, &action, nullptr);
    }
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::Drain);
    SetHandler(OnSignal);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) {
        return;
    }
    SetHandler(SIG_DFL);
    notifier_.reset();
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::Drain() {
    char bytes[16];
    while (read(pipeEnds[1], bytes, sizeof bytes) > 0) {
    }
    received_ = true;
    emit received();
}

}  // namespace markola
