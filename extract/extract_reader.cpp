#include "extract/extract_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/files.h"
#include "schema/text.h"

namespace bq {
namespace {

// Bytes read at a time by the pass over the whole extract. Reads start
// small and grow to this, so that a short extract costs a short buffer.
constexpr size_t kScanBlock = size_t{1} << 20;
constexpr size_t kFirstRead = size_t{4} << 10;

// The line breaks among p[0, n), a CR followed by LF counting once. p[n]
// must be readable: it is looked at after a CR. Plain, so that the
// compiler vectorises it; counted into a byte per piece of 128 bytes, so
// that one instruction counts as many bytes as a register holds.
size_t CountBreaks(const char* p, size_t n) {
    size_t breaks = 0;
    for (size_t at = 0; at < n; at += 128) {
        const size_t piece = std::min<size_t>(n - at, 128);
        unsigned char count = 0;
        for (size_t i = at; i < at + piece; ++i)
            count += (p[i] == '\n') | ((p[i] == '\r') & (p[i + 1] != '\n'));
        breaks += count;
    }
    return breaks;
}

bool IsBreak(char c) { return c == '\n' || c == '\r'; }

// Where the line ends `surplus` lines before bytes[end] begins: just after
// the break of the line before them. bytes[end] must be readable.
size_t AfterBreak(const char* bytes, size_t end, size_t surplus) {
    for (size_t cut = end;; --cut) {
        const char c = bytes[cut - 1];
        if ((c == '\n' || (c == '\r' && bytes[cut] != '\n')) && surplus-- == 0) return cut;
    }
}

// Makes room for `size` bytes and a readable byte after them, keeping the content.
void Reserve(RecordBlock& block, size_t size) {
    if (size <= block.capacity && block.bytes) return;
    const size_t capacity = std::max(size, block.capacity * 2);
    std::unique_ptr<char[]> bytes(new char[capacity + 1]);
    if (block.size) std::memcpy(bytes.get(), block.bytes.get(), block.size);
    block.bytes = std::move(bytes);
    block.capacity = capacity;
}

// The pass of FindDataArea: a window slid over the extract block by block,
// in which the markers are searched and the lines before and inside the
// area counted.
class MarkerScan {
  public:
    explicit MarkerScan(const ReadBytesAt& read) : read_(read), buffer_(new char[block_ + kKeep + 1]) {}

    DataArea Run() {
        for (;;) {
            Fill();
            const size_t limit = atEnd_ ? have_ : have_ - std::min(have_, kKeep);
            if (Decided(limit)) return area_;
            if (begin_)
                CountInArea(limit);
            else
                CountBefore(limit);
            if (atEnd_) break;
            Slide(limit);
        }
        area_.status = begin_ ? DataAreaStatus::NoEnd : DataAreaStatus::NoBegin;
        area_.lineCount = 0;
        return area_;
    }

  private:
    // Bytes held back at the end of each block, so that a marker and the
    // byte after it are always whole in the part looked at.
    static constexpr size_t kKeep = 16;

    void Fill() {
        char* buf = buffer_.get();
        if (!atEnd_) {
            size_t got = read_(start_ + have_, buf + have_, block_);
            if (const void* nul = std::memchr(buf + have_, '\0', got)) {
                got = static_cast<size_t>(static_cast<const char*>(nul) - (buf + have_));
                atEnd_ = true;
            }
            atEnd_ |= got < block_;
            have_ += got;
        }
        buf[have_] = '\0';
    }

    // Looks for the markers in the window's first `limit` bytes; true when
    // what they say about the area is settled.
    bool Decided(size_t limit) {
        const char* buf = buffer_.get();
        for (size_t at = 0; at < limit; ++at) {
            // Markers start with '{', which has no case: memchr finds the candidates.
            const void* brace = std::memchr(buf + at, '{', limit - at);
            if (!brace) return false;
            at = static_cast<size_t>(static_cast<const char*>(brace) - buf);
            if (!IsBreak(at == 0 ? before_ : buf[at - 1])) continue;
            if (!begin_ && IsMarkerAt(at, kBeginDataMarker)) {
                if (Begin(at)) return true;
            } else if (!end_ && IsMarkerAt(at, kEndDataMarker)) {
                end_ = start_ + at;
                if (begin_) {
                    CountInArea(at);
                    area_.status = DataAreaStatus::Found;
                    area_.end = *end_;
                    return true;
                }
            }
        }
        return false;
    }

