// Blocks of records verified on several threads and finished in the order
// they were read: records are independent, so any thread can verify a
// block, but the first bad value, the output bytes and the progress must be
// those of a reading in record order.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "extract/extract_reader.h"

namespace bq {

class RecordBuilder;
struct ValueProblem;

// Bytes grown at the end without initialising what is about to be written.
class ByteBuffer {
  public:
    // Room for `bytes` more bytes after the used ones.
    char* Room(size_t bytes);
    // Marks the bytes up to `end`, within the room, as used.
    void Use(char* end) { size_ = static_cast<size_t>(end - data_.get()); }
    void Clear() { size_ = 0; }
    std::string_view View() const { return {data_.get(), size_}; }

  private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0, capacity_ = 0;
};

// One block of records and what verifying it made.
struct BlockJob {
    RecordBlock input;
    size_t firstRecord = 0;  // the 1-based number of the block's first record
    std::exception_ptr error;
    std::unique_ptr<RecordBuilder> record;  // kept from block to block
    ByteBuffer output;                      // the block's output lines
    std::vector<ValueProblem> problems;     // in record order
    // Each run of empty records among the problems: the index of its one
    // warning, and how many records it spans.
    std::vector<std::pair<size_t, size_t>> emptyRuns;
    size_t rowsDone = 0;               // records verified whole
    bool stopped = false;              // a rejected value ended the block
    std::vector<std::string> lastRow;  // the record last worked on
    BlockJob();
    ~BlockJob();
};

// Reads the blocks of `blocks` on the calling thread, runs `work` on each on
// up to `threads` threads (the calling thread among them), and hands each
// finished block to `finish` on the calling thread in reading order;
// `finish` returning false ends the run. An exception of `work` is thrown
// in the block's turn; any exception stops the other threads first.
void ForEachBlockInOrder(RecordBlocks& blocks, size_t threads, const std::function<void(BlockJob&)>& work,
                         const std::function<bool(BlockJob&)>& finish);

}  // namespace bq
