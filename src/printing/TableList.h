#pragma once

#include "services/ServiceAnswers.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kavri {

/// Asks the service for the shop's table list as `loginId` and reads the
/// answer. The request (password masked) and the answer go to the WinHttp log,
/// and so do the skipped records and an answer without any record.
web::TableList fetchTableList(const QString &loginId, const QString &password);

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
using TableListSource = std::function<web::TableList(const QString &loginId, const QString &password)>;
void setTableListSource(TableListSource source);

} // namespace kavri
