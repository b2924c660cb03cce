// The registry store's file format on platforms without a registry: the
// text of a REGEDIT4 export. Only the one value this module owns is touched;
// every other byte of an existing file is kept as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace bq {

// The section that holds TextDirectory: the key of registry.h under
// HKEY_CURRENT_USER, "HKEY_CURRENT_USER\BRISQUILL\Import\BQ2018".
std::string ImportSection();

// `content` with the value `name` of section `section` set to `value`,
// adding the section (and the REGEDIT4 header to an empty file) when missing.
// Empty optional when `value` holds a byte the format cannot carry on one
// line (CR, LF or NUL).
std::optional<std::string> WithRegString(std::string_view content, std::string_view section,
                                         std::string_view name, std::string_view value);

}  // namespace bq
