#pragma once

#include "monitor/BoardHealth.h"
#include "platform/gui/ClickLabel.h"

namespace kavri::monitor {

/// The health line under the store name ("lblHealth"): grey while all is well,
/// red while something is wrong, at a size read from the counter. Every fault
/// shows, the most urgent first, in short forms and on a second line where the
/// whole forms do not fit; its tooltip and a tap give the whole text.
class HealthLine : public platform::ClickLabel
{
    Q_OBJECT
public:
    explicit HealthLine(QWidget *parent);

    /// Draws `items` (in the order given) as red when `faulty`; `whole` is the
    /// line's whole text.
    void showItems(const QList<HealthItem> &items, const QString &whole, bool faulty);
    /// Draws again for a new width.
    void setLineWidth(int width);
    QString wholeText() const { return m_whole; }
    bool faulty() const { return m_faulty; }
    /// Lines the line takes now (1 to 3).
    int shownLines() const { return m_lines; }

signals:
    /// The number of lines changed: the window gives the second one room.
    void linesChanged(int lines);

private:
    void redraw();

    QList<HealthItem> m_items;
    QString m_whole;
    bool m_faulty = false;
    int m_lines = 1;
};

} // namespace kavri::monitor
