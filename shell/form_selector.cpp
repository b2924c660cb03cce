#include "shell/form_selector.h"

#include "schema/form_catalogue.h"
#include "schema/text.h"

namespace bq::shell {

std::vector<std::string_view> FormSelector::Items() {
    return {FormNames.begin() + kFirstVisibleForm, FormNames.end()};
}

int FormSelector::FormIndexAt(int position) {
    return position < 0 || position >= kFormCount - kFirstVisibleForm ? -1 : position + kFirstVisibleForm;
}

int FormSelector::PositionOf(int formIndex) {
    return formIndex < kFirstVisibleForm || formIndex >= kFormCount ? -1 : formIndex - kFirstVisibleForm;
}

void FormSelector::Pick(int position) {
    position_ = FormIndexAt(position) < 0 ? -1 : position;
    text_ = position_ < 0 ? "" : std::string(FormNames[static_cast<size_t>(FormIndexAt(position_))]);
    typedLength_ = text_.size();
}

void FormSelector::Type(std::string_view text) {
    const std::string typed = UpperCaseAscii(text);
    const int form = typed.empty() ? -1 : FindVisibleFormByPrefix(typed);
    const bool completing = typed.size() > typedLength_;
    position_ = PositionOf(form);
    text_ = form >= 0 && completing ? std::string(FormNames[static_cast<size_t>(form)]) : typed;
    typedLength_ = typed.size();
}

void FormSelector::Show(int formIndex) {
    if (formIndex < 0 || formIndex >= kFormCount) return;
    const int position = PositionOf(formIndex);
    if (position >= 0 && position == position_) return;
    position_ = position;
    text_ = FormNames[static_cast<size_t>(formIndex)];
    typedLength_ = text_.size();
}

}  // namespace bq::shell
