#pragma once

#include "monitor/WindowOptions.h"

#include <QPoint>

class QWidget;

namespace kavri::monitor {

/// Every placement of the main window keeps it on the screen (a clamp is logged);
/// the stored keys stay as they are.
void placeWindow(QWidget &window, const QPoint &wanted);

/// The stored position, bounded so that moving it never overflows.
QPoint storedPosition(const WindowOptions &options);

} // namespace kavri::monitor
