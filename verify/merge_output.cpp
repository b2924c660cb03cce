#include "verify/merge_output.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "schema/form_catalogue.h"
#include "verify/record_builder.h"

namespace bq {
namespace {

// A chunk is closed once it passes this size; lines are never split.
constexpr size_t kChunkBytes = size_t{1} << 20;

}  // namespace

void OutputRows::Clear() {
    chunks_.clear();
    count_ = 0;
}

char* OutputRows::Room(size_t bytes) {
    if (chunks_.empty() || chunks_.back().size >= kChunkBytes ||
        chunks_.back().capacity - chunks_.back().size < bytes) {
        // The first chunks start small and double, so that a short extract
        // does not pay for a full chunk; from the ninth on they are full size.
        const size_t grown =
            std::min(kChunkBytes + kChunkBytes / 4, size_t{4096} << std::min<size_t>(chunks_.size(), 9));
        Chunk chunk;
        chunk.capacity = std::max(grown, bytes);
        chunk.bytes.reset(new char[chunk.capacity]);
        chunks_.push_back(std::move(chunk));
    }
    return chunks_.back().bytes.get() + chunks_.back().size;
}

void OutputRows::EndLine(char* end) {
    *end++ = '\r';
    *end++ = '\n';
    Chunk& chunk = chunks_.back();
    chunk.size = static_cast<size_t>(end - chunk.bytes.get());
    ++count_;
}

void OutputRows::AppendRow(const RecordBuilder& record) {
    char* at = Room(record.MaxEncodedSize() + 2);
    EndLine(record.Encode(at));
}

std::vector<std::string> OutputRows::Lines() const {
    std::vector<std::string> lines;
    ForEachChunk([&lines](std::string_view chunk) {
        size_t at = 0;
        while (at < chunk.size()) {
            const size_t end = chunk.find("\r\n", at);
            lines.emplace_back(chunk.substr(at, end - at));
            at = end + 2;
        }
    });
    return lines;
}

std::string OutputFileName(std::string_view extractFile) {
    return FolderPart(extractFile) + std::string(kReportingYear) + "DM_" + FileNamePart(extractFile);
}

std::string ImportInstructions(std::string_view extractFile, std::string_view formName) {
    const std::string output = OutputFileName(extractFile);
    std::string text = "Data Extract \"" + FileNamePart(extractFile) + "\" has been saved as\r\n\r\n";
    text += "FILE:  " + FileNamePart(output) + "\r\n";
    text += "FOLDER:  " + FolderPart(output) + "\r\n\r\n";
    text += "This file is now ready for importing!\r\n\r\n";
    text += "In order to import this file\r\n\r\n";
    text += "- Start BRISQUILL.\r\n";
    text += "- Open \"Client (Filer, Entity) Management\" from the \"Module\" menu.\r\n";
    text += "- Double click the Client (Filer) to be used.\r\n";
    text += "- Select Form \"" + std::string(formName) + "\" from the \"Forms\" menu.\r\n";
    text += "- Select \"Import ASCII Text File\" from the \"File\" menu.\r\n";
    text += "- Browse to the FILE in the FOLDER shown above.\r\n";
    text += "- Click the \"Open\" button.";
    return text;
}

void WriteMergeOutput(const std::string& path, const OutputRows& rows, const Folder* folder,
                      unsigned newFileMode) {
    WriteOptions options;
    options.folder = folder;
    options.newFileMode = newFileMode;
    WriteFileAtomically(
        path, [&rows](const ByteSink& sink) { rows.ForEachChunk(sink); }, options);
}

std::string SaveMergeOutput(const std::string& extractFile, std::string_view formName, const OutputRows& rows,
                            Registry& registry, const Folder* folder) {
    const std::string output = OutputFileName(extractFile);
    // The output holds the same SSNs and TINs as the extract: it is never more open.
    WriteMergeOutput(output, rows, folder, folder ? FileMode(*folder, extractFile) : 0666);
    registry.SetTextDirectory(FolderPart(output));
    return ImportInstructions(extractFile, formName);
}

}  // namespace bq
