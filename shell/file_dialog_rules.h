// What the file dialogs' filters and default extensions mean where letter
// case counts: they are written as on Windows, where "*.*" matches every
// name and typing "bad-tin" opens "bad-tin.txt".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bq::shell {

// One entry of a file dialog's filter list.
struct NameFilter {
    std::string description;            // what the list shows
    std::vector<std::string> patterns;  // the names it lets through; "*" for every file

    bool operator==(const NameFilter&) const = default;
};

// The entries of `filter`: "Description|patterns" pairs joined by '|', the
// patterns of one entry separated by ';'. "*.*" becomes "*", since on
// Windows it matches names without a dot too.
std::vector<NameFilter> NameFilters(std::string_view filter);

// The file among `files` (the names of the files in a folder) that the user
// means by typing `typed` into an open dialog of that folder: `typed` itself
// when it is there; otherwise, when `typed` has no extension or ends in
// `defaultExtension`, that name with `defaultExtension` in any letter case,
// the first in byte order if there are several. Nothing when neither is there.
std::optional<std::string> MeantFile(std::string_view typed, std::string_view defaultExtension,
                                     const std::vector<std::string>& files);

// The extension a save dialog adds to a name typed without one while
// `filter` is chosen: `defaultExtension` spelt as the filter's first
// pattern spells it, as Windows does ("TXT" under "*.txt" adds "txt"), so
// that the name typed and the name proposed are one file where letter
// case counts; `defaultExtension` as it is under any other filter.
std::string AddedExtension(const NameFilter& filter, std::string_view defaultExtension);

}  // namespace bq::shell
