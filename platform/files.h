// The file system seen by the core: reading a file in blocks or whole,
// testing for a file and replacing a file atomically. One implementation per platform
// (files_posix.cpp, files_win32.cpp); nothing else touches the file system.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace bq {

// A folder held open: a file read through it and the files written through
// it stay in that folder even when its path is renamed or replaced by a
// link meanwhile.
class Folder {
  public:
    // Opens the folder part of `path` (the current folder when it has none).
    // Throws Error "Cannot open file "<path>". <reason>" when it cannot be
    // opened; on Windows only when it does not exist, as files there are
    // reached by path and a device's or a pipe's folder cannot be held.
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

// A regular file open for reading in blocks at any offset. Reads go to the
// file that was opened, even when its path is renamed or replaced meanwhile.
class InputFile {
  public:
    // Opens `path`, through `folder` when given. Throws Error "Cannot open
    // file "<path>". <reason>" when it cannot be read, including when `path`
    // names a folder, a FIFO or a device.
    explicit InputFile(const std::string& path, const Folder* folder = nullptr);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    // Reads up to `size` bytes at `offset` into `out`; fewer only at the end
    // of the file. Safe to call from several threads. Throws Error "Cannot
    // open file ...".
    size_t ReadAt(std::uint64_t offset, char* out, size_t size) const;

    // A copy of the bytes `read` gives (into its buffer, up to its size)
    // until it gives none, in an unnamed temporary file that goes with the
    // InputFile however the process ends: a stream read as a file, in
    // little memory. `name` names it in messages. Throws Error "Cannot
    // create file "<temporary folder>". <reason>".
    static std::unique_ptr<InputFile> Spooled(const std::function<size_t(char*, size_t)>& read,
                                              const std::string& name);

  private:
    friend class SpoolFile;
    InputFile(std::intptr_t handle, std::string path) : handle_(handle), path_(std::move(path)) {}

    std::intptr_t handle_;
    std::string path_;
};

// Bytes put aside in an unnamed temporary file, which goes however the
// process ends, to be read back in order: a long report kept in little
// memory. Every failure throws Error "Cannot create file "<temporary
// folder>". <reason>".
class SpoolFile {
  public:
    SpoolFile();
    ~SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;
    void Append(std::string_view bytes);
    // The bytes appended so far.
    std::uint64_t Size() const { return size_; }
    // The bytes as a file to read, named `name` in messages; nothing more can be appended.
    std::unique_ptr<InputFile> Read(std::string name);

  private:
    std::intptr_t handle_;
    std::string folder_;
    std::uint64_t size_ = 0;
};

// The content of the regular file `path`, byte for byte.
// Throws Error "Cannot open file "<path>". <reason>" as InputFile does.
std::string ReadWholeFile(const std::string& path, const Folder* folder = nullptr);

// True when `path` names an existing regular file (a folder does not count).
bool RegularFileExists(const std::string& path);

// True when `path` names a folder, through links.
bool FolderExists(const std::string& path);

// True when `path` names an entry of any kind, a dangling link included.
bool EntryExists(const std::string& path);

// The names of the entries of `folder` ("." when empty), byte for byte,
// without "." and ".."; none when it cannot be listed.
std::vector<std::string> EntryNames(const std::string& folder);

// What becomes of a file that already has the name written to.
enum class Existing {
    Replace,  // it is replaced
    Keep,     // it stays, and the write fails with FileExists, in one step with no window
};

// The FileError of a write with Existing::Keep whose name another file has:
// "Cannot create file "<path>". File exists".
class FileExists : public FileError {
  public:
    explicit FileExists(std::string_view path);
};

struct WriteOptions {
    // The permissions a new file may have at most (the umask narrows them
    // further). A replaced file of this process or of the folder's owner
    // keeps its own, and its owner and group as far as this process may
    // give them (otherwise the group's share is dropped); one somebody else
    // put there keeps no more than a new file would get.
    unsigned newFileMode = 0666;
    // Write into this folder, held open since the input was read; the file
    // is then replaced as an entry of the folder, a link included. Without
    // it the path is followed: a link to a regular file is replaced at its
    // target, a FIFO or character device is written into as it is, and a
    // folder or block device is refused.
    const Folder* folder = nullptr;
    Existing existing = Existing::Replace;
};

// A file replaced atomically: its bytes go to a temporary file of an
// unguessable name in the same folder, which Commit flushes to disk and
// renames over `path`. Until then `path` is left as it was; the temporary
// file is removed when the object goes uncommitted, and when the process is
// interrupted or terminated. Only files this process made are ever removed.
// Every failure throws Error "Cannot create file "<path>". <reason>".
class OutputFile {
  public:
    // Creates the temporary file for `path`.
    explicit OutputFile(const std::string& path, const WriteOptions& options = {});
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Appends `bytes`.
    void Write(std::string_view bytes);
    // Gives the file its permissions, flushes it to disk and closes it, so
    // that Commit has only the rename left to do.
    void Finish();
    // Finishes the file if need be and puts it in place of `path`.
    void Commit();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Removes the temporary files of every OutputFile still being written, for
// a process about to end without unwinding (a Windows session that ends).
void RemoveUnfinishedFiles();

// Writes `bytes` to `path` through an OutputFile.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options = {});

// The permissions of the regular file `path` names in `folder` (0666 when
// they cannot be told), so that a file made from it is never more open.
unsigned FileMode(const Folder& folder, const std::string& path);

// Refuses a symbolic link on the way to `path` (its folders', its own, and
// those they lead to) that belongs to another user, neither the caller nor
// root: followed, it could lead where its owner may not write but the
// caller may. Throws FileError "Cannot create file "<link>". It is a
// symbolic link that belongs to another user". Does nothing on Windows.
void RefuseForeignLinks(const std::string& path);

// FileError "Cannot open file "<path>". <reason>": a file that cannot be read.
FileError CannotOpenFile(std::string_view path, std::string_view reason);

// FileError "Cannot create file "<path>". <reason>": a file that cannot be written.
FileError CannotCreateFile(std::string_view path, std::string_view reason);

}  // namespace bq
