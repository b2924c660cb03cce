#include "schema/form_catalogue.h"

#include "schema/text.h"

namespace bq {

int FindFormIndex(std::string_view name) {
    for (int i = 0; i < kFormCount; ++i)
        if (FormNames[i] == name) return i;
    return -1;
}

int FindVisibleFormByPrefix(std::string_view text) {
    for (int i = kFirstVisibleForm; i < kFormCount; ++i) {
        const std::string_view name = FormNames[i];
        if (name.size() >= text.size() && EqualsIgnoringCase(name.substr(0, text.size()), text)) return i;
    }
    return -1;
}

}  // namespace bq
