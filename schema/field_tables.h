// Internal to the schema: the literal field tables, each form's list written
// as a sequence of runs so that the shared blocks are one piece of data.
#pragma once

#include <span>
#include <string_view>

namespace bq {

using FieldRun = std::span<const std::string_view>;

// Name, address and taxpayer identification of the recipient: fields 0 to 13
// of most 1098, 1099, 3921, 3922 and 5498 lists.
inline constexpr std::string_view kRecipientBlock[] = {
    "$Name line 1",
    "$Name line 2",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Foreign city, province, postal code",
    "TTIN Type",
    "NTaxpayer id",
    "$Name control",
    "$Account number",
};

// The closing fields: the last three of most of those lists.
inline constexpr std::string_view kClosingBlock[] = {
    "IDo not print indicator",
    "$E-Mail address",
    "$Client ID",
};

// Runs of each form, indexed by form index minus the group's first index.
// The "Clients" list (index 0) ends with 50 generated state pairs that are
// not in its table.
extern const std::span<const FieldRun> kFilerForms[9];         // 0 to 8
extern const std::span<const FieldRun> k1098And1099Forms[20];  // 9 to 28
extern const std::span<const FieldRun> k3921ToW2Forms[8];      // 29 to 36

}  // namespace bq
