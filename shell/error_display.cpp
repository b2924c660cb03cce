#include "shell/error_display.h"

#include "shell/messages.h"

namespace bq::shell {

void ShowApplicationError(Screen& screen, std::string_view message) {
    screen.Message(kApplicationTitle, DisplayedMessage(message), Icon::Stop, Buttons::Ok);
}

}  // namespace bq::shell
