// The progress bar bqdm draws on stderr during a long verification: one
// line that fits the terminal and is cleared when verification ends.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>

namespace bq::cli {

class Progress {
  public:
    // Draws within `columns` columns of `err`; 0 draws nothing.
    Progress(std::ostream& err, int columns) : err_(err), columns_(columns) {}
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    // Clears the bar, also when verification ends in an error.
    ~Progress();
    // The callback to hand to the verification; empty when not drawing.
    std::function<void(size_t done, size_t total)> Callback();

  private:
    void Draw(size_t done, size_t total);
    std::ostream& err_;
    int columns_;
    size_t drawnWidth_ = 0;
    int lastPercent_ = -1;
};

}  // namespace bq::cli
