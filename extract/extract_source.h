// Where an extract's bytes come from: a file by its path, whose folder is
// held for the output written beside it; a file in no folder (a copy of
// standard input); or text. Its first lines are read once. A file can be
// let go between readings, so that the application that wrote it has it to
// itself, and is opened again by its path in the held folder when next read.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "extract/extract_reader.h"
#include "platform/files.h"

namespace bq {

class ExtractSource {
  public:
    ExtractSource();
    ~ExtractSource();
    ExtractSource(const ExtractSource&) = delete;
    ExtractSource& operator=(const ExtractSource&) = delete;

    // The path that names the extract in messages, and that Open opens.
    void SetPath(std::string path) { path_ = std::move(path); }
    const std::string& Path() const { return path_; }

    // Opens the file at Path(), holding its folder. Throws Error "Cannot
    // open file ..." when it cannot be read.
    void Open();
    // Takes `file`, which is in no folder, as the extract.
    void Take(std::unique_ptr<InputFile> file);
    // Takes `text` as the extract's bytes.
    void TakeText(std::string text);
    // Closes a file opened by Open, keeping its folder.
    void Release();
    // Opens again a file let go by Release; does nothing otherwise.
    void Reopen();

    // The folder the file was opened in; null for any other source.
    const Folder* HeldFolder() const { return folder_.get(); }
    // The first two lines, or fewer when there are fewer.
    const std::vector<std::string>& HeadLines();
    // The bytes; no source reads as empty text.
    const ReadBytesAt& Reader();

  private:
    void Reading(std::unique_ptr<InputFile> file);

    std::string path_;
    std::unique_ptr<Folder> folder_;
    std::unique_ptr<InputFile> file_;
    bool released_ = false;
    std::string text_;
    ReadBytesAt read_;
    std::vector<std::string> head_;
    bool headRead_ = false;
};

}  // namespace bq
