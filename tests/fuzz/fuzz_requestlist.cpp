// Feeds the request list reader answers built from the service's grammar and
// then damaged: cut short, tags dropped, doubled or misspelt, markers inserted,
// odd characters. Fixed seed, so a failure repeats; the optional argument is
// the number of answers (default 4000). Checks what must hold for any answer:
// no crash, every shown record readable and within its age, records never
// counted twice, and the cut list sorted newest first within the row count.
#include "FuzzHarness.h"
#include "monitor/Expiry.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestList.h"
#include "services/Conversions.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;
using namespace kavri::web;

namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(12, 0, 0));
const QStringList kTags{u"memonum"_s,    u"memoqr"_s,     u"memotablegroupname"_s, u"memotablename"_s,
                        u"memoYN"_s,     u"memophonet"_s, u"regdatememo"_s,        u"memotext"_s,
                        u"ordercount"_s, u"paytype1"_s};

class Maker
{
public:
    explicit Maker(quint32 seed) : m_rng(seed) {}

    int below(int n) { return int(m_rng.bounded(n)); }

    QString oddText()
    {
        static const QStringList pieces{u"<"_s,
                                        u">"_s,
                                        u"</"_s,
                                        u"<memochecks>"_s,
                                        u"</memochecks>"_s,
                                        u"\r\n"_s,
                                        u"물"_s,
                                        u"ccdd!!"_s,
                                        u"!줄바꿈!"_s,
                                        u"Y"_s,
                                        u"y"_s,
                                        u"2.5"_s,
                                        u"-"_s,
                                        u":"_s,
                                        u" "_s,
                                        QString(QChar(0xD800)),
                                        QString(QChar(0)),
                                        u"99999999999999999999"_s,
                                        u"card"_s,
                                        u"CASH"_s};
        QString out;
        for (int i = below(4); i > 0; --i)
            out += pieces.at(below(int(pieces.size())));
        return out;
    }

    QString value(const QString &tag)
    {
        if (below(6) == 0)
            return oddText();
        if (tag == u"regdatememo"_s) {
            const QDateTime at = kNow.addSecs(-qint64(below(300 * 60)) + 600);
            return at.toString(below(10) == 0 ? u"yyyy-MM-dd H:mm:ss"_s : u"yyyy-MM-dd HH:mm:ss"_s);
        }
        if (tag == u"memonum"_s)
            return QString::number(below(100000));
        if (tag == u"memoYN"_s)
            return below(4) == 0 ? u"Y"_s : u"N"_s;
        if (tag == u"ordercount"_s)
            return QString::number(below(5));
        if (tag == u"paytype1"_s)
            return below(2) ? u"card"_s : u"cash"_s;
        return u"요청 "_s + QString::number(below(1000));
    }

    QString record()
    {
        QString out = u"<memochecks>"_s;
        for (const QString &tag : kTags) {
            const int fate = below(40);
            if (fate == 0)
                continue; // dropped
            const QString open = fate == 1 ? u"<"_s + tag.toUpper() + u">"_s : u"<"_s + tag + u">"_s;
            out += open + value(tag);
            if (fate != 2)
                out += u"</"_s + tag + u">"_s;
            if (fate == 3)
                out += open + value(tag) + u"</"_s + tag + u">"_s; // doubled
        }
        return out + u"</memochecks>\n"_s;
    }

    QString answer()
    {
        QString out = below(3) ? u"<memolist>\n"_s : oddText();
        for (int i = below(40); i > 0; --i)
            out += record();
        // Damage: cut short, or characters dropped or inserted at random places.
        for (int i = below(4); i > 0 && !out.isEmpty(); --i) {
            const qsizetype at = below(int(out.size()));
            switch (below(3)) {
            case 0:
                out.truncate(at);
                break;
            case 1:
                out.remove(at, below(20));
                break;
            default:
                out.insert(at, oddText());
                break;
            }
        }
        return out;
    }

private:
    QRandomGenerator m_rng;
};

bool fail(const QString &why, const QString &answer)
{
    std::fprintf(stderr, "FAIL: %s\nanswer (%lld chars): %s\n", qPrintable(why),
                 static_cast<long long>(answer.size()),
                 answer.left(2000).toUtf8().toPercentEncoding(" <>/!:-\n").constData());
    return false;
}

// The record grammar written out plainly, as the oracle the reader is checked
// against: each piece after a marker, up to the next one or the end.
QList<QStringView> recordsOf(QStringView answer)
{
    QList<QStringView> records;
    for (qsizetype at = answer.indexOf(kRecordMarker); at >= 0;) {
        const qsizetype begin = at + kRecordMarker.size();
        at = answer.indexOf(kRecordMarker, begin);
        records.append(answer.sliced(begin, (at < 0 ? answer.size() : at) - begin));
    }
    return records;
}

