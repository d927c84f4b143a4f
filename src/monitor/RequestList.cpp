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

struct Tag
{
    QStringView name;
    QString open;
    QString close;
};

Tag makeTag(QStringView name)
{
    return Tag{name, u'<' + name.toString() + u'>', u"</"_s + name.toString() + u'>'};
}

// The tags in the order a record is read.
const std::array<Tag, 10> &recordTags()
{
    static const std::array<Tag, 10> tags{
        makeTag(u"memonum"),       makeTag(u"memoqr"),   makeTag(u"memotablegroupname"),
        makeTag(u"memotablename"), makeTag(u"memoYN"),   makeTag(u"memophonet"),
        makeTag(u"regdatememo"),   makeTag(u"memotext"), makeTag(u"ordercount"),
        makeTag(u"paytype1")};
    return tags;
}

std::optional<QStringView> valueOf(QStringView record, QStringView open, QStringView close)
{
    const qsizetype at = record.indexOf(open);
    if (at < 0)
        return std::nullopt;
    const qsizetype begin = at + open.size();
    qsizetype end = record.indexOf(close, begin);
    if (end < 0)
        end = record.size();
    // A second opening tag before the closing one ends the value too; only the
    // stretch up to the closing tag needs looking at.
    const qsizetype reopen = record.sliced(begin, end - begin).indexOf(open);
    if (reopen >= 0)
        end = begin + reopen;
    return record.sliced(begin, end - begin);
}

qint64 secondsOf(const QDate &date, int hour, int minute, int second)
{
    return date.toJulianDay() * 86400 + hour * 3600 + minute * 60 + second;
}

} // namespace

std::optional<QStringView> tagValue(QStringView record, QStringView name)
{
    const Tag tag = makeTag(name);
    return valueOf(record, tag.open, tag.close);
}

std::optional<RawRecord> readRecord(QStringView record, QString *missing)
{
    // One pass over the record's "<" instead of a search per tag: every tag's
    // value starts after its first opening tag and ends at the first closing
    // tag or second opening tag after that, as tagValue() reads it.
    const auto &tags = recordTags();
    constexpr size_t n = std::tuple_size_v<std::decay_t<decltype(tags)>>;
    std::array<qsizetype, n> begin;
    std::array<qsizetype, n> end;
    begin.fill(-1);
    end.fill(-1);
    for (qsizetype at = record.indexOf(u'<'); at >= 0; at = record.indexOf(u'<', at + 1)) {
        const bool closing = at + 1 < record.size() && record.at(at + 1) == u'/';
        const QStringView rest = record.sliced(at + (closing ? 2 : 1));
        for (size_t i = 0; i < n; ++i) {
            const QStringView name = tags[i].name;
            // The ">" right after the name first: it rules out nearly every other tag at once.
            if (rest.size() <= name.size() || rest.at(name.size()) != u'>' ||
                !std::equal(name.begin(), name.end(), rest.begin()))
                continue;
            if (begin[i] < 0) {
                if (!closing)
                    begin[i] = at + name.size() + 2;
            } else if (end[i] < 0) {
                end[i] = at;
            }
            break;
        }
    }
    std::array<QString, n> values;
    for (size_t i = 0; i < n; ++i) {
        if (begin[i] < 0) {
            if (missing)
                *missing = tags[i].name.toString();
            return std::nullopt;
        }
        const qsizetype stop = end[i] < 0 ? record.size() : end[i];
        // What a customer typed reaches the board, the speech, the log and the printer:
        // no control character in it may act as a printer command or a line of its own.
        values[i] = withoutControls(record.sliced(begin[i], stop - begin[i]));
    }
    return RawRecord{values[0], values[1], values[2], values[3], values[4],
                     values[5], values[6], values[7], values[8], values[9]};
}

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
    const qsizetype resume = std::max<qsizetype>(0, m_rest.size() - (kRecordMarker.size() - 1));
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
        const qsizetype at = text.indexOf(kRecordMarker, resume);
        if (at < 0) {
            // Before the first record: only what a cut marker could start with is kept.
            const QString keep = text.right(kRecordMarker.size() - 1).toString();
            m_rest = keep;
            return;
        }
        m_inRecord = true;
        m_sawList = true;
        begin = search = at + kRecordMarker.size();
    }
    for (qsizetype next = text.indexOf(kRecordMarker, search); next >= 0;
         next = text.indexOf(kRecordMarker, begin)) {
        readRecordAt(text.sliced(begin, next - begin));
        begin = next + kRecordMarker.size();
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
    const std::optional<RawRecord> raw = readRecord(record, &missing);
    if (!raw) {
        const std::optional<QStringView> num = tagValue(record, u"memonum");
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
    reader.reserve(answer.count(kRecordMarker));
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
