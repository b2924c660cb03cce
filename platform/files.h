// The file system seen by the core: reading a file whole, testing for a
// file and replacing a file atomically. One implementation per platform
// (files_posix.cpp, files_win32.cpp); nothing else touches the file system.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace bq {

// A folder held open: a file read through it and the files written through
// it stay in that folder even when its path is renamed or replaced by a
// link meanwhile.
class Folder {
  public:
    // Opens the folder part of `path` (the current folder when it has none).
    // Throws Error "Cannot open file "<path>". <reason>".
    explicit Folder(const std::string& path);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    // The platform's handle of the open folder.
    std::intptr_t Handle() const { return handle_; }
    // The folder's path as it was given, with its separator; may be empty.
    const std::string& Path() const { return path_; }

  private:
    std::intptr_t handle_;
    std::string path_;
};

// Where reading a file ends.
enum class ReadUntil {
    End,       // the whole file
    FirstNul,  // a NUL byte ends the text: nothing from it on is read
};

// The content of the regular file `path`, byte for byte, up to `until`.
// Throws Error "Cannot open file "<path>". <reason>" when it cannot be read,
// including when `path` names a folder, a FIFO or a device.
std::string ReadWholeFile(const std::string& path, ReadUntil until = ReadUntil::End);

// The same for the file `path` names inside `folder`.
std::string ReadWholeFile(const Folder& folder, const std::string& path, ReadUntil until);

// True when `path` names an existing regular file (a folder does not count).
bool RegularFileExists(const std::string& path);

// Receives the bytes of a file being written; called as often as needed.
using ByteSink = std::function<void(std::string_view bytes)>;

struct WriteOptions {
    // The permissions a new file may have at most (the umask narrows them
    // further); a replaced file keeps its own.
    unsigned newFileMode = 0666;
    // Write into this folder, held open since the input was read; the file
    // is then replaced as an entry of the folder, a link included. Without
    // it the path is followed: a link to a regular file is replaced at its
    // target, a FIFO or character device is written into as it is, and a
    // folder or block device is refused.
    const Folder* folder = nullptr;
};

// Writes the bytes produced by `produce` to `path` atomically: they go to a
// temporary file of an unguessable name in the same folder, which is
// flushed to disk and renamed over `path`. On any failure, and when the
// process is interrupted or terminated, `path` is left as it was and the
// temporary file is removed; Error "Cannot create file "<path>". <reason>"
// is thrown. Only files this process made are ever removed.
void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce,
                         const WriteOptions& options = {});

// Convenience: writes `bytes` to `path` atomically.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options = {});

// The permissions of the regular file `path` names in `folder` (0666 when
// they cannot be told), so that a file made from it is never more open.
unsigned FileMode(const Folder& folder, const std::string& path);

// Error "Cannot open file "<path>". <reason>": a file that cannot be read.
Error CannotOpenFile(std::string_view path, std::string_view reason);

// Error "Cannot create file "<path>". <reason>": a file that cannot be written.
Error CannotCreateFile(std::string_view path, std::string_view reason);

}  // namespace bq
