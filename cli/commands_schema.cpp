// bqdm forms, fields and template: the catalogue and the template text.
#include <ostream>

#include "cli/commands.h"
#include "cli/json.h"
#include "extract/template_text.h"
#include "platform/error.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "verify/conversions.h"

namespace bq::cli {
namespace {

constexpr std::string_view kWhichForm = "which form? (see bqdm forms)";

int CatalogueIndex(std::string_view text) {
    const auto n = ToInt32(text);
    if (!n || *n < 0 || *n >= kFormCount)
        throw UsageError("--index takes a form index from 0 to " + std::to_string(kFormCount - 1));
    return *n;
}

// LIST: "all" or comma-separated field indexes from 0.
std::vector<bool> TicksFromList(std::string_view list, size_t fieldCount) {
    std::vector<bool> ticks(fieldCount, list == "all");
    if (list == "all") return ticks;
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const std::string_view item = list.substr(at, comma - at);
        const auto n = ToInt32(item);
        if (item.empty() || !n || *n < 0 || static_cast<size_t>(*n) >= fieldCount)
            throw UsageError("--fields: '" + std::string(item) + "' is no field index from 0 to " +
                             std::to_string(fieldCount - 1));
        ticks[static_cast<size_t>(*n)] = true;
        at = comma + 1;
    }
    return ticks;
}

// The field list of form `index` as {"form", "index", "fields": [{"index",
// "code", "caption"}...]}.
void WriteFieldsJson(std::ostream& out, int index, const std::vector<FieldDescriptor>& fields) {
    JsonWriter json(out);
    json.BeginObject();
    json.Member("form", FormNames[index]);
    json.Member("index", static_cast<size_t>(index));
    json.BeginArray("fields");
    for (size_t i = 0; i < fields.size(); ++i) {
        json.BeginObject();
        json.Member("index", i);
        json.Member("code", std::string(1, TypeCodeOf(fields[i])));
        json.Member("caption", CaptionOf(fields[i]));
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    out << "\n";
}

}  // namespace

int RunForms(const Arguments&, Streams& io) {
    for (int i = kFirstVisibleForm; i < kFormCount; ++i) io.out << FormNames[i] << "\n";
    return 0;
}

int RunFields(const Arguments& args, Streams& io) {
    const std::optional<std::string> catalogueIndex = args.Value(option::kIndex);
    if (catalogueIndex && !args.operands.empty()) throw UsageError("give FORM or --index N, not both");
    if (!catalogueIndex && args.operands.empty()) throw UsageError(std::string(kWhichForm));
    const int index = catalogueIndex ? CatalogueIndex(*catalogueIndex) : VisibleFormNamed(args.operands[0]);
    std::vector<FieldDescriptor> fields;
    GetFormFields(index, fields);
    if (args.Has(option::kJson)) {
        WriteFieldsJson(io.out, index, fields);
        return 0;
    }
    for (size_t i = 0; i < fields.size(); ++i)
        io.out << i << '\t' << TypeCodeOf(fields[i]) << '\t' << CaptionOf(fields[i]) << "\n";
    return 0;
}

int RunTemplate(const Arguments& args, Streams& io) {
    if (args.operands.empty()) throw UsageError(std::string(kWhichForm));
    const int index = VisibleFormNamed(args.operands[0]);
    std::vector<FieldDescriptor> fields;
    GetFormFields(index, fields);
    const std::optional<std::string> list = args.Value(option::kFields);
    if (!list || list->empty())
        throw UsageError("a template needs at least one field: give --fields LIST or --fields all");
    const std::vector<bool> ticks = TicksFromList(*list, fields.size());
    const std::optional<std::string> output = args.Value(option::kOutput);
    const bool force = args.Has(option::kForce);
    if (args.Has(option::kCsv)) return SaveCsvTemplate(index, ticks, output.value_or(""), force, io);
    if (force) throw UsageError("--force goes with --csv; a template file is always replaced");
    std::vector<std::string> captions;
    captions.reserve(fields.size());
    for (const FieldDescriptor& d : fields) captions.emplace_back(CaptionOf(d));
    const std::vector<std::string> lines =
        TemplateLines(FormNames[index], captions, ticks, DesktopProgramName());
    // "-" is standard output, as a file name is everywhere else.
    if (!output || *output == "-") {
        for (const std::string& line : lines) io.out << line << "\n";
        return 0;
    }
    AsIoFailure([&] { SaveTemplate(*output, lines); });
    return 0;
}

}  // namespace bq::cli
