#include "cli/progress.h"

#include <string>

namespace bq::cli {

Progress::~Progress() {
    if (drawn_) err_ << '\r' << std::string(72, ' ') << '\r' << std::flush;
}

std::function<void(size_t, size_t)> Progress::Callback() {
    if (!enabled_) return {};
    return [this](size_t done, size_t total) { Draw(done, total); };
}

void Progress::Draw(size_t done, size_t total) {
    if (total == 0) return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    err_ << "\rverifying [" << std::string(static_cast<size_t>(filled), '#')
         << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] " << percent << "% " << done << '/'
         << total << " records" << std::flush;
    drawn_ = true;
}

}  // namespace bq::cli
