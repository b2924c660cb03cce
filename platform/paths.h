// Paths as the platform spells them, as byte strings: the folder/file
// split, absolute names and the suffix of programs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace bq {

// The file-name suffix of programs on this platform: ".exe" or empty.
std::string_view ExecutableSuffix();

// The characters that end a path's folder part on this platform.
std::string_view PathSeparators();

// True for a byte that begins a double-byte character in the ANSI code page
// (as in code page 932); never on POSIX.
bool IsLeadByte(char c);

// The length of the folder part of `path`: up to and including its last
// byte of `separators` that is a character of its own, not the second byte
// of a double-byte character (0x5C is one in code page 932); 0 when none.
size_t FolderLength(std::string_view path, std::string_view separators, bool (*isLeadByte)(char));

// The folder part of `path`: everything up to and including its last path
// separator; empty when it has none.
std::string FolderPart(std::string_view path);

// The file-name part of `path`: everything after its folder part.
std::string FileNamePart(std::string_view path);

// The path on disk that `path` stands for after its names went through a
// lossy text conversion (a toolkit's, of bytes it could not decode): a name
// that is not in its folder as it is stands for the one entry there whose
// name `converted` turns into it. Such a name stays as it is when no entry
// or several do.
std::string RecoverPath(std::string_view path, const std::function<std::string(std::string_view)>& converted);

// `path` made absolute against the current folder, its bytes unchanged;
// `path` itself when that cannot be done.
std::string AbsolutePath(const std::string& path);

}  // namespace bq
