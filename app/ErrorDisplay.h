// The application error display: every event handler runs through Guarded,
// so that a failure anywhere in the core reaches the user as one message box
// and never escapes into Qt's event loop.
#pragma once

#include <exception>
#include <string_view>

#include "app/Dialogs.h"
#include "platform/error.h"

namespace bq::app {

// Shows `message` captioned with the application title, with a stop icon.
void ShowApplicationError(Dialogs& dialogs, QWidget* parent, std::string_view message);

// Runs `handler`; true when it finished without failing.
template <typename Handler>
bool Guarded(Dialogs& dialogs, QWidget* parent, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const SilentAbort&) {
        // The user has already been told.
    } catch (const std::exception& e) {
        ShowApplicationError(dialogs, parent, e.what());
    }
    return false;
}

// An hour-glass cursor for as long as it lives, so that a failure restores the cursor too.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace bq::app
