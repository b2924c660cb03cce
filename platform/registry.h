// The one persistent setting the module writes: the folder of the last merge
// output, as the string value TextDirectory under
// HKEY_CURRENT_USER\BRISQUILL\Import\BQ2018, where the filing product looks.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace bq {

inline constexpr std::string_view kProductKey = "BRISQUILL";
inline constexpr std::string_view kImportSubkey = "Import\\BQ2018";
inline constexpr std::string_view kTextDirectoryValue = "TextDirectory";

// Where the module's registry value goes.
class Registry {
  public:
    virtual ~Registry() = default;
    // Sets TextDirectory to `folder`, creating the keys as needed. Throws
    // RegistryError "Failed to create key Import\BQ2018" or
    // "Failed to set data for 'TextDirectory'".
    virtual void SetTextDirectory(std::string_view folder) = 0;
};

// The current user's registry: the Win32 registry on Windows; elsewhere a
// store in the text format of a REGEDIT4 export, kept in the file
// BRISQUILL/HKCU.reg under $XDG_CONFIG_HOME (or $HOME/.config).
std::unique_ptr<Registry> OpenUserRegistry();

// A failure of the registry value: the system's message, and where it is
// known, why, for tools that can tell more than the message box does.
class RegistryError : public Error {
  public:
    RegistryError(const std::string& message, std::string reason)
        : Error(message), reason(std::move(reason)) {}
    std::string reason;  // "HOME and XDG_CONFIG_HOME are not set"; may be empty
};

// "Failed to create key Import\BQ2018": the key cannot be made.
RegistryError CreateKeyFailed(std::string reason = {});

// "Failed to set data for 'TextDirectory'": the value cannot be stored.
RegistryError SetDataFailed(std::string reason = {});

}  // namespace bq
