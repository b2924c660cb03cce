// The real print queue of tests/print/print-test.sh: a CUPS queue writing
// PDFs, named in BQ_PRINT_QUEUE. The tests print a 98-field W-2C template
// on it and write the lines they printed to BQ_PRINT_EXPECTED, for the
// script to compare with what came out.
#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "extract/template_text.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "tests/samples.h"

namespace bq::test {

// The queue to print on, or nothing when the script did not set one up.
inline std::optional<std::string> PrintQueue() {
    const char* queue = std::getenv("BQ_PRINT_QUEUE");
    if (!queue || !*queue) return std::nullopt;
    return std::string(queue);
}

// The W-2C template with every field ticked, as the printout must show it,
// also written to BQ_PRINT_EXPECTED.
inline std::vector<std::string> PrintedW2cTemplate() {
    std::vector<std::string> captions;
    for (const FieldDescriptor& field : FieldsOf(FindFormIndex("W-2C")))
        captions.emplace_back(CaptionOf(field));
    const std::vector<std::string> lines =
        TemplateLines("W-2C", captions, std::vector<bool>(captions.size(), true), "BQ2018DM.exe");
    if (const char* expected = std::getenv("BQ_PRINT_EXPECTED")) {
        std::ofstream out(expected, std::ios::binary);
        for (const std::string& line : lines) out << line << '\n';
    }
    return lines;
}

}  // namespace bq::test
