#include "monitor/RequestList.h"

#include "codec/TnvDecode.h"
#include "monitor/RequestBoard.h"
#include "services/Conversions.h"
#include "services/TimeText.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

qint64 secondsOf(const QDate &date, int hour, int minute, int second)
{
    return date.toJulianDay() * 86400 + hour * 3600 + minute * 60 + second;
}

} // namespace

std::optional<qint64> requestNumber(QStringView numT)
{
    if (numT.isEmpty())
        return std::nullopt;
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (const QChar c : numT) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        if (value > (kMax - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    if (value < 1)
        return std::nullopt;
    return value;
}

qint64 numberOf(const QString &kavriNumT)
{
    // Exact where it can be: ToLong goes through a double and loses digits past 2^53.
    const std::optional<qint64> exact = requestNumber(kavriNumT);
    return exact ? *exact : ToLong(kavriNumT);
}

std::optional<qint64> registrationSeconds(QStringView regDate)
{
    const std::optional<WallTime> read = readWallTime(regDate);
    if (!read)
        return std::nullopt;
    return secondsOf(read->date, read->time.hour(), read->time.minute(), read->time.second());
}

qint64 wallClockSeconds(const QDateTime &now)
{
    return secondsOf(now.date(), now.time().hour(), now.time().minute(), now.time().second());
}

std::optional<qint64> minuteStamp(QStringView regDate)
{
    const std::optional<qint64> seconds = registrationSeconds(regDate);
    if (!seconds)
        return std::nullopt;
    return *seconds / 60; // never negative: the year is at least 1
}

qint64 minuteStamp(const QDateTime &now)
{
    return wallClockSeconds(now) / 60;
}

QString withQuantity(const QString &text, const QString &orderCount)
{
    const qint64 count = ToLong(orderCount);
    if (count > 1)
        return text + u" X "_s + QString::number(count);
    return text;
}

QString payTypeText(const QString &payType)
{
    if (payType.compare(u"card"_s, Qt::CaseInsensitive) == 0)
        return u"카드"_s;
    if (payType.compare(u"cash"_s, Qt::CaseInsensitive) == 0)
        return u"현금"_s;
    return {};
}

// Table names, request texts and registration times repeat across a long list (a
// shop has a few dozen tables and a handful of usual requests): records that hold
// the same text share one copy of it. At most kMaxDistinct texts are remembered.
class AnswerReader::Shared
{
public:
    QString share(QString text)
    {
        if (text.isEmpty())
            return text;
        const auto seen = m_seen.constFind(text);
        if (seen != m_seen.cend())
            return *seen;
        if (m_seen.size() < kMaxDistinct)
            m_seen.insert(text);
        return text;
    }

private:
    static constexpr qsizetype kMaxDistinct = 16384;
    QSet<QString> m_seen;
};

AnswerReader::AnswerReader(const QDateTime &now)
    : m_shared(std::make_unique<Shared>()), m_nowStamp(minuteStamp(now))
{
}

AnswerReader::~AnswerReader() = default;

void AnswerReader::reserve(qsizetype records)
{
    m_reading.handled.reserve(records);
}

void AnswerReader::feed(QStringView piece)
{
    if (piece.isEmpty())
        return;
    // A marker may be cut by the end of the last piece: the search goes back that far.
    const qsizetype resume = std::max<qsizetype>(0, m_rest.size() - (web::kRecordMarker.size() - 1));
    // The piece is read where it lies; only what stays open is copied.
    const bool alone = m_rest.isEmpty();
    if (!alone)
        m_rest.append(piece);
    const QStringView text = alone ? piece : QStringView(m_rest);
    qsizetype begin = 0; // where the open record's text starts
    qsizetype search = resume;
    if (!m_inRecord) {
        if (text.indexOf(u"<memolist", resume) >= 0)
            m_sawList = true;
        const qsizetype at = text.indexOf(web::kRecordMarker, resume);
        if (at < 0) {
            // Before the first record: only what a cut marker could start with is kept.
            const QString keep = text.right(web::kRecordMarker.size() - 1).toString();
            m_rest = keep;
            return;
        }
        m_inRecord = true;
        m_sawList = true;
        begin = search = at + web::kRecordMarker.size();
    }
    for (qsizetype next = text.indexOf(web::kRecordMarker, search); next >= 0;
         next = text.indexOf(web::kRecordMarker, begin)) {
        readRecordAt(text.sliced(begin, next - begin));
        begin = next + web::kRecordMarker.size();
    }
    if (alone)
        m_rest = text.sliced(begin).toString();
    else
        m_rest.remove(0, begin);
}

AnswerReading AnswerReader::finish()
{
    if (m_inRecord)
        readRecordAt(m_rest);
    m_rest.clear();
    m_inRecord = false;
    // Read from the first record to the last; handled from the last to the first,
    // so the first shown record is handled (and printed) last.
    std::reverse(m_reading.handled.begin(), m_reading.handled.end());
    std::reverse(m_reading.malformed.begin(), m_reading.malformed.end());
    return std::move(m_reading);
}

void AnswerReader::readRecordAt(QStringView record)
{
    const qsizetype position = ++m_records;
    QString missing;
    const std::optional<web::RawRecord> raw = web::readRecord(record, &missing);
    if (!raw) {
        const std::optional<QStringView> num = web::tagValue(record, u"memonum");
        m_reading.malformed.append({position, num ? withoutControls(num->left(40)) : QString(),
                                    u"<"_s + missing + u"> 태그 없음"_s});
        return;
    }
    // A number that is not one would end up in KavriNumT, read back as 0 and reprint the rest.
    if (!requestNumber(raw->memonum)) {
        m_reading.malformed.append(
            {position, raw->memonum.left(40), u"요청 번호를 읽을 수 없음: "_s + raw->memonum.left(40)});
        return;
    }
    if (raw->memoYN == u"Y"_s)
        return;
    const std::optional<qint64> stamp = minuteStamp(raw->regdatememo);
    if (!stamp) {
        m_reading.malformed.append(
            {position, raw->memonum.left(40), u"등록 시각을 읽을 수 없음: "_s + raw->regdatememo.left(40)});
        return;
    }
    const qint64 age = ageMinutes(*stamp, m_nowStamp);
    if (age > kShowMinutes)
        return;
    Shared &shared = *m_shared;
    HandledRecord handled;
    handled.entry.NumT = raw->memonum;
    handled.entry.TableT = shared.share(raw->memotablename);
    handled.entry.RegDateT = shared.share(raw->regdatememo);
    handled.entry.MemoT = shared.share(TnvDecodeAA(withQuantity(raw->memotext, raw->ordercount)));
    handled.entry.PayTypeT = payTypeText(raw->paytype1);
    handled.age = age;
    handled.position = position;
    m_reading.handled.append(std::move(handled));
}

AnswerReading readAnswer(QStringView answer, const QDateTime &now)
{
    AnswerReader reader(now);
    reader.reserve(answer.count(web::kRecordMarker));
    reader.feed(answer);
    return reader.finish();
}

bool isPrinted(const HandledRecord &record, qint64 lastPrinted, const PrinterSettings &settings)
{
    if (numberOf(record.entry.NumT) <= lastPrinted || record.age > kPrintMinutes)
        return false;
    const bool anySlot = std::any_of(settings.이름.begin(), settings.이름.end(),
                                     [](const QString &name) { return !name.isEmpty(); });
    return anySlot && IsTableSelected(settings.선택된테이블, record.entry.TableT);
}

KavriList sortAndCut(const QList<HandledRecord> &handled, int displayIdx)
{
    const qsizetype rows = std::min<qsizetype>(RequestBoard::rowCountFor(displayIdx), handled.size());
    if (rows <= 0)
        return {};
    std::vector<qsizetype> order(static_cast<size_t>(handled.size()));
    for (qsizetype i = 0; i < handled.size(); ++i)
        order[static_cast<size_t>(i)] = i;
    // Only the rows shown need ordering; the rest of a long answer is never sorted.
    std::partial_sort(order.begin(), order.begin() + rows, order.end(), [&handled](qsizetype a, qsizetype b) {
        const HandledRecord &x = handled.at(a);
        const HandledRecord &y = handled.at(b);
        const int c = QStringView(x.entry.RegDateT).compare(QStringView(y.entry.RegDateT));
        if (c != 0)
            return c > 0;
        return x.position < y.position;
    });
    KavriList list;
    list.reserve(rows);
    for (qsizetype i = 0; i < rows; ++i)
        list.append(handled.at(order[static_cast<size_t>(i)]).entry);
    return list;
}

} // namespace kavri::monitor
