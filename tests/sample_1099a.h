// What the window tests feed the flows: a 1099-A extract with one free-text
// field ticked, and a registry that records what it is given.
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

constexpr int k1099A = 13;

// The field index of the first field of `code` in 1099-A.
inline size_t FieldOfCode(char code) {
    const std::vector<FieldDescriptor> fields = FormFields(k1099A);
    for (size_t i = 0; i < fields.size(); ++i)
        if (TypeCodeOf(fields[i]) == code) return i;
    ADD_FAILURE() << "1099-A has no field of type " << code;
    return 0;
}

// A 1099-A extract with its first free-text field ticked and, by default, two records.
inline std::string Extract1099A(const std::string& data = "{BEGIN DATA}\r\nALPHA\r\nBETA\r\n{END DATA}\r\n") {
    std::vector<bool> ticks(FormFields(k1099A).size(), false);
    ticks[FieldOfCode('$')] = true;
    return "FORM 1099-A\r\n" + KeyLine(FlagsOf(ticks)) + "\r\n" + data;
}

class RecordingRegistry : public Registry {
  public:
    std::vector<std::string> folders;
    void SetTextDirectory(std::string_view folder) override { folders.emplace_back(folder); }
};

}  // namespace bq::test
