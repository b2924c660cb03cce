// An extract read in blocks from wherever its bytes are, never held whole:
// its first lines, one pass that finds the data area, and the data area cut
// into blocks of whole records. Lines end as ExtractLines says; a NUL byte
// ends the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "extract/extract_format.h"

namespace bq {

// Reads up to `size` bytes at `offset` into `out`; fewer only at the end of
// the bytes. Throws Error when they cannot be read.
using ReadBytesAt = std::function<size_t(std::uint64_t offset, char* out, size_t size)>;

// A ReadBytesAt over `text`, which must outlive it.
ReadBytesAt ReadFromText(std::string_view text);

// The first `count` lines of the extract, or all of them when it has fewer.
std::vector<std::string> HeadLines(const ReadBytesAt& read, size_t count);

// Finds the data area in one pass that stops at its {END DATA} line: the
// markers by searching the bytes, the data lines by counting the breaks.
DataArea FindDataArea(const ReadBytesAt& read);

// The line numbers of the first `most` empty lines of the data area `area`,
// which FindDataArea found.
std::vector<size_t> EmptyDataLines(const ReadBytesAt& read, const DataArea& area, size_t most);

// Whole records of the data area, their bytes in a buffer reused from block to block.
struct RecordBlock {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    size_t capacity = 0;
    size_t records = 0;
    std::string_view Text() const { return {bytes.get(), size}; }
};

// The data area read in blocks of whole records, each about `blockBytes`
// long (fewer when that would be more than `maxRecords` records) and at
// least one record, so that records can be verified as they come, on any
// thread.
class RecordBlocks {
  public:
    // `area` is what FindDataArea found (status Found); `extractFile`
    // names the extract in the message of a changed file.
    RecordBlocks(ReadBytesAt read, const DataArea& area, size_t linesPerRecord, size_t blockBytes,
                 size_t maxRecords, std::string extractFile);
    // Reads the next records into `block`; false when there are no more.
    // Throws Error "Cannot open file ..." when the data area no longer holds
    // the lines FindDataArea counted: the file changed since.
    bool Next(RecordBlock& block);

  private:
    [[noreturn]] void Changed() const;
    // Appends the next bytes of the area to `block`.
    void ReadMore(RecordBlock& block);

    ReadBytesAt read_;
    std::uint64_t at_, end_;
    size_t linesLeft_;
    size_t linesPerRecord_;
    size_t blockBytes_;
    size_t maxRecords_;
    std::string extractFile_;
    // Bytes read past the last whole record: the start of the next block,
    // with its breaks already counted up to carryCounted_.
    std::string carry_;
    size_t carryCounted_ = 0, carryLines_ = 0;
    bool done_ = false;
};

}  // namespace bq
