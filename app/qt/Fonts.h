// The design's fonts and places as this desktop has them: the Windows
// families are asked for, and fontconfig's metric-compatible stand-ins
// (Liberation, Croscore, URW) keep their widths. Qt draws in 96-dpi pixels
// and scales them to the screen, so the design's numbers are used as they stand.
#pragma once

#include <QFont>

#include "shell/window_design.h"

class QWidget;

// The font of both windows' controls: Arial 8 pt, in which every caption
// and hint fits its control.
QFont InterfaceFont();

// The template memo's font: Courier New bold, 13 pixels, or failing any
// fixed-pitch stand-in, the desktop's fixed font, so the columns line up.
QFont MemoFont();

// The memo's font for paper: the same face at its designed point size.
QFont PrintFont();

// Puts `widget` at `design`'s place, in its font.
void Lay(QWidget* widget, const bq::shell::ControlDesign& design);
