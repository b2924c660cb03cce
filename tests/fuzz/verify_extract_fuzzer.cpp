// Whole verification of arbitrary bytes as a data extract. Either every
// record becomes one output line with exactly one value per field of the
// form, or the run ends in an Error carrying one of the system's messages;
// nothing else may escape. The collecting mode of `bqdm check --all` must
// agree with the first-failure mode on the same bytes, and records split
// into small blocks verified on several threads must give what one thread
// reading one block gives: the same first error, the same output bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "schema/form_catalogue.h"
#include "tests/fuzz/rfc4180_reader.h"
#include "verify/verification_session.h"

namespace {

constexpr std::string_view kExtractFile = "/data/fuzz extract.txt";

[[noreturn]] void Fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool IsCatalogueName(std::string_view name) {
    for (std::string_view n : bq::FormNames)
        if (n == name) return true;
    return false;
}

// True for the messages verification composes; each names the extract.
bool IsSystemMessage(std::string_view message) {
    const std::string valuePrefix = "EXTRACT = " + std::string(kExtractFile) + "\r\n\r\nRecord # ";
    if (StartsWith(message, valuePrefix))
        return message.find("\r\nDestination field \"") != std::string_view::npos &&
               message.find("\" maps to an invalid ") != std::string_view::npos && message.back() == '"';
    const std::string at = "\r\n\r\nEXTRACT = " + std::string(kExtractFile);
    if (message.size() < at.size() || message.substr(message.size() - at.size()) != at) return false;
    const std::string_view head = message.substr(0, message.size() - at.size());
    for (std::string_view fixed :
         {"FORM segment not found.", "KEY segment not found.", "Bad KEY segment.",
          "KEY segment checksum error.", "{BEGIN DATA} not found.", "{END DATA} not found.",
          "{END DATA} precedes {BEGIN DATA}.", "No fields selected?"})
        if (head == fixed) return true;
    if (StartsWith(head, "Field allocation error.\r\n\r\nTotal fields required per record = ")) return true;
    constexpr std::string_view kChecksum = " (2018) checksum error in KEY segment.";
    if (head.size() > kChecksum.size() && head.substr(head.size() - kChecksum.size()) == kChecksum)
        return IsCatalogueName(head.substr(0, head.size() - kChecksum.size()));
    // "FORM <name> not found." names what line 1 held, whatever it was.
    return StartsWith(head, "FORM ") && head.size() >= 16 && head.substr(head.size() - 11) == " not found.";
}

// Runs the three checks, the output going to `output`; returns the message
// of the Error that ended them, or empty.
std::string Verify(bq::VerificationSession& session, const std::string& text, bq::VerifyOptions options,
                   std::string& output) {
    session.SetExtractFile(std::string(kExtractFile));
    session.LoadExtractText(text);
    output.clear();
    options.output = [&output](std::string_view bytes) { output += bytes; };
    try {
        session.Verify(options);
    } catch (const bq::Error& e) {
        const std::string message = e.what();
        if (message.empty()) Fail("empty error message", text);
        if (!IsSystemMessage(message)) Fail("unknown error message", message);
        return message;
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    bq::VerifyOptions first;
    first.currentYear = 2026;
    first.threads = 1;
    bq::VerificationSession session;
    std::string bytes;
    const std::string failure = Verify(session, text, first, bytes);

    // The block size comes from the input, so that cuts fall everywhere.
    bq::VerifyOptions parallel = first;
    parallel.threads = 3;
    parallel.blockBytes = 1 + (size == 0 ? 0 : data[size / 2] % 64);
    bq::VerificationSession split;
    std::string splitBytes;
    if (Verify(split, text, parallel, splitBytes) != failure)
        Fail("several threads failed differently", text);
    if (splitBytes != bytes || split.OutputRowCount() != session.OutputRowCount())
        Fail("several threads wrote other output", text);

    if (failure.empty()) {
        const auto records = bq::fuzz::ReadCsv(bytes);
        if (!records) Fail("output is not RFC 4180", bytes);
        if (records->size() != session.OutputRowCount())
            Fail("output line count differs from the records", bytes);
        for (const bq::fuzz::CsvRecord& r : *records)
            if (r.size() != session.Selection().Fields().size())
                Fail("a line's value count differs from the fields", bytes);
    }

    std::vector<bq::ValueProblem> rejected;
    bq::VerifyOptions all = first;
    all.onProblem = [&](const bq::ValueProblem& p) {
        if (p.error) rejected.push_back(p);
    };
    bq::VerificationSession collecting;
    std::string collectingBytes;
    const std::string collectingFailure = Verify(collecting, text, all, collectingBytes);
    const bool valueFailure = StartsWith(failure, "EXTRACT = ");
    if (!valueFailure) {
        if (collectingFailure != failure) Fail("collecting mode failed differently", collectingFailure);
        if (!rejected.empty())
            Fail("collecting mode rejected a value the first run accepted",
                 bq::RejectionMessage(collecting.ExtractFile(), rejected[0]));
        if (failure.empty() && collectingBytes != bytes) Fail("collecting mode wrote other output", text);
    } else {
        if (!collectingFailure.empty()) Fail("collecting mode threw", collectingFailure);
        if (rejected.empty() || bq::RejectionMessage(collecting.ExtractFile(), rejected[0]) != failure)
            Fail("collecting mode missed the first rejection", failure);
    }
    return 0;
}