    // Whether `marker` and the end of its line are at buf[at].
    bool IsMarkerAt(size_t at, std::string_view marker) const {
        const char* buf = buffer_.get();
        const size_t after = at + marker.size();
        return after <= have_ && EqualsIgnoringCase(std::string_view(buf + at, marker.size()), marker) &&
               (after == have_ || IsBreak(buf[after]));
    }

    // The {BEGIN DATA} line at buf[at]; true when an {END DATA} came first.
    bool Begin(size_t at) {
        const char* buf = buffer_.get();
        begin_ = start_ + at;
        CountBefore(at);
        area_.beginLine = linesBefore_ + 1;
        if (end_) {
            area_.status = DataAreaStatus::EndBeforeBegin;
            return true;
        }
        size_t first = at + kBeginDataMarker.size();
        if (first < have_ && buf[first++] == '\r' && first < have_ && buf[first] == '\n') ++first;
        area_.first = countFrom_ = start_ + first;
        return false;
    }

    // Counts the line breaks before the area up to buf[to].
    void CountBefore(size_t to) {
        const size_t from = static_cast<size_t>(beforeCounted_ - start_);
        if (from < to) linesBefore_ += CountBreaks(buffer_.get() + from, to - from);
        beforeCounted_ = start_ + std::max(from, to);
    }

    // Counts the data lines up to buf[to].
    void CountInArea(size_t to) {
        const size_t from = countFrom_ > start_ ? static_cast<size_t>(countFrom_ - start_) : 0;
        if (from < to) area_.lineCount += CountBreaks(buffer_.get() + from, to - from);
        countFrom_ = start_ + std::max(from, to);
    }

    // Moves the window past its first `limit` bytes, growing it while it is small.
    void Slide(size_t limit) {
        char* buf = buffer_.get();
        if (limit > 0) before_ = buf[limit - 1];
        start_ += limit;
        have_ -= limit;
        if (block_ < kScanBlock) {
            block_ = std::min(16 * block_, kScanBlock);
            std::unique_ptr<char[]> grown(new char[block_ + kKeep + 1]);
            std::memcpy(grown.get(), buf + limit, have_);
            buffer_ = std::move(grown);
        } else {
            std::memmove(buf, buf + limit, have_);
        }
    }

