#include "monitor/WindowOptions.h"

#include "monitor/AlertRepeat.h"
#include "monitor/BoardGeometry.h"
#include "services/Conversions.h"
#include "services/Settings.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

const QString Section = u"Set"_s;

QString read(const QString &key)
{
    return ReadINI(Section, key, settingsFilePath());
}

void write(const QString &key, const QString &value)
{
    WriteINI(Section, key, value, settingsFilePath());
}

} // namespace

int optionIndex(const QString &stored, int count)
{
    const qint64 value = ToLong(stored);
    return value >= 0 && value < count ? int(value) : 0;
}

int layoutForScreen(int resolutionIdx, int availableWidth)
{
    if (resolutionIdx != 1 || availableWidth <= 0)
        return resolutionIdx;
    return boardGeometry(1, 0).windowWidth > availableWidth ? 0 : 1;
}

int alramsoundFrom(const QString &stored)
{
    bool ok = false;
    const double value = stored.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 100;
    return int(std::clamp(std::nearbyint(value), 0.0, 100.0));
}

QString settingsFilePath()
{
    return CfgMain.fileName();
}

void storeAlertRepeat(int seconds)
{
    write(u"AlertRepeat"_s, QString::number(AlertRepeat::intervalFrom(QString::number(seconds))));
}

WindowOptions readWindowOptions()
{
    WindowOptions options;
    options.displayPosX = ToLong(read(u"DisplayPosX"_s));
    options.displayPosY = ToLong(read(u"DisplayPosY"_s));

    // Nothing on this platform plays through a volume of its own; the value is
    // kept (and made sane) for the installations that share the file.
    const QString sound = read(u"alramsound"_s);
    options.alramsound = alramsoundFrom(sound);
    if (sound != QString::number(options.alramsound))
        write(u"alramsound"_s, QString::number(options.alramsound));

    options.resolutionIdx = optionIndex(read(u"ResolutionIDX"_s), 2);
    options.displayIdx = optionIndex(read(u"DisplayIDX"_s), 3);

    if (read(u"DisplayDelete"_s).isEmpty())
        write(u"DisplayDelete"_s, u"0"_s);
    options.displayDelete = std::max<qint64>(0, ToLong(read(u"DisplayDelete"_s)));
    // Off unless the shop chose it; a missing key is not written.
    options.alertRepeat = AlertRepeat::intervalFrom(read(u"AlertRepeat"_s));
    return options;
}

} // namespace kavri::monitor
