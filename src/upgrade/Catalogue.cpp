#include "upgrade/Catalogue.h"

#include "platform/Dialogs.h"
#include "services/AppFolder.h"
#include "services/Conversions.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "upgrade/UpgradeValues.h"

#include <QDir>

#include <limits>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

int leadingNumber(const QString &error)
{
    return error.section(u' ', 0, 0).toInt();
}

QString elapsedSince(quint32 t0)
{
    return formatElapsed(static_cast<qint64>(GetTick() - t0));
}

/// Steps 1 to 4 shared by both operations: log, connect, log the outcome.
std::unique_ptr<platform::DbConnection> connectLogged(const QString &operation)
{
    WriteLog(u"[Svr1] StartUp"_s + LogArrow + operation);
    const quint32 t0 = GetTick();
    std::unique_ptr<platform::DbConnection> connection;
    if (!openCatalogue(connection)) {
        WriteLog(u"[Svr1] "_s + elapsedSince(t0) + u"ms 경과. 서버와 연결 실패!"_s);
        platform::showErrorTitled(u"서버에 연결할 수 없습니다!"_s, u"패치 확인"_s);
        return nullptr;
    }
    WriteLog(u"[Svr1] "_s + elapsedSince(t0) + u"ms 경과. 서버와 연결됨."_s);
    return connection;
}

} // namespace

QString formatElapsed(qint64 ms)
{
    if (ms == 0)
        return {};
    const bool negative = ms < 0;
    QString digits = QString::number(negative ? -ms : ms);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return negative ? u"-"_s + digits : digits;
}

platform::DbTarget catalogueTarget()
{
    platform::DbTarget t;
    t.host = upgradeState().patchServer.host;
    t.port = upgradeState().patchServer.port;
    t.user = upgradeState().patchServer.user;
    t.password = upgradeState().patchServer.password;
    t.database = u"mgmt"_s;
    t.charset = u"euckr"_s;
    return t;
}

bool openCatalogue(std::unique_ptr<platform::DbConnection> &connection)
{
    connection.reset();
    QString error;
    if (upgradeState().patchServer.isSet())
        connection = platform::database().open(catalogueTarget(), &error);
    else
        error = u"패치 서버가 정해지지 않았습니다."_s;
    if (!connection) {
        reportError(u"lib_DbAuthentication"_s, u"ODBC_MySQL_CONN_OPEN"_s, {2, leadingNumber(error), error});
        return false;
    }
    return true;
}

bool TNV_GetPatchVersion(bool force)
{
    std::unique_ptr<platform::DbConnection> connection = connectLogged(u"TNV_GetPatchVersion"_s);
    if (!connection)
        return false;

    // The channel is chosen here, never taken from outside; the product key is a bound value.
    QString channel;
    if (gDevMode)
        channel = u"   And P_USE_DEV = 'T'"_s;
    else if (force)
        channel = u"   And P_USE_FORCE = 'T'"_s;
    else
        channel = u"   And P_USE = 'T'"_s;
    const QString sql =
        u"Select * From TNV_Vadn_PatchTB Where P_TYPE=?"_s + channel + u" Order By P_AUTO Desc"_s;

    const quint32 t0 = GetTick();
    platform::DbRows rows;
    QString error;
    if (!connection->query(sql, {upgradeState().patchType}, &rows, 1, &error)) {
        CfgWork.report(errorReport(u"StartUp"_s, u"TNV_GetPatchVersion"_s, {6, leadingNumber(error), error}));
        return false;
    }
    if (!rows.rows.isEmpty()) {
        upgradeState().serverVersion = rows.value(0, u"P_VERSION"_s).value_or(QString());
        const qint64 size = ToLong(rows.value(0, u"P_SIZE"_s).value_or(QString()));
        // A size that does not fit the 32-bit value is as unreadable as no size.
        upgradeState().serverSize = size > 0 && size <= std::numeric_limits<qint32>::max() ? qint32(size) : 0;
        upgradeState().serverSha256 = rows.value(0, u"P_SHA256"_s).value_or(QString()).trimmed().toLower();
    }
    connection.reset();
    WriteLog(u"[Svr1] "_s + elapsedSince(t0) + u"ms 경과. 데이터 처리 완료."_s);
    return true;
}

bool TNV_PutPatchHistory(const QString &route, const QString &status)
{
    std::unique_ptr<platform::DbConnection> connection = connectLogged(u"TNV_PutPatchHistory"_s);
    if (!connection)
        return false;

    // The row was stored with the shop name fitted to its column; the lookup uses the same fitted name.
    const QString branch = CommonUtil::fitToWidth(gStoreName, 40);
    const quint32 t0 = GetTick();
    QString error;
    bool ok = false;
    if (status == u"E"_s) {
        ok = connection->execute(u"UPDATE TNV_Vadn_PatchItemTB SET P_DOWN_OK = 'E'"
                                 " WHERE P_TYPE = ?   AND P_VERSION = ?   AND P_BRANCH = ?   AND P_MAC = ?"
                                 " ORDER BY P_AUTO Desc LIMIT 1"_s,
                                 {upgradeState().patchType, upgradeState().serverVersion, branch,
                                  CommonUtil::fitToWidth(gMacAddress, 50)},
                                 nullptr, &error);
    } else {
        ok = connection->execute(
            u"INSERT INTO TNV_Vadn_PatchItemTB (P_TYPE, P_VERSION, P_BRANCH, P_COMP_NAME, P_MAC, P_OS, "
            u"P_KIND,"
            " P_APP_PATH, P_DOWN_PROG, P_DOWN_OK) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
            {upgradeState().patchType, upgradeState().serverVersion, branch,
             CommonUtil::fitToWidth(gStoreName, 100), CommonUtil::fitToWidth(gMacAddress, 50),
             CommonUtil::fitToWidth(gOSName, 50), u"unknown"_s, QDir::toNativeSeparators(appFolder()), route,
             status},
            nullptr, &error);
    }
    if (!ok) {
        CfgMain.report(errorReport(u"StartUp"_s, u"TNV_PutPatchHistory"_s, {5, leadingNumber(error), error},
                                   ReportPrefix::Angle));
        return false;
    }
    connection.reset();
    WriteLog(u"[Svr1] "_s + elapsedSince(t0) + u"ms 경과. 데이터 처리 완료."_s);
    return true;
}

} // namespace kavri
