#include "board/ScreenFill.h"

#include "board/WindowOutline.h"
#include "board/WindowScale.h"
#include "monitor/BoardGlance.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kavri::monitor {

void ScreenFill::apply(QWidget &window, bool fill, const QSize &design)
{
    if (!fill && !m_scaled)
        return; // the design layout, exactly as it always was
    const QScreen *on = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    fill = fill && on;
    m_scale = fill ? fillScale(design, on->geometry().size()) : 1.0;
    const QSize whole = fill ? on->geometry().size() : design;
    // The board keeps its proportions; what the screen has beyond them is background.
    m_offset = QPoint((whole.width() - qRound(design.width() * m_scale)) / 2,
                      (whole.height() - qRound(design.height() * m_scale)) / 2);
    scaleWindowParts(window, m_scale, m_offset);
    m_scaled = fill;
    window.resize(whole);
    if (fill)
        window.move(on->geometry().topLeft());
}

void ScreenFill::rescale(QWidget &window) const
{
    if (m_scaled)
        scaleWindowParts(window, m_scale, m_offset);
}

QRegion ScreenFill::outline(const QWidget &window) const
{
    return m_scaled ? QRegion(window.rect()) : fullModeRegion(window.width());
}

} // namespace kavri::monitor