    const ReadBytesAt& read_;
    size_t block_ = kFirstRead;
    std::unique_ptr<char[]> buffer_;
    size_t have_ = 0;
    std::uint64_t start_ = 0;  // the offset of the window's first byte
    char before_ = '\n';       // the byte before the window; the text's start starts a line
    bool atEnd_ = false;
    std::optional<std::uint64_t> begin_, end_;
    DataArea area_;
    std::uint64_t countFrom_ = 0;      // data lines are counted from here while the area is open
    std::uint64_t beforeCounted_ = 0;  // the lines before the area are counted up to here
    size_t linesBefore_ = 0;
};

}  // namespace

ReadBytesAt ReadFromText(std::string_view text) {
    return [text](std::uint64_t offset, char* out, size_t size) -> size_t {
        if (offset >= text.size()) return 0;
        const size_t n = std::min<size_t>(size, text.size() - offset);
        std::memcpy(out, text.data() + offset, n);
        return n;
    };
}

std::vector<std::string> HeadLines(const ReadBytesAt& read, size_t count) {
    constexpr size_t kMostRead = 64 << 10;
    size_t block = kFirstRead;
    std::vector<std::string> lines;
    std::string text;
    size_t pos = 0;       // where the next line starts in text
    size_t scanFrom = 0;  // no break before here after pos: a long line is searched once
    bool atEnd = false;
    while (lines.size() < count) {
        const auto found =
            std::find_if(text.begin() + static_cast<std::ptrdiff_t>(scanFrom), text.end(), IsBreak);
        const size_t brk =
            found == text.end() ? std::string::npos : static_cast<size_t>(found - text.begin());
        // A CR as the last byte read may be the first half of a CR LF.
        if (brk != std::string::npos && (atEnd || brk + 1 < text.size() || text[brk] == '\n')) {
            lines.push_back(text.substr(pos, brk - pos));
            pos = brk + 1;
            if (text[brk] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
            scanFrom = pos;
            continue;
        }
        if (atEnd) {
            if (pos < text.size()) lines.push_back(text.substr(pos));
            break;
        }
        scanFrom = brk != std::string::npos ? brk : text.size();
        const size_t used = text.size();
        text.resize(used + block);
        size_t got = read(used, text.data() + used, block);
        if (const void* nul = std::memchr(text.data() + used, '\0', got)) {
            got = static_cast<size_t>(static_cast<const char*>(nul) - (text.data() + used));
            atEnd = true;
        }
        atEnd |= got < block;
        text.resize(used + got);
        block = std::min(2 * block, kMostRead);
    }
    return lines;
}

DataArea FindDataArea(const ReadBytesAt& read) { return MarkerScan(read).Run(); }

std::vector<size_t> EmptyDataLines(const ReadBytesAt& read, const DataArea& area, size_t most) {
    std::vector<size_t> empty;
    const size_t block = static_cast<size_t>(std::min<std::uint64_t>(kScanBlock, area.end - area.first));
    std::unique_ptr<char[]> buffer(new char[block]);
    size_t line = area.beginLine + 1;
    bool blank = true;  // nothing yet on the current line
    char previous = '\0';
    for (std::uint64_t at = area.first; at < area.end && empty.size() < most;) {
        const size_t want = static_cast<size_t>(std::min<std::uint64_t>(block, area.end - at));
        const size_t got = read(at, buffer.get(), want);
        if (got == 0) break;
        for (size_t i = 0; i < got && empty.size() < most; ++i) {
            const char c = buffer[i];
            if (c == '\n' && previous == '\r') {
                // The second half of a CR LF: the break was counted at the CR.
            } else if (IsBreak(c)) {
                if (blank) empty.push_back(line);
                ++line;
                blank = true;
            } else {
                blank = false;
            }
            previous = c;
        }
        at += got;
    }
    return empty;
}

RecordBlocks::RecordBlocks(ReadBytesAt read, const DataArea& area, size_t linesPerRecord, size_t blockBytes,
                           size_t maxRecords, std::string extractFile)
    : read_(std::move(read)),
      at_(area.first),
      end_(area.end),
      linesLeft_(area.lineCount),
      linesPerRecord_(linesPerRecord),
      blockBytes_(std::max<size_t>(blockBytes, 1)),
      maxRecords_(std::max<size_t>(maxRecords, 1)),
      extractFile_(std::move(extractFile)) {}

void RecordBlocks::Changed() const {
    throw CannotOpenFile(extractFile_, "The file changed while it was read");
}

void RecordBlocks::ReadMore(RecordBlock& block) {
    const size_t want = static_cast<size_t>(std::min<std::uint64_t>(blockBytes_, end_ - at_));
    Reserve(block, block.size + want);
    if (read_(at_, block.bytes.get() + block.size, want) != want) Changed();
    block.size += want;
    at_ += want;
}

bool RecordBlocks::Next(RecordBlock& block) {
    if (done_) return false;
    block.size = 0;
    Reserve(block, carry_.size());
    std::memcpy(block.bytes.get(), carry_.data(), carry_.size());
    block.size = carry_.size();
    size_t counted = carryCounted_, lines = carryLines_;
    for (;;) {
        // Read while there is no whole record yet, or room for more.
        if (at_ < end_ &&
            (lines < linesPerRecord_ || (block.size < blockBytes_ && lines / linesPerRecord_ < maxRecords_)))
            ReadMore(block);
        char* const bytes = block.bytes.get();
        bytes[block.size] = '\0';
        const bool atEnd = at_ == end_;
        // A CR at the end of what was read may be the first half of a CR LF.
        const size_t limit = !atEnd && bytes[block.size - 1] == '\r' ? block.size - 1 : block.size;
        lines += CountBreaks(bytes + counted, limit - counted);
        counted = limit;
        const size_t records = std::min(lines / linesPerRecord_, maxRecords_);
        if (records == 0 && !atEnd) continue;
        if (records * linesPerRecord_ > linesLeft_) Changed();
        linesLeft_ -= records * linesPerRecord_;
        if (atEnd && records * linesPerRecord_ == lines) {
            // What is left must be whole records, as many as were counted.
            if (linesLeft_ != 0 || (block.size > 0 && !IsBreak(bytes[block.size - 1]))) Changed();
            done_ = true;
            block.records = records;
            carry_.clear();
            return records > 0;
        }
        if (records == 0) Changed();
        // The cut goes after the last break of the last record taken: walk
        // back over the breaks of the lines left over.
        const size_t cut = AfterBreak(bytes, counted, lines - records * linesPerRecord_);
        carry_.assign(bytes + cut, block.size - cut);
        carryCounted_ = counted - cut;
        carryLines_ = lines - records * linesPerRecord_;
        block.size = cut;
        block.records = records;
        return true;
    }
}

}  // namespace bq
