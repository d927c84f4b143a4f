#include "platform/gui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

int keptInside(int at, int length, int start, int areaLength)
{
    if (length >= areaLength)
        return start;
    return std::clamp(at, start, start + areaLength - length);
}

QString describe(const QPoint &p)
{
    return u"("_s + QString::number(p.x()) + u", "_s + QString::number(p.y()) + u")"_s;
}

} // namespace

QPoint keptOnScreen(const QRect &area, const QRect &window)
{
    if (area.isEmpty())
        return window.topLeft();
    return QPoint(keptInside(window.x(), window.width(), area.x(), area.width()),
                  keptInside(window.y(), window.height(), area.y(), area.height()));
}

QRect availableAreaFor(const QRect &window)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *s : screens) {
        if (s->geometry().contains(window.center()))
            return s->availableGeometry();
    }
    QScreen *best = nullptr;
    qint64 bestArea = 0;
    for (QScreen *s : screens) {
        const QRect common = s->geometry().intersected(window);
        const qint64 area = qint64(common.width()) * common.height();
        if (!common.isEmpty() && area > bestArea) {
            best = s;
            bestArea = area;
        }
    }
    if (!best)
        best = QGuiApplication::primaryScreen();
    return best ? best->availableGeometry() : QRect();
}

QString placeOnScreen(QWidget &window, const QPoint &wanted)
{
    const QRect asked(wanted, window.frameGeometry().size());
    const QRect area = availableAreaFor(asked);
    const QPoint placed = keptOnScreen(area, asked);
    window.move(placed);
    if (placed == wanted)
        return {};
    // Each change is reported once: a layout switched back and forth on a small
    // screen would otherwise log at every switch.
    static QSet<QString> reported;
    QString name = QString::fromLatin1(window.metaObject()->className());
    name = name.mid(name.lastIndexOf(u':') + 1);
    const QString line = u"창 위치를 화면 안으로 옮김: "_s + name + u" "_s + describe(wanted) + u" → "_s +
                         describe(placed) + u", 창 "_s + QString::number(asked.width()) + u"x"_s +
                         QString::number(asked.height()) + u", 화면 "_s + QString::number(area.width()) +
                         u"x"_s + QString::number(area.height()) + u" "_s + describe(area.topLeft());
    if (reported.contains(line) || reported.size() >= 1000)
        return {};
    reported.insert(line);
    return line;
}

} // namespace kavri::platform
