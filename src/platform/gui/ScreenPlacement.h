#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace kavri::platform {

/// The top left corner nearest to `window`'s that keeps the whole window inside
/// `area`. A window wider (higher) than the area starts at its left (top) edge,
/// so the window's left columns and buttons stay reachable.
QPoint keptOnScreen(const QRect &area, const QRect &window);

/// The available area of the screen a window placed at `window` belongs to: the
/// screen holding its centre, else the one it overlaps most, else the primary.
QRect availableAreaFor(const QRect &window);

/// Moves `window` to `wanted`, kept inside the available screen area. Returns a
/// line for the log when the position had to be changed and that same change was
/// not reported before in this process; empty otherwise.
QString placeOnScreen(QWidget &window, const QPoint &wanted);

} // namespace kavri::platform
