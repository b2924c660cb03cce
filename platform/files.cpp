#include "platform/files.h"

namespace bq {

void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options) {
    WriteFileAtomically(
        path, [bytes](const ByteSink& sink) { sink(bytes); }, options);
}

Error CannotOpenFile(std::string_view path, std::string_view reason) {
    return Error("Cannot open file \"" + std::string(path) + "\". " + std::string(reason));
}

Error CannotCreateFile(std::string_view path, std::string_view reason) {
    return Error("Cannot create file \"" + std::string(path) + "\". " + std::string(reason));
}

}  // namespace bq
