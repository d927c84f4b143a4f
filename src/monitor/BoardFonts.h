#pragma once

#include <QFont>

// The board's fonts: the design fonts when installed, otherwise heavy, clear
// Korean faces the set-up installs (fonts-nanum, fonts-nanum-extra).
namespace kavri::monitor {

/// Headings, row numbers, tables, check marks and the banner.
QFont boardDisplayFont(int pointSize = 0);
/// The request texts of the rows.
QFont boardRequestFont(int pointSize = 0);
/// The small texts of the option and command controls.
QFont uiFont(int pixelSize, bool bold = false);

} // namespace kavri::monitor
