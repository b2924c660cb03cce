#include "platform/paths.h"

namespace bq {

std::string FolderPart(std::string_view path) {
    const size_t last = path.find_last_of(PathSeparators());
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string FileNamePart(std::string_view path) {
    const size_t last = path.find_last_of(PathSeparators());
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

}  // namespace bq
