// The extracts the tests share: the 1098-E sample (name, TIN and the
// student loan interest ticked) and a 1099-A extract with one free-text
// field ticked, with a registry that records what it is given.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "extract/extract_format.h"
#include "platform/registry.h"
#include "schema/form_fields.h"
#include "schema/type_codes.h"

namespace bq::test {

// Form 1098-E's FORM and KEY lines and the data marker: three fields a
// record, Name line 1, the TIN and Box 1.
inline const std::string k1098EHead = "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\n";

// A 1098-E extract of `records`, its lines each ending in CR LF.
inline std::string Extract1098E(std::string_view records) {
    return k1098EHead + std::string(records) + "{END DATA}\r\n";
}

// The 1098-E sample of one record, and its merge output row.
inline const std::string k1098ESample = Extract1098E("ONE\r\n000000001\r\n125.00\r\n");
inline constexpr std::string_view k1098ESampleRow = "ONE,,,,,,,,,,N/A,000000001,,,125.00,,,,\r\n";

// The field list of `formIndex`.
inline std::vector<FieldDescriptor> FieldsOf(int formIndex) {
    std::vector<FieldDescriptor> list;
    GetFormFields(formIndex, list);
    return list;
}

constexpr int k1099A = 13;

// The field index of the first field of `code` in 1099-A.
inline size_t FieldOfCode(char code) {
    const std::vector<FieldDescriptor> fields = FieldsOf(k1099A);
    for (size_t i = 0; i < fields.size(); ++i)
        if (TypeCodeOf(fields[i]) == code) return i;
    ADD_FAILURE() << "1099-A has no field of type " << code;
    return 0;
}

// A 1099-A extract with its first free-text field ticked and, by default, two records.
inline std::string Extract1099A(const std::string& data = "{BEGIN DATA}\r\nALPHA\r\nBETA\r\n{END DATA}\r\n") {
    std::vector<bool> ticks(FieldsOf(k1099A).size(), false);
    ticks[FieldOfCode('$')] = true;
    return "FORM 1099-A\r\n" + KeyLine(FlagsOf(ticks)) + "\r\n" + data;
}

class RecordingRegistry : public Registry {
  public:
    std::vector<std::string> folders;
    void SetTextDirectory(std::string_view folder) override { folders.emplace_back(folder); }
};

}  // namespace bq::test
