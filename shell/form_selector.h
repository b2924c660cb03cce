// The form selector: the visible forms in catalogue order, where selector
// position p stands for form index p + 4, and its type-ahead, which
// completes typed text to the first form whose name begins with it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bq::shell {

class FormSelector {
  public:
    // Rows the drop-down shows at once.
    static constexpr int kDropDownRows = 37;
    // The entries in selector order.
    static std::vector<std::string_view> Items();
    // The form index of `position`; -1 for none.
    static int FormIndexAt(int position);
    // The position of `formIndex`; -1 for none or a hidden form.
    static int PositionOf(int formIndex);

    // The selected position, or -1 when the text begins no form name.
    int Position() const { return position_; }
    // The text in the edit field, always upper case.
    const std::string& Text() const { return text_; }
    // How much of Text() the user typed; the rest is the offered completion.
    size_t TypedLength() const { return typedLength_; }

    // The user picked entry `position` from the drop-down.
    void Pick(int position);
    // The user's typing left `text` in the edit field. A longer text than
    // before is completed; a shorter one is kept as it is, or the user could
    // never delete the offered rest.
    void Type(std::string_view text);
    // The field list now shows form `formIndex` (an extract named it).
    void Show(int formIndex);

  private:
    int position_ = -1;
    std::string text_;
    size_t typedLength_ = 0;
};

}  // namespace bq::shell
