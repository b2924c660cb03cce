#include "platform/registry.h"

namespace bq {

RegistryError CreateKeyFailed(std::string reason) {
    return {"Failed to create key " + std::string(kImportSubkey), std::move(reason)};
}

RegistryError SetDataFailed(std::string reason) {
    return {"Failed to set data for '" + std::string(kTextDirectoryValue) + "'", std::move(reason)};
}

}  // namespace bq
