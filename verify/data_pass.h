// The pass over an extract's data: the records between the markers cut and
// verified block by block on several threads, their rows, problems and
// progress handed on in record order.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "extract/extract_source.h"
#include "verify/field_selection.h"
#include "verify/problems.h"

namespace bq {

struct VerifyOptions {
    // Called with (records done, records in all) every few thousand records
    // and at the end, on the calling thread, as records are done in order.
    std::function<void(size_t done, size_t total)> progress;
    // When set, every bad value and every warning is reported here and the
    // run goes on; when not set, the first bad value throws its message.
    std::function<void(const ValueProblem&)> onProblem;
    // When set without onProblem, the warnings are reported here, and the
    // first bad value still throws its message.
    std::function<void(const ValueProblem&)> onWarning;
    // When set, called with every value as it was read and as it is written,
    // on whichever thread verifies it: for a preview, with one thread.
    std::function<void(size_t line, size_t record, size_t f, std::string_view raw, std::string_view written)>
        onValue;
    // Receives the bytes of the output file, rows in record order, each
    // ended by CR LF; when not set, no row is encoded.
    std::function<void(std::string_view bytes)> output;
    // When not 0, the verification ends once this many records are done (or more, a block at a time).
    size_t recordLimit = 0;
    // The year two-digit years and month/day dates are placed around.
    int currentYear = 0;  // 0: the local clock's year
    // The threads that verify: 0 for as many as pay here, 1 for the calling thread alone.
    size_t threads = 0;
    // The bytes of records verified as one piece; 0 for the usual size.
    size_t blockBytes = 0;
};

// Verifies the data of `source`, whose KEY `flags` (one per field of
// `fields`) select the fields its records supply. `rows` counts the records
// verified as they are handed on: every one after a successful run, those
// before the record of the first bad value after a failure. A fault of the
// layout throws ExtractError; the first bad value throws Error with its
// message unless `options` collect every problem.
void VerifyData(ExtractSource& source, const std::vector<FieldEntry>& fields, std::string_view flags,
                const VerifyOptions& options, size_t& rows);

}  // namespace bq
