// The layout of a data extract: the FORM line, the KEY line with its
// three-digit count and one flag per field, the {BEGIN DATA} and
// {END DATA} markers, and the data lines between them, one value a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bq {

inline constexpr std::string_view kBeginDataMarker = "{BEGIN DATA}";
inline constexpr std::string_view kEndDataMarker = "{END DATA}";

// Line 1 as the template writes it: "FORM " + the form name.
std::string FormLine(std::string_view formName);

// Line 2 as the template writes it: "KEY " + the flag count in three digits + the flags.
std::string KeyLine(std::string_view flags);

// The flag string of a selection: '1' for a ticked field, '0' otherwise.
std::string FlagsOf(const std::vector<bool>& ticked);

// The form name a FORM line names: the line upper-cased and trimmed, less
// its first five characters. Empty optional when the upper-cased line does
// not begin with "FORM ".
std::optional<std::string> FormNameOfLine(std::string_view line);

// A KEY line taken apart: the three count characters and the flag string.
struct KeyParts {
    std::string countText;
    std::string flags;
};

enum class KeyLineStatus {
    Ok,
    NotFound,  // the upper-cased line does not begin with "KEY "
    TooShort,  // trimmed, it has fewer than the seven characters of "KEY " and a count
};

// Splits a KEY line (upper-cased and trimmed first) into `parts`.
KeyLineStatus SplitKeyLine(std::string_view line, KeyParts& parts);

enum class DataAreaStatus { Found, NoBegin, NoEnd, EndBeforeBegin };

// Where the data lines lie: strictly between the first {BEGIN DATA} line and
// the first {END DATA} line of the whole extract.
struct DataArea {
    DataAreaStatus status = DataAreaStatus::NoBegin;
    std::uint64_t first = 0;  // offset of the first data line
    std::uint64_t end = 0;    // offset of the {END DATA} line
    size_t lineCount = 0;     // data lines between the markers
    size_t beginLine = 0;     // the 1-based line number of the {BEGIN DATA} line
};

// The indexes of the fields whose flag is '1', in ascending order.
std::vector<int> SelectedFields(std::string_view flags);

}  // namespace bq
