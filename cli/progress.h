// The progress bar bqdm draws on stderr during a long verification, only
// when stderr is a terminal.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>

namespace bq::cli {

class Progress {
  public:
    Progress(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    // Clears the bar, also when verification ends in an error.
    ~Progress();
    // The callback to hand to the verification; empty when not drawing.
    std::function<void(size_t done, size_t total)> Callback();

  private:
    void Draw(size_t done, size_t total);
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    int lastPercent_ = -1;
};

}  // namespace bq::cli
