#include "shell/error_display.h"

#include <algorithm>

#include "shell/messages.h"

namespace bq::shell {

namespace {

// Enough for any caption, path or reasonable value; a box laid out for
// megabytes of text would freeze the window for many seconds.
constexpr size_t kLongestShownLine = 400;

}  // namespace

std::string CutLongLines(std::string_view text, size_t limit) {
    std::string shown;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        const bool crlf = !line.empty() && line.back() == '\r';
        if (crlf) line.remove_suffix(1);
        shown.append(line.substr(0, limit));
        if (line.size() > limit) shown.append("...");
        if (crlf) shown += '\r';
        if (end < text.size()) shown += '\n';
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return shown;
}

void ShowApplicationError(Screen& screen, std::string_view message) {
    screen.Message(kApplicationTitle, CutLongLines(DisplayedMessage(message), kLongestShownLine), Icon::Stop,
                   Buttons::Ok);
}

}  // namespace bq::shell
