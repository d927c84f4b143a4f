#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>

// What the board tells at a glance, from across the counter: the quantity of a
// request however long its text, how long each request has waited, how many
// are open, and how large the whole board may be drawn on its screen.
namespace kavri::monitor {

/// A request text cut in two: the text that may be shortened, and the
/// quantity (" X n" at its end) that never may.
struct QuantitySplit
{
    QString text;
    QString quantity; ///< "X 3", or "" when the text names none

    bool operator==(const QuantitySplit &) const = default;
};
QuantitySplit splitQuantity(const QString &memo);

/// Whole minutes from `regDate` ("yyyy-MM-dd hh:mm:ss", local time) to `now`;
/// -1 when the time cannot be read. A time ahead of the clock counts as 0.
qint64 waitedMinutes(const QString &regDate, const QDateTime &now);
/// "3분"; "" for an unknown wait.
QString waitedText(qint64 minutes);

/// The two wait thresholds of the board, in minutes; 0 is "끔" (never).
struct WaitThresholds
{
    int amber = 5;
    int red = 10;

    bool operator==(const WaitThresholds &) const = default;
};
enum class WaitLevel { Calm, Amber, Red };
WaitLevel waitLevel(qint64 minutes, const WaitThresholds &thresholds);

/// A stored threshold: "끔" (or "0") is off, a whole number of minutes from 1
/// to 1440 is taken, anything else (missing, unreadable, out of range) is
/// `defaultMinutes`.
int waitThresholdFrom(const QString &stored, int defaultMinutes);
/// "WaitAmber" and "WaitRed" of section "Set".
WaitThresholds readWaitThresholds();

/// "대기 23건": every open request the service listed, shown or not.
QString openCountText(qsizetype count);

/// The factor by which a board of `layout` pixels is drawn to fill `screen`:
/// the largest at which it fits both ways, never below 1 (a smaller screen
/// shows the board as it is), and 1 for sizes that cannot be measured.
qreal fillScale(const QSize &layout, const QSize &screen);

/// "DisplayFill" of section "Set": 1 fills the screen, anything else (and a
/// missing key) keeps the layout's own size.
bool readDisplayFill();
void storeDisplayFill(bool fill);

} // namespace kavri::monitor
