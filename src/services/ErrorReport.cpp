#include "services/ErrorReport.h"

#include "services/EventLog.h"

using namespace Qt::StringLiterals;

namespace kavri {

QString errorReport(const QString &where, const QString &procedure, const Failure &failure,
                    ReportPrefix prefix)
{
    QString head;
    switch (prefix) {
    case ReportPrefix::Lower:
        head = u"e)"_s;
        break;
    case ReportPrefix::Capital:
        head = u"E)"_s;
        break;
    case ReportPrefix::Angle:
        head = u"<e>"_s;
        break;
    }
    return head + where + u"->"_s + procedure + u"[Erl:="_s + QString::number(failure.line) + u", Eno:="_s +
           QString::number(failure.number) + u"]\r\n   "_s + failure.description;
}

QString compactErrorReport(const QString &where, const QString &procedure, const Failure &failure)
{
    return u"E)"_s + where + u"->"_s + procedure + u"[Erl:="_s + QString::number(failure.line) +
           u"](Eno:="_s + QString::number(failure.number) + u")"_s + failure.description;
}

QString processLookupErrorReport(const QString &exeName, const Failure &failure)
{
    return compactErrorReport(u"lib_misc"_s, u"IsProcessExist(sExeName:="_s + exeName + u")"_s, failure);
}

void reportError(const QString &where, const QString &procedure, const Failure &failure,
                 const QString &channel, ReportPrefix prefix)
{
    WriteLog(errorReport(where, procedure, failure, prefix), channel);
}

} // namespace kavri
