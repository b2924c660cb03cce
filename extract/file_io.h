// The file system seen by the core: reading an extract whole and replacing a
// file atomically. One implementation per platform (file_io_posix.cpp,
// file_io_win32.cpp); nothing else in the core touches the operating system.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace bq {

// The whole content of the regular file `path`, byte for byte.
// Throws Error "Cannot open file "<path>". <reason>" when it cannot be read,
// including when `path` names a folder, a FIFO or a device.
std::string ReadWholeFile(const std::string& path);

// True when `path` names an existing regular file (a folder does not count).
bool RegularFileExists(const std::string& path);

// Receives the bytes of a file being written; called as often as needed.
using ByteSink = std::function<void(std::string_view bytes)>;

// Writes the bytes produced by `produce` to `path` atomically: they go to a
// temporary file in the same folder, which is flushed to disk and renamed
// over `path`. On any failure `path` is left as it was, the temporary file
// is removed and Error "Cannot create file "<path>". <reason>" is thrown.
// A process killed mid-write cannot remove its temporary file; on POSIX the
// next successful write of `path` removes those of writers no longer running.
void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce);

// Convenience: writes `bytes` to `path` atomically.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The file-name suffix of programs on this platform: ".exe" or empty.
std::string_view ExecutableSuffix();

// The characters that end a path's folder part on this platform.
std::string_view PathSeparators();

// The folder part of `path`: everything up to and including its last path
// separator; empty when it has none.
std::string FolderPart(std::string_view path);

// The file-name part of `path`: everything after its folder part.
std::string FileNamePart(std::string_view path);

}  // namespace bq
