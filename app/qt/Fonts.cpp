#include "app/qt/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

QFont InterfaceFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

QFont MemoFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    font.setPixelSize(13);
    // Never an exact match without Microsoft's fonts: what counts is that
    // the stand-in fontconfig chose is fixed-pitch.
    if (!QFontInfo(font).fixedPitch())
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    return font;
}
