#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kavri {

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

/// Asks the service for the shop's table list as `loginId` and reads the
/// answer. The request (password masked) and the answer go to the WinHttp log,
/// and so do the skipped records and an answer without any record.
TableList fetchTableList(const QString &loginId, const QString &password);

/// The sort key of a table name: names ending in digits sort by that number,
/// names without a trailing number first.
QString TableSortKey(const QString &name);

/// The selection text for the stored settings: "전체", or "-[" + name + "]-"
/// for every ticked name in grid order.
QString selectionText(bool allTables, const QStringList &tickedNames);

/// The table names a stored selection names ("-[" … "]-" entries), in order,
/// without repeats; nothing for "전체".
QStringList selectedTableNames(const QString &selection);

/// "만들어진 좌석  -  총 1,234개", and when the stored selection names tables
/// the service no longer lists, how many of them saving will drop; with `cut`,
/// that the list stops at kMaxTables.
QString tableCountText(qsizetype count, qsizetype unlistedSelected = 0, bool cut = false);

/// The count line when the table list could not be loaded: saving keeps the stored selection.
QString tableListFailedText();

/// Where fetchTableList gets the list instead of the service, when set: tests
/// hand the printer settings window a canned list here. Empty: the service.
using TableListSource = std::function<TableList(const QString &loginId, const QString &password)>;
void setTableListSource(TableListSource source);

} // namespace kavri
