#pragma once

#include <QFont>

// The board's fonts: the design fonts when installed, otherwise heavy, clear
// Korean faces the set-up installs (fonts-nanum, fonts-nanum-extra); emoji
// fall back to the colour emoji font (fonts-noto-color-emoji).
namespace kavri::monitor {

/// Headings, row numbers, tables, check marks and the banner.
QFont boardDisplayFont(int pointSize = 0);
/// The request texts of the rows.
QFont boardRequestFont(int pointSize = 0);
/// The small texts of the option and command controls.
QFont uiFont(int pixelSize, bool bold = false);

/// The size below which a board caption is never drawn: 70 % of the size the
/// layout gives its cell (`tablePointSize`), so a long text stays readable
/// and is cut with "…" instead.
qreal captionFloorPoints(int tablePointSize);
/// The floor of the banner's text: that of the banner's smallest size.
qreal bannerFloorPoints();

} // namespace kavri::monitor
