// bqdm forms, fields and template: the catalogue and the template text.
#include <ostream>

#include "cli/commands.h"
#include "extract/template_text.h"
#include "platform/error.h"
#include "schema/form_catalogue.h"
#include "schema/form_fields.h"
#include "verify/conversions.h"

namespace bq::cli {
namespace {

void ExpectNoMore(const std::vector<std::string>& args, size_t used) {
    if (args.size() > used) throw UsageError{"unexpected argument '" + args[used] + "'"};
}

int CatalogueIndex(std::string_view text) {
    const auto n = ToInt32(text);
    if (!n || *n < 0 || *n >= kFormCount)
        throw UsageError{"--index takes a form index from 0 to " + std::to_string(kFormCount - 1)};
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
            throw UsageError{"--fields: '" + std::string(item) + "' is no field index from 0 to " +
                             std::to_string(fieldCount - 1)};
        ticks[static_cast<size_t>(*n)] = true;
        at = comma + 1;
    }
    return ticks;
}

}  // namespace

int RunForms(const std::vector<std::string>& args, Streams& io) {
    ExpectNoMore(args, 0);
    for (int i = kFirstVisibleForm; i < kFormCount; ++i) io.out << FormNames[i] << "\n";
    return 0;
}

int RunFields(const std::vector<std::string>& args, Streams& io) {
    int index;
    if (!args.empty() && args[0] == "--index") {
        if (args.size() < 2) throw UsageError{"--index needs a form index"};
        index = CatalogueIndex(args[1]);
        ExpectNoMore(args, 2);
    } else {
        if (args.empty()) throw UsageError{"which form? (see bqdm forms)"};
        index = VisibleFormNamed(args[0]);
        ExpectNoMore(args, 1);
    }
    const std::vector<FieldDescriptor> fields = FormFields(index);
    for (size_t i = 0; i < fields.size(); ++i)
        io.out << i << '\t' << TypeCodeOf(fields[i]) << '\t' << CaptionOf(fields[i]) << "\n";
    return 0;
}

int RunTemplate(const std::vector<std::string>& args, Streams& io) {
    std::string form, list, output;
    bool csv = false, force = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--csv" || a == "--force") {
            (a == "--csv" ? csv : force) = true;
            continue;
        }
        if ((a == "--fields" || a == "-o") && i + 1 >= args.size()) throw UsageError{a + " needs a value"};
        if (a == "--fields")
            list = args[++i];
        else if (a == "-o")
            output = args[++i];
        else if (form.empty() && (a.empty() || a[0] != '-'))
            form = a;
        else
            throw UsageError{"unexpected argument '" + a + "'"};
    }
    if (form.empty()) throw UsageError{"which form? (see bqdm forms)"};
    const int index = VisibleFormNamed(form);
    const std::vector<FieldDescriptor> fields = FormFields(index);
    if (list.empty())
        throw UsageError{"a template needs at least one field: give --fields LIST or --fields all"};
    const std::vector<bool> ticks = TicksFromList(list, fields.size());
    if (csv) return SaveCsvTemplate(index, ticks, output, force, io);
    if (force) throw UsageError{"--force goes with --csv; a template file is always replaced"};
    std::vector<std::string> captions;
    for (const FieldDescriptor& d : fields) captions.emplace_back(CaptionOf(d));
    const std::vector<std::string> lines =
        TemplateLines(FormNames[index], captions, ticks, DesktopProgramName());
    if (output.empty()) {
        for (const std::string& line : lines) io.out << line << "\n";
        return 0;
    }
    try {
        SaveTemplate(output, lines);
    } catch (const Error& e) {
        ReportMessage(io, e.what());
        return kIoFailure;
    }
    return 0;
}

}  // namespace bq::cli
