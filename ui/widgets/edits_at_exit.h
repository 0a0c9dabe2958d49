#pragma once

#include <functional>

namespace markola {

// The toolkit ends the program with exit() when its connection to the display breaks, with
// no close and no return from the event loop. While an instance lives, such an exit runs
// `keep` first, so that the edits are kept as at an end by signal. One instance at a time.
class EditsAtExit {
public:
    explicit EditsAtExit(std::function<void()> keep);
    ~EditsAtExit();
    EditsAtExit(const EditsAtExit&) = delete;
    EditsAtExit& operator=(const EditsAtExit&) = delete;
};

}  // namespace markola
