#include "board/HealthLine.h"

#include "board/BoardFonts.h"
#include "platform/gui/Theme.h"

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

/// Read from the counter: never below 16 pixels.
constexpr int kPixels = 16;
constexpr int kPadding = 14; // the style's padding and a little air

} // namespace

HealthLine::HealthLine(QWidget *parent) : ClickLabel({}, parent)
{
    setObjectName(u"lblHealth"_s);
    setFont(uiFont(kPixels, true));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void HealthLine::showItems(const QList<HealthItem> &items, const QString &whole, bool faulty)
{
    m_items = items;
    m_whole = whole;
    m_faulty = faulty;
    setStyleSheet(faulty ? theme::HealthFaultStyle : theme::HealthOkStyle);
    setToolTip(whole);
    redraw();
}

void HealthLine::setLineWidth(int width)
{
    resize(width, height());
    redraw();
}

void HealthLine::redraw()
{
    const QFontMetrics fm(font());
    const int room = width() - kPadding;
    const auto fits = [&fm, room](const QString &text) { return fm.horizontalAdvance(text) <= room; };
    HealthLines shown = healthLines(m_items, fits, 3);
    if (!shown.complete)
        shown.lines = QStringList{fm.elidedText(shown.lines.join(u" · "_s), Qt::ElideRight, room)};
    setText(shown.lines.join(u'\n'));
    const int lines = std::max(1, int(shown.lines.size()));
    if (lines != m_lines) {
        m_lines = lines;
        emit linesChanged(lines);
    }
}

} // namespace kavri::monitor
