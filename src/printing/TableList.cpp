#include "printing/TableList.h"

#include "services/Conversions.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/WebService.h"
#include "services/WinHttp.h"

#include <QSet>

#include <optional>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

QString groupThousands(qsizetype n)
{
    QString digits = QString::number(n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

TableListSource &tableListSource()
{
    static TableListSource source;
    return source;
}

} // namespace

web::TableList fetchTableList(const QString &loginId, const QString &password)
{
    if (const TableListSource &source = tableListSource())
        return source(loginId, password);
    const QString address = web::endpoint(web::TableListPath);
    const QString body = web::tableListBody(loginId, password);
    WriteLog(u"Load_테이블(1) ... "_s + web::maskPassword(address + u"?"_s + body), LogChannel::WinHttp);
    const QString answer = GetWinHttp(address, body);
    WriteLog(u"Load_테이블(1) ... ResponseStr:"_s + u"\r\n"_s + answerForLog(answer), LogChannel::WinHttp);
    const web::TableList list = web::parseTableList(answer);
    if (list.malformed > 0)
        WriteLog(u"Load_테이블(7) ... 형식이 맞지 않는 기록 "_s + QString::number(list.malformed) +
                     u"개는 넣지 않음"_s,
                 LogChannel::WinHttp);
    if (!list.anyRecord)
        WriteLog(u"Load_테이블(7) ... 테이블 목록을 받지 못해 저장된 선택을 그대로 둠"_s,
                 LogChannel::WinHttp);
    return list;
}

QString TableSortKey(const QString &name)
{
    return TableNameSortKey(name);
}

QString selectionText(bool allTables, const QStringList &tickedNames)
{
    if (allTables)
        return u"전체"_s;
    QString text;
    for (const QString &name : tickedNames)
        text += u"-["_s + name + u"]-"_s;
    return text;
}

QStringList selectedTableNames(const QString &selection)
{
    QStringList names;
    if (selection == u"전체"_s)
        return names;
    QSet<QString> seen;
    qsizetype pos = 0;
    while (true) {
        const qsizetype open = selection.indexOf(u"-["_s, pos);
        if (open < 0)
            break;
        const qsizetype close = selection.indexOf(u"]-"_s, open + 2);
        if (close < 0)
            break;
        const QString name = selection.mid(open + 2, close - open - 2);
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
        pos = close + 2;
    }
    return names;
}

QString tableCountText(qsizetype count, qsizetype unlistedSelected, bool cut)
{
    QString text = u"만들어진 좌석  -  총 "_s + groupThousands(count) + u"개"_s;
    if (cut)
        text += u"  (최대 "_s + groupThousands(web::kMaxTables) + u"개까지만 표시)"_s;
    if (unlistedSelected > 0)
        text += u"  (목록에 없는 선택 테이블 "_s + groupThousands(unlistedSelected) +
                u"개는 저장하면 빠집니다)"_s;
    return text;
}

QString tableListFailedText()
{
    return u"테이블 목록을 불러오지 못했습니다. 저장해도 선택된 테이블은 그대로 둡니다."_s;
}

void setTableListSource(TableListSource source)
{
    tableListSource() = std::move(source);
}

} // namespace kavri
