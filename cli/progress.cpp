#include "cli/progress.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace bq::cli {
namespace {

constexpr std::string_view kLabel = "verifying";
// The bar is at most this wide, and left out when fewer columns are left.
constexpr size_t kWidestBar = 40;
constexpr size_t kNarrowestBar = 10;

}  // namespace

Progress::~Progress() {
    if (drawnWidth_ > 0) err_ << '\r' << std::string(drawnWidth_, ' ') << '\r' << std::flush;
}

std::function<void(size_t, size_t)> Progress::Callback() {
    if (columns_ <= 0) return {};
    return [this](size_t done, size_t total) { Draw(done, total); };
}

void Progress::Draw(size_t done, size_t total) {
    if (total == 0) return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    // The bar keeps one width from start to end: the widest counts decide it.
    const auto counts = [total](int shownPercent, size_t shownDone) {
        std::string text(1, ' ');
        text.append(std::to_string(shownPercent))
            .append("% ")
            .append(std::to_string(shownDone))
            .append(1, '/');
        return text.append(std::to_string(total)).append(" records");
    };
    // The last column is left free: writing there wraps the line on some terminals.
    const size_t usable = static_cast<size_t>(columns_ - 1);
    const size_t frame = kLabel.size() + 3 + counts(100, total).size();  // " [" and "]"
    std::string line(kLabel);
    if (usable >= frame + kNarrowestBar) {
        const size_t width = std::min(kWidestBar, usable - frame);
        const size_t filled = static_cast<size_t>(percent) * width / 100;
        line.append(" [").append(filled, '#').append(width - filled, ' ').append(1, ']');
    }
    line = (line + counts(percent, done)).substr(0, usable);
    err_ << '\r' << line << std::string(drawnWidth_ > line.size() ? drawnWidth_ - line.size() : 0, ' ')
         << std::flush;
    drawnWidth_ = std::max(drawnWidth_, line.size());
}

}  // namespace bq::cli
