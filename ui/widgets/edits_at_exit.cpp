#include "ui/widgets/edits_at_exit.h"

#include <cstdlib>
#include <utility>

namespace markola {
namespace {

// What exit() runs; empty once the program has left main() the ordinary way.
std::function<void()>& Keep() {
    static std::function<void()> keep;
    return keep;
}

void KeepAtExit() {
    if (const std::function<void()> keep = std::exchange(Keep(), {})) {
        keep();
    }
}

}  // namespace

EditsAtExit::EditsAtExit(std::function<void()> keep) {
    static const bool registered = std::atexit(KeepAtExit) == 0;
    (void)registered;
    Keep() = std::move(keep);
}

EditsAtExit::~EditsAtExit() {
    Keep() = {};
}

}  // namespace markola
