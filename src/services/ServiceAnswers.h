#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The one reader of what the web service answers: the markers of a login or a
// confirmation, the records of the request list and those of the table list.
// Every field comes out without control characters: it is shown, spoken,
// logged and printed.
namespace kavri::web {

/// The answer of a login or confirmation that succeeded holds this anywhere.
inline const QString SuccessMarker = QStringLiteral("성공");
inline const QString StoreNameOpen = QStringLiteral("storename[");
inline const QString StoreNameClose = QStringLiteral("]storename");

/// True when the answer holds the success marker anywhere.
bool hasSuccessMarker(const QString &answer);

/// The shop name: what follows the first "storename[" up to the first
/// "]storename" after it (without one, up to the next "storename[" or the end).
/// Nothing when the answer holds no "storename[".
std::optional<QString> storeNameIn(const QString &answer);

/// The marker that starts every record of the request list answer.
inline constexpr QStringView kRecordMarker = u"<memochecks>";
/// The marker in the answer's bytes: the same in UTF-8 and in CP949, where "<" is
/// never the second byte of a character.
inline constexpr QByteArrayView kRecordMarkerBytes = "<memochecks>";

/// The value of tag `name` (without brackets) in a record: the text after the
/// first "<name>", up to the first "</name>" after it, or a second "<name>" when
/// that comes first, or the end of the record. Exact, not trimmed. Nothing when
/// the record has no "<name>".
std::optional<QStringView> tagValue(QStringView record, QStringView name);

/// The ten tags of a request list record, as sent.
struct RawRecord
{
    QString memonum;
    QString memoqr;
    QString memotablegroupname;
    QString memotablename;
    QString memoYN;
    QString memophonet;
    QString regdatememo;
    QString memotext;
    QString ordercount;
    QString paytype1;
};

/// Reads every tag of a record. Without one of them the record is unusable:
/// nothing, and `missing` (when given) names the first tag that lacks.
std::optional<RawRecord> readRecord(QStringView record, QString *missing = nullptr);

/// One record of the shop's table list answer; every field as the service sent it.
struct TableListEntry
{
    QString nums;       ///< the table's number
    QString tableYN;    ///< "Y": the table is in use
    QString tableqr;    ///< read, not used
    QString tableqroup; ///< group name
    QString tablenum;   ///< table name
};

/// What a table list answer holds: the tables in use in answer order, how many
/// records were thrown away as malformed, whether there was any record at all
/// (an empty or blank answer, an error page: the list did not load), and
/// whether the answer went on beyond kMaxTables tables.
struct TableList
{
    QList<TableListEntry> tables;
    int malformed = 0;
    bool anyRecord = false;
    bool cut = false;
};

/// Tables beyond this many are not listed; no shop comes near it.
inline constexpr int kMaxTables = 5000;
/// A field longer than this marks its record as malformed.
inline constexpr int kMaxTableFieldChars = 200;

/// Cuts the answer into records at every "nums[" and reads each record's
/// fields between their markers ("nums[" … "]nums" and so on). A record is
/// listed only when tableYN is exactly "Y". A record that lacks the opening or
/// closing marker of nums, tableYN, tableqroup or tablenum (tableqr may be
/// missing), or whose field is too long, is skipped whole.
TableList parseTableList(const QString &answer);

} // namespace kavri::web
