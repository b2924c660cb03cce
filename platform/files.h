// The file system seen by the core: reading an extract whole, testing for a
// file and replacing a file atomically. One implementation per platform
// (files_posix.cpp, files_win32.cpp); nothing else touches the file system.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/error.h"

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

// Error "Cannot open file "<path>". <reason>": a file that cannot be read.
Error CannotOpenFile(std::string_view path, std::string_view reason);

// Error "Cannot create file "<path>". <reason>": a file that cannot be written.
Error CannotCreateFile(std::string_view path, std::string_view reason);

}  // namespace bq
