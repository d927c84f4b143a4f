#include "monitor/BoardGlance.h"

#include "monitor/WindowOptions.h"
#include "services/Conversions.h"
#include "services/Settings.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

const QString Section = u"Set"_s;
const QString Off = u"끔"_s;
constexpr int kMaxThreshold = 24 * 60;

} // namespace

QuantitySplit splitQuantity(const QString &memo)
{
    // The request cycle writes the quantity as " X " and its digits at the very end.
    static const QRegularExpression quantity(u" X ([0-9]{1,19})$"_s);
    const QRegularExpressionMatch m = quantity.match(memo);
    if (!m.hasMatch())
        return {memo, {}};
    return {memo.left(m.capturedStart()), u"X "_s + m.captured(1)};
}

qint64 waitedMinutes(const QString &regDate, const QDateTime &now)
{
    const QDateTime at = QDateTime::fromString(regDate, u"yyyy-MM-dd HH:mm:ss"_s);
    if (!at.isValid() || !now.isValid())
        return -1;
    return std::max<qint64>(0, at.secsTo(now) / 60);
}

QString waitedText(qint64 minutes)
{
    return minutes < 0 ? QString() : QString::number(minutes) + u"분"_s;
}

WaitLevel waitLevel(qint64 minutes, const WaitThresholds &thresholds)
{
    if (minutes < 0)
        return WaitLevel::Calm;
    if (thresholds.red > 0 && minutes >= thresholds.red)
        return WaitLevel::Red;
    if (thresholds.amber > 0 && minutes >= thresholds.amber)
        return WaitLevel::Amber;
    return WaitLevel::Calm;
}

int waitThresholdFrom(const QString &stored, int defaultMinutes)
{
    const QString text = stored.trimmed();
    if (text == Off)
        return 0;
    bool ok = false;
    const int minutes = text.toInt(&ok);
    if (!ok || minutes < 0 || minutes > kMaxThreshold)
        return defaultMinutes;
    return minutes;
}

WaitThresholds readWaitThresholds()
{
    const WaitThresholds defaults;
    return {waitThresholdFrom(ReadINI(Section, u"WaitAmber"_s, settingsFilePath()), defaults.amber),
            waitThresholdFrom(ReadINI(Section, u"WaitRed"_s, settingsFilePath()), defaults.red)};
}

QString openCountText(qsizetype count)
{
    return u"대기 "_s + QString::number(std::max<qsizetype>(0, count)) + u"건"_s;
}

qreal fillScale(const QSize &layout, const QSize &screen)
{
    if (layout.isEmpty() || screen.isEmpty())
        return 1.0;
    const qreal scale =
        std::min(qreal(screen.width()) / layout.width(), qreal(screen.height()) / layout.height());
    return std::max<qreal>(1.0, scale);
}

bool readDisplayFill()
{
    return ReadINI(Section, u"DisplayFill"_s, settingsFilePath()).trimmed() == u"1"_s;
}

void storeDisplayFill(bool fill)
{
    WriteINI(Section, u"DisplayFill"_s, fill ? u"1"_s : u"0"_s, settingsFilePath());
}

} // namespace kavri::monitor
