#pragma once

#include <QPoint>
#include <QRegion>
#include <QSize>

class QWidget;

namespace kavri::monitor {

/// The fill choice applied to a window: its layout drawn as a whole at the
/// scale that fills the window's screen, centred on it; or, without the
/// choice, the layout at its design size, untouched unless it was filled before.
class ScreenFill
{
public:
    /// Applies the choice to `window`, whose layout is `design` pixels large.
    void apply(QWidget &window, bool fill, const QSize &design);
    /// Scales again what has been placed again at its design place since.
    void rescale(QWidget &window) const;
    bool scaled() const { return m_scaled; }
    qreal scale() const { return m_scale; }
    QPoint offset() const { return m_offset; }
    /// The window's outline in normal mode.
    QRegion outline(const QWidget &window) const;

private:
    bool m_scaled = false;
    qreal m_scale = 1.0;
    QPoint m_offset;
};

} // namespace kavri::monitor
