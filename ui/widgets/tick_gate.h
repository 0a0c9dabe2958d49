#pragma once

#include <QObject>
#include <functional>

namespace markola {

// Keeps the restore tick out of the handlers. A modal question runs an event loop of its
// own, in which a timer falls due like anywhere else; a tick that comes while any handler
// runs is held and delivered, once, as an event of its own after the outermost handler
// has returned.
class TickGate {
public:
    explicit TickGate(std::function<void()> deliverTick) : deliverTick_(std::move(deliverTick)) {}

    // A handler runs from the creation of this object to its destruction.
    class Running {
    public:
        explicit Running(TickGate& gate) : gate_(gate) { ++gate_.running_; }
        ~Running() { gate_.Leave(); }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        TickGate& gate_;
    };

    // The handler, run as one that a tick must wait for.
    template <typename Handler>
    auto Guarded(Handler handler) {
        return [this, handler] {
            const Running running(*this);
            handler();
        };
    }

    // The timer's tick: delivered now, or held until no handler runs.
    void Tick();

private:
    void Leave();

    std::function<void()> deliverTick_;
    QObject context_;  // ends a held delivery together with the gate
    int running_ = 0;
    bool held_ = false;
};

}  // namespace markola
