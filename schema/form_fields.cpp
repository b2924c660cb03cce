#include "schema/form_fields.h"

#include "schema/field_tables.h"
#include "schema/form_catalogue.h"

namespace bq {
namespace {

std::span<const FieldRun> RunsOf(int formIndex) {
    if (formIndex >= 0 && formIndex <= 8) return kFilerForms[formIndex];
    if (formIndex >= 9 && formIndex <= 28) return k1098And1099Forms[formIndex - 9];
    if (formIndex >= 29 && formIndex < kFormCount) return k3921ToW2Forms[formIndex - 29];
    return {};
}

// "State #1", "State #1 ID", ... "State #50 ID" at the end of "Clients".
void AppendClientStatePairs(std::vector<FieldDescriptor>& list) {
    for (int n = 1; n <= 50; ++n) {
        const std::string state = "$State #" + std::to_string(n);
        list.push_back(state);
        list.push_back(state + " ID");
    }
}

}  // namespace

void GetFormFields(int formIndex, std::vector<FieldDescriptor>& list) {
    for (FieldRun run : RunsOf(formIndex))
        for (std::string_view d : run) list.emplace_back(d);
    if (formIndex == 0) AppendClientStatePairs(list);
}

}  // namespace bq
