// The merge output: one comma-separated line per record with one value per
// form field, written next to the extract as "2018DM_" + its file name, and
// the import instructions shown once it is saved.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bq {

class Folder;
class RecordBuilder;
class Registry;

// The finished output lines of a verification, held as the bytes of the
// output file (every line followed by CR LF) in large chunks, so that a big
// extract needs neither a list of small strings nor one huge reallocation.
class OutputRows {
  public:
    void Clear();
    // Encodes the current record of `record` and appends the line.
    void AppendRow(const RecordBuilder& record);
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The output file's bytes, chunk by chunk, in order.
    template <typename Sink>
    void ForEachChunk(Sink&& sink) const {
        for (const Chunk& chunk : chunks_)
            if (chunk.size != 0) sink(std::string_view(chunk.bytes.get(), chunk.size));
    }
    // The lines without their line breaks; for callers that want a list.
    std::vector<std::string> Lines() const;

  private:
    // Raw bytes rather than a string: lines are encoded straight into the
    // chunk, with no initialising of bytes about to be overwritten.
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        size_t size = 0;
        size_t capacity = 0;
    };
    // Room for `bytes` more bytes at the end of the output.
    char* Room(size_t bytes);
    // Ends the line that was written up to `end` into the room.
    void EndLine(char* end);

    std::vector<Chunk> chunks_;
    size_t count_ = 0;
};

// The output file of `extractFile`: its folder part + "2018" + "DM_" + its file name.
std::string OutputFileName(std::string_view extractFile);

// The text shown after saving, lines joined by CR LF.
std::string ImportInstructions(std::string_view extractFile, std::string_view formName);

// Writes `rows` to `path` atomically (the previous file is replaced only
// once the new one is complete), through `folder` when given, never more
// open than `newFileMode`. Throws Error "Cannot create file ...".
void WriteMergeOutput(const std::string& path, const OutputRows& rows, const Folder* folder = nullptr,
                      unsigned newFileMode = 0666);

// Writes the output file of `extractFile` into `folder`, the folder the
// extract was read from (its path's folder when null), no more open than
// the extract; records its folder as TextDirectory in `registry`, and
// returns the import instructions. Throws Error with the message of the
// step that failed; no later step runs.
std::string SaveMergeOutput(const std::string& extractFile, std::string_view formName, const OutputRows& rows,
                            Registry& registry, const Folder* folder);

}  // namespace bq
