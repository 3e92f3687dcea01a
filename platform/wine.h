// Whether the program runs under Wine rather than Windows. Code that works
// around a fault of Wine's own controls asks this, so that what happens on
// Windows does not change.
#pragma once

#include <optional>

namespace velmar::platform {

// True when ntdll exports wine_get_version, which only Wine's does. Asked
// once; a ScopedWineAnswer stands in for the answer while it lives.
bool RunningUnderWine();

// Tests take either side with this: while it lives, RunningUnderWine
// answers `underWine`. Not nested across threads; one at a time.
class ScopedWineAnswer {
public:
    explicit ScopedWineAnswer(bool underWine);
    ~ScopedWineAnswer();
    ScopedWineAnswer(const ScopedWineAnswer&) = delete;
    ScopedWineAnswer& operator=(const ScopedWineAnswer&) = delete;

private:
    std::optional<bool> previous_;
};

}  // namespace velmar::platform
