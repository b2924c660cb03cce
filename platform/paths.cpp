#include "platform/paths.h"

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

}  // namespace bq
