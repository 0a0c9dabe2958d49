#pragma once

#include <QObject>
#include <optional>

class QPlainTextEdit;

namespace markola {

// The toolkit draws the whole of a line again for each blink of the caret in it, whatever
// little of it is on screen, and a line of millions of characters takes longer to draw than a
// blink lasts: such a caret cannot keep its pace, and the program would never rest. While the
// caret of the text box stands in a line this long and the box has the focus, the caret stays
// on. The flash time is the application's, so it is given back as soon as the caret leaves the
// line or the box loses the focus.
inline constexpr int kUnblinkingLineLength = 100'000;

class SteadyCaret : public QObject {
public:
    // Watches the box, which owns it.
    explicit SteadyCaret(QPlainTextEdit* box);
    ~SteadyCaret() override;
    SteadyCaret(const SteadyCaret&) = delete;
    SteadyCaret& operator=(const SteadyCaret&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow();
    void Hold();
    void Release();

    QPlainTextEdit* box_;
    // The application's flash time while the caret is held steady.
    std::optional<int> heldFlashTime_;
};

}  // namespace markola
