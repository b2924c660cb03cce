#include "app/qt/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QWidget>

#include "app/qt/AppText.h"

namespace {

QFont FontOf(const bq::shell::FontDesign& design, QFont::StyleHint hint) {
    QFont font(bq::app::FromBytes(design.face));
    font.setStyleHint(hint);
    font.setBold(design.bold);
    font.setPointSizeF(design.points);
    return font;
}

}  // namespace

QFont InterfaceFont() { return FontOf(bq::shell::kInterfaceFont, QFont::SansSerif); }

QFont MemoFont() {
    QFont font = FontOf(bq::shell::kMemoFont, QFont::TypeWriter);
    font.setPixelSize(bq::shell::PixelHeight(bq::shell::kMemoFont, bq::shell::kDesignDpi));
    // Never an exact match without Microsoft's fonts: what counts is that
    // the stand-in fontconfig chose is fixed-pitch.
    if (!QFontInfo(font).fixedPitch())
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    return font;
}

QFont PrintFont() {
    QFont font = MemoFont();
    font.setPointSizeF(bq::shell::kMemoFont.points);
    return font;
}

void Lay(QWidget* widget, const bq::shell::ControlDesign& design) {
    const bq::shell::Place& place = design.place;
    widget->setGeometry(place.left, place.top, place.width, place.height);
    widget->setFont(design.font == &bq::shell::kMemoFont ? MemoFont() : InterfaceFont());
}
