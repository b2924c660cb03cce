// The extracts that check and merge are given: a file as it is; a folder's
// regular files by name, its subfolders' too when recursive; a pattern with
// *, ? or [...] in its file name that names no file, expanded by bqdm itself
// as cmd.exe never does. Hidden files and merge outputs ("2018DM_...") met
// in a folder or a pattern are skipped and counted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bq::cli {

enum class Recursive { No, Yes };

// One extract to verify, or an argument that names none.
struct NamedExtract {
    std::string path;
    std::string fault;  // why the argument names no extract; empty for an extract
};

struct ExtractList {
    std::vector<NamedExtract> extracts;  // in argument order, a folder's and a pattern's by name
    size_t skipped = 0;                  // hidden files and merge outputs left out
};

// The extracts `operands` name.
ExtractList ListExtracts(const std::vector<std::string>& operands, Recursive recursive);

// Whether `name` matches the pattern `pattern`: '*' any run of bytes, '?'
// one byte, "[...]" one of a set ("[!...]" none of it, "a-z" a range).
bool MatchesPattern(std::string_view pattern, std::string_view name);

}  // namespace bq::cli
