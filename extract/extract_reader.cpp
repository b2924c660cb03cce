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

// Makes room for `size` bytes and a readable byte after them, keeping the content.
void Reserve(RecordBlock& block, size_t size) {
    if (size <= block.capacity && block.bytes) return;
    const size_t capacity = std::max(size, block.capacity * 2);
    std::unique_ptr<char[]> bytes(new char[capacity + 1]);
    if (block.size) std::memcpy(bytes.get(), block.bytes.get(), block.size);
    block.bytes = std::move(bytes);
    block.capacity = capacity;
}

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

DataArea FindDataArea(const ReadBytesAt& read) {
    // Bytes held back at the end of each block, so that a marker and the
    // byte after it are always whole in the part looked at.
    constexpr size_t kKeep = 16;
    size_t block = kFirstRead;
    std::unique_ptr<char[]> buffer(new char[block + kKeep + 1]);
    char* buf = buffer.get();
    size_t have = 0;
    std::uint64_t start = 0;  // the offset of buf[0]
    char before = '\n';       // the byte before buf[0]; the text's start starts a line
    bool atEnd = false;
    std::optional<std::uint64_t> begin, end;
    DataArea area;
    std::uint64_t countFrom = 0;      // breaks are counted from here while the area is open
    std::uint64_t beforeCounted = 0;  // the lines before the area are counted up to here
    size_t linesBefore = 0;
    const auto countBefore = [&](size_t to) {
        const size_t from = static_cast<size_t>(beforeCounted - start);
        if (from < to) linesBefore += CountBreaks(buf + from, to - from);
        beforeCounted = start + std::max(from, to);
    };
    for (;;) {
        if (!atEnd) {
            size_t got = read(start + have, buf + have, block);
            if (const void* nul = std::memchr(buf + have, '\0', got)) {
                got = static_cast<size_t>(static_cast<const char*>(nul) - (buf + have));
                atEnd = true;
            }
            atEnd |= got < block;
            have += got;
        }
        buf[have] = '\0';
        const size_t limit = atEnd ? have : have - std::min(have, kKeep);
        const auto countTo = [&](size_t to) {
            const size_t from = countFrom > start ? static_cast<size_t>(countFrom - start) : 0;
            if (from < to) area.lineCount += CountBreaks(buf + from, to - from);
            countFrom = start + std::max(from, to);
        };
        for (size_t at = 0; at < limit; ++at) {
            // Markers start with '{', which has no case: memchr finds the candidates.
            const void* brace = std::memchr(buf + at, '{', limit - at);
            if (!brace) break;
            at = static_cast<size_t>(static_cast<const char*>(brace) - buf);
            if (!IsBreak(at == 0 ? before : buf[at - 1])) continue;
            for (std::string_view marker : {kBeginDataMarker, kEndDataMarker}) {
                const size_t after = at + marker.size();
                if (after > have || !EqualsIgnoringCase(std::string_view(buf + at, marker.size()), marker) ||
                    (after < have && !IsBreak(buf[after])))
                    continue;
                if (marker == kBeginDataMarker && !begin) {
                    begin = start + at;
                    countBefore(at);
                    area.beginLine = linesBefore + 1;
                    if (end) {
                        area.status = DataAreaStatus::EndBeforeBegin;
                        return area;
                    }
                    size_t first = after;
                    if (first < have && buf[first++] == '\r' && first < have && buf[first] == '\n') ++first;
                    area.first = countFrom = start + first;
                } else if (marker == kEndDataMarker && !end) {
                    end = start + at;
                    if (begin) {
                        countTo(at);
                        area.status = DataAreaStatus::Found;
                        area.end = *end;
                        return area;
                    }
                }
            }
        }
        if (begin)
            countTo(limit);
        else
            countBefore(limit);
        if (atEnd) break;
        if (limit > 0) before = buf[limit - 1];
        start += limit;
        have -= limit;
        if (block < kScanBlock) {
            block = std::min(16 * block, kScanBlock);
            std::unique_ptr<char[]> grown(new char[block + kKeep + 1]);
            std::memcpy(grown.get(), buf + limit, have);
            buffer = std::move(grown);
            buf = buffer.get();
        } else {
            std::memmove(buf, buf + limit, have);
        }
    }
    area.status = begin ? DataAreaStatus::NoEnd : DataAreaStatus::NoBegin;
    area.lineCount = 0;
    return area;
}

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

bool RecordBlocks::Next(RecordBlock& block) {
    if (done_) return false;
    block.size = 0;
    Reserve(block, carry_.size());
    std::memcpy(block.bytes.get(), carry_.data(), carry_.size());
    block.size = carry_.size();
    size_t counted = carryCounted_, lines = carryLines_;
    for (;;) {
        // Read while there is no whole record yet, or room for more.
        if (at_ < end_ && (lines < linesPerRecord_ ||
                           (block.size < blockBytes_ && lines / linesPerRecord_ < maxRecords_))) {
            const size_t want = static_cast<size_t>(std::min<std::uint64_t>(blockBytes_, end_ - at_));
            Reserve(block, block.size + want);
            if (read_(at_, block.bytes.get() + block.size, want) != want) Changed();
            block.size += want;
            at_ += want;
        }
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
        size_t surplus = lines - records * linesPerRecord_;
        size_t cut = counted;
        for (;; --cut) {
            const char c = bytes[cut - 1];
            if ((c == '\n' || (c == '\r' && bytes[cut] != '\n')) && surplus-- == 0) break;
        }
        carry_.assign(bytes + cut, block.size - cut);
        carryCounted_ = counted - cut;
        carryLines_ = lines - records * linesPerRecord_;
        block.size = cut;
        block.records = records;
        return true;
    }
}

}  // namespace bq
