#include "monitor/OptionRules.h"

#include "monitor/PollLoop.h"
#include "monitor/RequestCycle.h"
#include "services/Conversions.h"
#include "services/Settings.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

QString read(const QString &section, const QString &key)
{
    return ReadINI(section, key, CfgMain.fileName());
}

void write(const QString &section, const QString &key, qint64 value)
{
    WriteINI(section, key, QString::number(value), CfgMain.fileName());
}

int coordinate(const QString &text)
{
    return int(std::clamp<qint64>(ToLong(text), -kMaxCoordinate, kMaxCoordinate));
}

} // namespace

qint64 displayDeleteAfter(const QString &shown, int index)
{
    const qint64 value = std::max<qint64>(0, ToLong(shown));
    switch (index) {
    case 0:
        return std::max<qint64>(0, value - 1);
    case 1:
        return value < std::numeric_limits<qint64>::max() ? value + 1 : value;
    default:
        return value;
    }
}

qint64 stepExpiryMinutes(const QString &shown, int index, PollLoop *loop)
{
    const qint64 value = displayDeleteAfter(shown, index);
    write(kOptionSection, u"DisplayDelete"_s, value);
    if (loop)
        loop->restartInterval();
    return value;
}

QPoint Pos적용(const QString &posX, const QString &posY)
{
    const QPoint position(coordinate(posX), coordinate(posY));
    write(kOptionSection, u"DisplayPosX"_s, position.x());
    write(kOptionSection, u"DisplayPosY"_s, position.y());
    return position;
}

std::optional<Placement> listOptionChanged(ListOption option, int selected, bool formLoading, int &stored,
                                           const std::function<void()> &relayout, RequestCycle *cycle)
{
    if (formLoading)
        return std::nullopt;
    stored = std::max(0, selected);
    write(kOptionSection, option == ListOption::Resolution ? u"ResolutionIDX"_s : u"DisplayIDX"_s, stored);
    if (relayout)
        relayout();
    if (cycle)
        cycle->Load_Kavri(false);
    return option == ListOption::Resolution ? Placement::Centre : Placement::KeepPlace;
}

QPoint centredOn(const QRect &screen, const QSize &window)
{
    return screen.topLeft() +
           QPoint((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

QPoint readIconPosition()
{
    return QPoint(coordinate(read(kIconSection, u"MiniIconX"_s)),
                  coordinate(read(kIconSection, u"MiniIconY"_s)));
}

void storeIconPosition(const QPoint &position)
{
    write(kIconSection, u"MiniIconX"_s, position.x());
    write(kIconSection, u"MiniIconY"_s, position.y());
}

} // namespace kavri::monitor
