#pragma once

#include "monitor/KavriEntry.h"
#include "printing/PrinterSettings.h"
#include "services/ServiceAnswers.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

// The rules of one request list cycle as plain functions: the record grammar of
// the service's answer, the record filter, the printing rule, the sort and the cut.
namespace kavri::monitor {

/// Oldest request shown, and oldest printed, in minutes.
inline constexpr qint64 kShowMinutes = 180;
inline constexpr qint64 kPrintMinutes = 30;

/// The number of a request: a whole number from 1 to 2^63-1 written in plain
/// digits (no sign, blank or decimal point); nothing for any other text.
std::optional<qint64> requestNumber(QStringView numT);
/// A number as the printing rule compares it (a request's, or the last printed
/// one in `KavriNumT`): exact when it is a request number, else as ToLong reads
/// it ("" and unreadable text are 0).
qint64 numberOf(const QString &kavriNumT);

/// A registration time "yyyy-MM-dd hh:mm:ss" as read by readWallTime(): seconds
/// on the wall clock, counted from the Julian day epoch, so a time the clock
/// skipped at a summer-time change is read as written; nothing when the text is
/// not such a time.
std::optional<qint64> registrationSeconds(QStringView regDate);
/// The same count for a moment of the local clock (its milliseconds dropped).
qint64 wallClockSeconds(const QDateTime &now);
/// registrationSeconds() in whole minutes (the seconds dropped).
std::optional<qint64> minuteStamp(QStringView regDate);
/// wallClockSeconds() in whole minutes.
qint64 minuteStamp(const QDateTime &now);
/// Minute boundaries from the registration time to `now`: negative for a time
/// in the future; 10:00:59 to 10:01:00 is 1.
inline qint64 ageMinutes(qint64 regStamp, qint64 nowStamp)
{
    return nowStamp - regStamp;
}

/// The request text with " X " + quantity appended when the quantity (ToLong) is above 1.
QString withQuantity(const QString &text, const QString &orderCount);
/// "카드" for "card", "현금" for "cash" (any case), otherwise empty.
QString payTypeText(const QString &payType);

/// One record that passed the filter, with what the printing rule needs.
struct HandledRecord
{
    KavriEntry entry;
    qint64 age = 0;         ///< minutes
    qsizetype position = 0; ///< 1-based place of the record in the answer
};

/// A record that could not be read, with why, for the cycle's log.
struct SkippedRecord
{
    qsizetype position = 0; ///< 1-based place in the answer
    QString numT;           ///< its number when that tag could be read
    QString why;
};

/// What one answer gives, in handling order: from the last record of the answer
/// to the first, so the first shown record is handled (and printed) last.
struct AnswerReading
{
    QList<HandledRecord> handled; ///< open records at most 180 minutes old
    QList<SkippedRecord> malformed;
};

/// Cuts the answer into records (each piece after a "<memochecks>", up to the
/// next one or the end; the text before the first is no record) and filters
/// them: done flag exactly "Y" and records older than 180 minutes are left out;
/// a record lacking a tag, whose number is no request number, or whose
/// registration time cannot be read is skipped whole and listed. The answer's
/// text may come in pieces, cut anywhere: each record is read as soon as the
/// next marker (or the end) closes it, so a long answer never needs its whole
/// text at once.
class AnswerReader
{
public:
    explicit AnswerReader(const QDateTime &now);
    ~AnswerReader();
    AnswerReader(const AnswerReader &) = delete;
    AnswerReader &operator=(const AnswerReader &) = delete;

    /// Room for this many records (the markers counted beforehand), so a long
    /// list is not copied while it grows.
    void reserve(qsizetype records);
    /// The next piece of the answer's text.
    void feed(QStringView piece);
    /// The last record, then the reading in handling order.
    AnswerReading finish();
    /// True once the text held a record marker or the list's own tag "<memolist".
    bool sawList() const { return m_sawList; }

private:
    void readRecordAt(QStringView record);

    struct Shared;
    std::unique_ptr<Shared> m_shared;
    qint64 m_nowStamp = 0;
    AnswerReading m_reading;
    QString m_rest; ///< text not read yet: the open record, or the end of the text before the first marker
    qsizetype m_records = 0; ///< records met so far
    bool m_inRecord = false;
    bool m_sawList = false;
};

/// The same over a whole text at once.
AnswerReading readAnswer(QStringView answer, const QDateTime &now);

/// True when a handled record is printed: its number above the last printed
/// one, at most 30 minutes old, a printer slot named and its table selected.
bool isPrinted(const HandledRecord &record, qint64 lastPrinted, const PrinterSettings &settings);

/// Newest first by the registration time's text; records of equal times keep
/// the service's order. Cut to the row count of `displayIdx` (10, 16, 30), to
/// nothing for any other value.
KavriList sortAndCut(const QList<HandledRecord> &handled, int displayIdx);

} // namespace kavri::monitor
