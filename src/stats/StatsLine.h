#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

namespace kavri::stats {

class LocalTimes;

/// How a request left the board.
enum class LeftHow { Staff, Auto, Gone };

/// One request that left: one line of the daily statistics file.
struct StatsLine
{
    QString number;
    QString table;
    QDateTime registered; ///< invalid when the service's text could not be read
    QDateTime firstSeen;  ///< the first poll that listed it (in this run of the program)
    QDateTime left;
    LeftHow how = LeftHow::Gone;
};

/// The statistics folder's name in the application folder.
inline constexpr char16_t StatsFolderName[] = u"stats";
/// The header line of every statistics file.
QString statsHeader();
/// "staff", "auto" or "gone".
QString leftHowText(LeftHow how);
/// One CSV line (no line end): control characters in a text become spaces, a text a
/// spreadsheet would run as a formula (=, +, -, @ first) starts with a quote ('), and
/// fields with a comma or a quote are quoted.
QString statsCsvLine(const StatsLine &line);
/// Reads a CSV line as statsCsvLine() writes it, the texts as they were before it
/// (control characters, from files of older versions too, as spaces); nothing for
/// the header, a malformed line or a line of another shape. The times are local
/// times; `times` spares a time-zone lookup per time when many lines are read.
std::optional<StatsLine> parseStatsCsvLine(QStringView text);
std::optional<StatsLine> parseStatsCsvLine(QStringView text, LocalTimes &times);
/// `folder`/stats/yyyy-MM-dd.csv for the day of `day`.
QString statsFilePath(const QString &folder, const QDate &day);

} // namespace kavri::stats
