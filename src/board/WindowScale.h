#pragma once

#include <QPoint>

class QWidget;

namespace kavri::monitor {

/// Draws every part of `window` at `scale` times its design size, shifted by
/// `offset`: places, sizes and fonts, the caption panels through their own
/// scale. A part the layout has placed again since the last pass takes its new
/// place as its design; a scale of 1 without offset gives the design back.
void scaleWindowParts(QWidget &window, qreal scale, const QPoint &offset);

} // namespace kavri::monitor
