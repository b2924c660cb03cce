#include "extract/extract_source.h"

namespace bq {

ExtractSource::ExtractSource() = default;
ExtractSource::~ExtractSource() = default;

void ExtractSource::Open() {
    auto folder = std::make_unique<Folder>(path_);
    auto file = std::make_unique<InputFile>(path_, folder.get());
    Reading(std::move(file));
    folder_ = std::move(folder);
}

void ExtractSource::Take(std::unique_ptr<InputFile> file) {
    folder_.reset();
    Reading(std::move(file));
}

void ExtractSource::TakeText(std::string text) {
    folder_.reset();
    file_.reset();
    released_ = false;
    text_ = std::move(text);
    headRead_ = false;
    read_ = ReadFromText(text_);
}

void ExtractSource::Reading(std::unique_ptr<InputFile> file) {
    text_.clear();
    headRead_ = false;
    released_ = false;
    file_ = std::move(file);
    const InputFile& input = *file_;
    read_ = [&input](std::uint64_t offset, char* out, size_t size) {
        return input.ReadAt(offset, out, size);
    };
}

void ExtractSource::Release() {
    if (!folder_ || !file_) return;
    read_ = nullptr;
    file_.reset();
    released_ = true;
}

void ExtractSource::Reopen() {
    if (!released_) return;
    // What is read now may differ from what was read before.
    Reading(std::make_unique<InputFile>(path_, folder_.get()));
}

const std::vector<std::string>& ExtractSource::HeadLines() {
    if (!headRead_) {
        head_ = read_ ? bq::HeadLines(read_, 2) : std::vector<std::string>{};
        headRead_ = true;
    }
    return head_;
}

const ReadBytesAt& ExtractSource::Reader() {
    Reopen();
    if (!read_) TakeText({});
    return read_;
}

}  // namespace bq
