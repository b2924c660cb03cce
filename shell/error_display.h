// The application error display: every event handler runs through Guarded,
// so that a failure anywhere below reaches the user as one message box and
// the program goes on.
#pragma once

#include <exception>
#include <new>
#include <string_view>

#include "platform/error.h"
#include "shell/screen.h"

namespace bq::shell {

// Shows `message` captioned with the application title, with a stop icon
// and an OK button, a full stop added after a last character above '.'.
// A line too long for a box (a huge value) is shown cut, ending in "...".
void ShowApplicationError(Screen& screen, std::string_view message);

// `text` with every line longer than `limit` bytes cut to `limit` and "..." added.
std::string CutLongLines(std::string_view text, size_t limit);

// Runs `handler`; true when it finished without failing. A silent abort
// shows nothing; any other failure shows its message.
template <typename Handler>
bool Guarded(Screen& screen, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const SilentAbort&) {
        // The user has already been told.
    } catch (const std::bad_alloc&) {
        ShowApplicationError(screen, kOutOfMemory);
    } catch (const std::exception& e) {
        ShowApplicationError(screen, e.what());
    }
    return false;
}

// The hour-glass for as long as it lives, so that a failure restores the cursor too.
class Busy {
  public:
    explicit Busy(Screen& screen) : screen_(screen) { screen_.SetBusy(true); }
    ~Busy() { screen_.SetBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    Screen& screen_;
};

}  // namespace bq::shell
