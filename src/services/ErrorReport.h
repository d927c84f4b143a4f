#pragma once

#include <QString>

namespace kavri {

/// What went wrong in a procedure: the number of the step that failed (0 when
/// the procedure has no numbered steps), an error code and its description.
struct Failure
{
    int line = 0;
    int number = 0;
    QString description;
};

enum class ReportPrefix { Lower, Capital, Angle }; // "e)", "E)", "<e>"

/// "e)" + where + "->" + procedure + "[Erl:=" + line + ", Eno:=" + number + "]" CR LF "   " + description
QString errorReport(const QString &where, const QString &procedure, const Failure &failure,
                    ReportPrefix prefix = ReportPrefix::Lower);

/// "E)" + where + "->" + procedure + "[Erl:=" + line + "](Eno:=" + number + ")" + description, one line.
QString compactErrorReport(const QString &where, const QString &procedure, const Failure &failure);

/// The report of a failed process lookup, naming the executable that was asked for.
QString processLookupErrorReport(const QString &exeName, const Failure &failure);

/// Writes errorReport(...) to the log channel (main log by default).
void reportError(const QString &where, const QString &procedure, const Failure &failure,
                 const QString &channel = {}, ReportPrefix prefix = ReportPrefix::Lower);

} // namespace kavri
