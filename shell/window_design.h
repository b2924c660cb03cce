// The one table of the two windows' design: every control's place, caption
// and font, in the pixels of a 96-dpi display. Both front ends lay their
// windows out from it, scaled to the display's dpi, so that they cannot
// drift apart and nothing is cut at 150% or 200%.
#pragma once

#include <string_view>

namespace bq::shell {

// The dpi the design is drawn at.
inline constexpr int kDesignDpi = 96;

// A font of the design: face, size in points (so at any dpi its pixels
// follow), weight.
struct FontDesign {
    std::string_view face;
    double points;
    bool bold;
};

// The font of both windows' controls.
inline constexpr FontDesign kInterfaceFont{"Arial", 8.0, false};
// The template memo's font, which the template is also printed in: 13
// pixels at 96 dpi are 9.75 points.
inline constexpr FontDesign kMemoFont{"Courier New", 9.75, true};

// A rectangle of the client area, in design pixels.
struct Place {
    int left, top, width, height;
};

// A control of the design.
struct ControlDesign {
    Place place;
    std::string_view caption;
    const FontDesign* font;
};

// The main window: its client size (the auto-size marker at 676,417 plus
// its two pixels) and its controls, in tab order before the list.
namespace main_window {
inline constexpr Place kClient{0, 0, 678, 419};
// The selector's height is the edit field's; its drop-down grows below.
inline constexpr ControlDesign kForm{{8, 10, 102, 21}, "", &kInterfaceFont};
inline constexpr ControlDesign kDisplay{{8, 333, 102, 25}, "&Display Template", &kInterfaceFont};
inline constexpr ControlDesign kVerify{{8, 364, 102, 25}, "&Verify an Extract", &kInterfaceFont};
inline constexpr ControlDesign kList{{118, 10, 549, 380}, "", &kInterfaceFont};
inline constexpr ControlDesign kStatus{{118, 394, 552, 19}, "", &kInterfaceFont};
// The list's one column is never narrower than this.
inline constexpr int kMinimumColumnWidth = 300;
}  // namespace main_window

// The template window: the memo above a 41-pixel button panel.
namespace template_window {
inline constexpr Place kClient{0, 0, 688, 446};
inline constexpr int kPanelHeight = 41;
inline constexpr ControlDesign kMemo{{0, 0, 688, 446 - kPanelHeight}, "", &kMemoFont};
// The buttons sit in the middle of the panel's height.
inline constexpr int kButtonTop = 446 - kPanelHeight + (kPanelHeight - 25) / 2;
inline constexpr ControlDesign kPrint{{10, kButtonTop, 75, 25}, "&Print", &kInterfaceFont};
inline constexpr ControlDesign kSave{{93, kButtonTop, 75, 25}, "&Save", &kInterfaceFont};
inline constexpr ControlDesign kClose{{604, kButtonTop, 75, 25}, "&Close", &kInterfaceFont};
}  // namespace template_window

// `pixels` of the design at `dpi`, rounded to the nearest pixel.
constexpr int Scaled(int pixels, int dpi) { return (pixels * dpi + kDesignDpi / 2) / kDesignDpi; }

// `place` at `dpi`: each edge is scaled, so that neighbours stay as far
// apart as designed.
constexpr Place Scaled(Place place, int dpi) {
    const int left = Scaled(place.left, dpi), top = Scaled(place.top, dpi);
    return {left, top, Scaled(place.left + place.width, dpi) - left,
            Scaled(place.top + place.height, dpi) - top};
}

// The height in pixels of `font` at `dpi`.
constexpr int PixelHeight(const FontDesign& font, int dpi) {
    return static_cast<int>(font.points * dpi / 72.0 + 0.5);
}

}  // namespace bq::shell
