#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

namespace kavri {

/// Keeps the 21 newest files of the application folder that match `pattern`
/// ("?" one character, "*" any run) and deletes the older ones. Returns true.
bool 로그_파일_삭제(const QString &pattern);

/// Deletes the daily statistics files ("yyyy-MM-dd.csv" in the folder `statsFolder`)
/// of days more than `keepDays` before `today`; other files are left alone.
/// Returns how many were deleted.
int removeOldStatsFiles(const QString &statsFolder, const QDate &today, int keepDays = 90);

/// Milliseconds since the machine started, low 32 bits. Compare elapsed times
/// as quint32 differences, which stay right across the wrap.
quint32 GetTick();

/// Lets pending events run until more than `ms` milliseconds have passed.
void Delay(quint32 ms);
/// The same, ending early once `stopWhen` (asked after each batch of events)
/// is true. True when the whole time passed, false when it was cut short.
bool Delay(quint32 ms, const std::function<bool()> &stopWhen);

/// True when a file exists at `path`; false otherwise and on any failure.
bool FileExists(const QString &path);

/// Process id of the first running process whose executable file name equals
/// `exeName` (without regard to case); 0 when none; -1 when the process table
/// cannot be read.
qint64 IsProcessExist(const QString &exeName);

/// Sorts `items[first..last]` ascending by character codes; -2 stands for the
/// lowest index (first) and the highest index (last).
void QuickSort(QStringList &items, qsizetype first = -2, qsizetype last = -2);

/// Sort key that orders table names by their trailing number: "테이블7" gives
/// "A테이블0000000007"; a name without a trailing digit gives the empty text.
QString TableNameSortKey(const QString &name);

} // namespace kavri
