#pragma once

#include <QRegion>

// The main window's outline in its two modes; the sizes are the option rules'.
namespace kavri::monitor {

/// The icon mode outline: a rectangle from (1, 1) to (85, 81) with rounded
/// corners of 20 by 20 pixels.
QRegion iconModeRegion();
/// The normal outline: (0, 0) to (window width + 1, 769).
QRegion fullModeRegion(int windowWidth);

} // namespace kavri::monitor
