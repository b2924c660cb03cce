#include "platform/registry.h"

namespace bq {

Error CreateKeyFailed() { return Error("Failed to create key " + std::string(kImportSubkey)); }

Error SetDataFailed() { return Error("Failed to set data for '" + std::string(kTextDirectoryValue) + "'"); }

}  // namespace bq
