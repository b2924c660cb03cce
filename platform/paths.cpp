#include "platform/paths.h"

#include <algorithm>
#include <vector>

#include "platform/files.h"

namespace bq {

size_t FolderLength(std::string_view path, std::string_view separators, bool (*isLeadByte)(char)) {
    size_t length = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (isLeadByte(path[i]) && i + 1 < path.size())
            ++i;  // the trail byte may look like anything
        else if (separators.find(path[i]) != std::string_view::npos)
            length = i + 1;
    }
    return length;
}

std::string FolderPart(std::string_view path) {
    return std::string(path.substr(0, FolderLength(path, PathSeparators(), IsLeadByte)));
}

std::string FileNamePart(std::string_view path) {
    return std::string(path.substr(FolderLength(path, PathSeparators(), IsLeadByte)));
}

std::string RecoverPath(std::string_view path,
                        const std::function<std::string(std::string_view)>& converted) {
    const std::string_view separators = PathSeparators();
    const auto isSeparator = [&](char c) { return separators.find(c) != std::string_view::npos; };
    std::string recovered;
    size_t at = 0;
    while (at < path.size()) {
        while (at < path.size() && isSeparator(path[at])) recovered += path[at++];
        size_t end = at;
        while (end < path.size() && !isSeparator(path[end])) end += IsLeadByte(path[end]) ? 2 : 1;
        end = std::min(end, path.size());
        if (end == at) break;
        const std::string_view name = path.substr(at, end - at);
        const std::string folder = recovered;
        recovered += name;
        if (!EntryExists(recovered)) {
            const std::vector<std::string> entries = EntryNames(folder);
            const auto same = [&](const std::string& entry) { return converted(entry) == name; };
            const auto match = std::find_if(entries.begin(), entries.end(), same);
            if (match != entries.end() && std::find_if(match + 1, entries.end(), same) == entries.end())
                recovered.replace(folder.size(), name.size(), *match);
        }
        at = end;
    }
    return recovered;
}

}  // namespace bq
