#include "services/ServiceAnswers.h"

#include "services/Conversions.h"

#include <array>

using namespace Qt::StringLiterals;

namespace kavri::web {
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

const QString kRecordStart = u"nums["_s;

enum class Field { Found, Missing, Malformed };

/// The text between the field's first opening marker and the first closing
/// marker after it; Malformed when another opening marker of the same field
/// comes first or no closing marker follows.
Field readField(const QString &record, const QString &name, QString &value)
{
    const QString open = name + u'[';
    const QString close = u']' + name;
    const qsizetype at = record.indexOf(open);
    if (at < 0)
        return Field::Missing;
    const qsizetype start = at + open.size();
    const qsizetype end = record.indexOf(close, start);
    const qsizetype again = record.indexOf(open, start);
    if (end < 0 || (again >= 0 && again < end) || end - start > kMaxTableFieldChars)
        return Field::Malformed;
    // Table names are shown, stored and compared with the requests' table names,
    // which come without control characters.
    value = withoutControls(QStringView(record).sliced(start, end - start));
    return Field::Found;
}

/// The entry of one record; nothing when the record is malformed.
std::optional<TableListEntry> readTableRecord(const QString &record)
{
    TableListEntry e;
    if (readField(record, u"tableYN"_s, e.tableYN) != Field::Found)
        return std::nullopt;
    if (readField(record, u"nums"_s, e.nums) != Field::Found ||
        readField(record, u"tableqroup"_s, e.tableqroup) != Field::Found ||
        readField(record, u"tablenum"_s, e.tablenum) != Field::Found)
        return std::nullopt;
    // tableqr is not used: a missing pair is fine, a broken one makes the record suspect.
    if (readField(record, u"tableqr"_s, e.tableqr) == Field::Malformed)
        return std::nullopt;
    return e;
}

} // namespace

bool hasSuccessMarker(const QString &answer)
{
    return answer.contains(SuccessMarker);
}

std::optional<QString> storeNameIn(const QString &answer)
{
    const qsizetype open = answer.indexOf(StoreNameOpen);
    if (open < 0)
        return std::nullopt;
    const qsizetype start = open + StoreNameOpen.size();
    qsizetype end = answer.indexOf(StoreNameClose, start);
    if (end < 0)
        end = answer.indexOf(StoreNameOpen, start);
    if (end < 0)
        end = answer.size();
    // The name is shown on the board and written to the log and the install history.
    return withoutControls(QStringView(answer).sliced(start, end - start));
}

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

TableList parseTableList(const QString &answer)
{
    TableList list;
    qsizetype at = answer.indexOf(kRecordStart);
    list.anyRecord = at >= 0;
    while (at >= 0 && list.tables.size() < kMaxTables) {
        const qsizetype next = answer.indexOf(kRecordStart, at + kRecordStart.size());
        const QString record = answer.mid(at, next < 0 ? -1 : next - at);
        at = next;
        const std::optional<TableListEntry> entry = readTableRecord(record);
        if (!entry) {
            ++list.malformed;
            continue;
        }
        if (entry->tableYN == u"Y"_s)
            list.tables.append(*entry);
    }
    list.cut = at >= 0;
    return list;
}

} // namespace kavri::web
