#include "verify/field_selection.h"

#include "schema/form_fields.h"

namespace bq {

void FieldSelection::Load(int formIndex) {
    fields_.clear();
    std::vector<FieldDescriptor> list;
    GetFormFields(formIndex, list);
    for (const FieldDescriptor& d : list)
        fields_.push_back({std::string(CaptionOf(d)), TypeCodeOf(d), false});
    formIndex_ = fields_.empty() ? -1 : formIndex;
    ++revision_;
}

void FieldSelection::ApplyFlags(std::string_view flags) {
    for (size_t i = 0; i < fields_.size() && i < flags.size(); ++i) fields_[i].checked = flags[i] == '1';
    ++revision_;
}

void FieldSelection::SetChecked(size_t field, bool checked) {
    if (field < fields_.size()) fields_[field].checked = checked;
}

size_t FieldSelection::CountChecked() const {
    size_t n = 0;
    for (const FieldEntry& f : fields_) n += f.checked;
    return n;
}

std::vector<std::string> FieldSelection::Captions() const {
    std::vector<std::string> captions;
    for (const FieldEntry& f : fields_) captions.push_back(f.caption);
    return captions;
}

std::vector<bool> FieldSelection::Ticks() const {
    std::vector<bool> ticks;
    for (const FieldEntry& f : fields_) ticks.push_back(f.checked);
    return ticks;
}

std::string FieldSelection::TypeCodes() const {
    std::string codes;
    for (const FieldEntry& f : fields_) codes += f.typeCode;
    return codes;
}

}  // namespace bq
