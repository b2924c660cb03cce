// The two fonts the windows were designed with, as this desktop has them:
// the Windows families are asked for, and fontconfig's metric-compatible
// stand-ins (Liberation, Croscore, URW) keep their widths.
#pragma once

#include <QFont>

// The font of both windows' controls: Arial 8 pt, in which every caption
// and hint fits its control.
QFont InterfaceFont();

// The template memo's font: Courier New bold, 13 pixels, or failing any
// fixed-pitch stand-in, the desktop's fixed font, so the columns line up.
QFont MemoFont();
