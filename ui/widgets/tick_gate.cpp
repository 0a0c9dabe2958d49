#include "ui/widgets/tick_gate.h"

#include <QTimer>

namespace markola {

void TickGate::Tick() {
    if (running_ > 0) {
        held_ = true;
    } else {
        deliverTick_();
    }
}

// Queued, so that the widget whose event ran the handler finishes its own processing of
// that event first, as for a tick of the timer itself.
void TickGate::Leave() {
    if (--running_ == 0 && held_) {
        held_ = false;
        QTimer::singleShot(0, &context_, [this] { Tick(); });
    }
}

}  // namespace markola