qint64 g_shown = 0;
qint64 g_skipped = 0;

bool check(const QString &answer, int displayIdx)
{
    const qsizetype records = recordsOf(answer).size();
    const AnswerReading r = readAnswer(answer, kNow);
    g_shown += r.handled.size();
    g_skipped += r.malformed.size();
    if (r.handled.size() + r.malformed.size() > records)
        return fail(u"more records read than the answer holds"_s, answer);
    qsizetype previous = records + 1;
    const qint64 nowStamp = minuteStamp(kNow);
    for (const HandledRecord &h : r.handled) {
        if (h.position < 1 || h.position >= previous)
            return fail(u"records not handled from the last to the first"_s, answer);
        previous = h.position;
        const std::optional<qint64> stamp = minuteStamp(h.entry.RegDateT);
        if (!stamp || ageMinutes(*stamp, nowStamp) != h.age || h.age > kShowMinutes)
            return fail(u"a shown record with a bad time or age: "_s + h.entry.RegDateT, answer);
        if (!answer.contains(h.entry.NumT) || !withoutControls(answer).contains(h.entry.TableT))
            return fail(u"a field that is not in the answer"_s, answer);
        if (withoutControls(h.entry.TableT) != h.entry.TableT ||
            withoutControls(h.entry.RegDateT) != h.entry.RegDateT)
            return fail(u"a control character in a shown field"_s, answer);
    }
    // The text in pieces (their size drawn from the answer itself) reads as the whole does.
    {
        const qsizetype size = 1 + qsizetype(qHash(answer) % 300);
        AnswerReader reader(kNow);
        for (qsizetype at = 0; at < answer.size(); at += size)
            reader.feed(QStringView(answer).sliced(at, std::min(size, answer.size() - at)));
        const AnswerReading pieces = reader.finish();
        bool same =
            pieces.handled.size() == r.handled.size() && pieces.malformed.size() == r.malformed.size();
        for (qsizetype i = 0; same && i < r.handled.size(); ++i)
            same = pieces.handled.at(i).entry == r.handled.at(i).entry &&
                   pieces.handled.at(i).position == r.handled.at(i).position;
        for (qsizetype i = 0; same && i < r.malformed.size(); ++i)
            same = pieces.malformed.at(i).position == r.malformed.at(i).position &&
                   pieces.malformed.at(i).why == r.malformed.at(i).why;
        if (!same)
            return fail(u"read in pieces of "_s + QString::number(size) + u" it differs"_s, answer);
    }
    // The one-pass record reader agrees with tagValue() on every value.
    for (QStringView record : recordsOf(answer)) {
        QString missing;
        const std::optional<RawRecord> raw = readRecord(record, &missing);
        const QStringList got =
            raw ? QStringList{raw->memonum,    raw->memoqr,     raw->memotablegroupname, raw->memotablename,
                              raw->memoYN,     raw->memophonet, raw->regdatememo,        raw->memotext,
                              raw->ordercount, raw->paytype1}
                : QStringList();
        QString firstMissing;
        for (qsizetype i = 0; i < kTags.size(); ++i) {
            const std::optional<QStringView> v = tagValue(record, kTags.at(i));
            if (!v) {
                firstMissing = kTags.at(i);
                break;
            }
            // The reader hands on no control character of the answer.
            if (raw && withoutControls(*v) != got.at(i))
                return fail(u"readRecord and tagValue differ on <"_s + kTags.at(i) + u">"_s, answer);
        }
        if (raw ? !firstMissing.isEmpty() : firstMissing != missing)
            return fail(u"readRecord and tagValue differ on the missing tag "_s + firstMissing, answer);
    }
    for (const SkippedRecord &s : r.malformed) {
        if (s.position < 1 || s.position > records || s.why.isEmpty())
            return fail(u"a skipped record without place or reason"_s, answer);
    }
    const KavriList list = sortAndCut(r.handled, displayIdx);
    if (list.size() > RequestBoard::rowCountFor(displayIdx) || list.size() > r.handled.size())
        return fail(u"more entries than rows"_s, answer);
    for (qsizetype i = 1; i < list.size(); ++i) {
        if (list.at(i - 1).RegDateT < list.at(i).RegDateT)
            return fail(u"list not newest first"_s, answer);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = int(fuzz::inputCount(argc, argv, 4000));
    Maker maker(20260501);
    for (int i = 0; i < count; ++i) {
        if (!check(maker.answer(), maker.below(5) - 1)) {
            std::fprintf(stderr, "at answer %d of %d (seed 20260501)\n", i, count);
            return 1;
        }
    }
    std::printf("%d answers read: %lld records shown, %lld skipped as malformed\n", count,
                static_cast<long long>(g_shown), static_cast<long long>(g_skipped));
    return 0;
}
