#include "upgrade/UpgradeDecision.h"

#include "services/AppFolder.h"
#include "services/Conversions.h"
#include "services/Deployment.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/Settings.h"
#include "upgrade/Catalogue.h"
#include "upgrade/DataLoadWindow.h"
#include "upgrade/Handover.h"
#include "upgrade/UpgradeValues.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <exception>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

std::function<void()> &runnerHook()
{
    static std::function<void()> hook;
    return hook;
}

QString normalisedVersion(const QString &v)
{
    if (v.isEmpty())
        return {};
    QString out;
    for (const QString &part : v.split(u'.')) {
        const qint64 n = ToLong(part);
        const QString digits = QString::number(n < 0 ? -n : n).rightJustified(4, u'0');
        out += u"."_s + (n < 0 ? u"-"_s : QString()) + digits;
    }
    return out;
}

void runDownloadWindow()
{
    if (runnerHook()) {
        runnerHook()();
        return;
    }
    // The login window is hidden meanwhile: closing the download window must not count as
    // the last window closing, or a failed download would end the program instead of going on.
    const bool quitOnLast = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    {
        frmDataLoad window;
        window.m_FirstActivated = true;
        window.m_DataLoadUpdateType = 0;
        window.exec();
    }
    QGuiApplication::setQuitOnLastWindowClosed(quitOnLast);
}

/// The old program was started again after a hand-over: start the downloaded
/// file once more. A file that is missing or cannot be started leaves this copy
/// running; the next start then gives the hand-over up.
UpgradeOutcome startAgain()
{
    writePatchResult(u"Success2"_s);
    const QString path = appFilePath(upgradeState().patchFile);
    if (!FileExists(path)) {
        WriteLog(path + u" 파일이 없어 실행할 수 없습니다."_s);
        return UpgradeOutcome::Continue;
    }
    TNV_PutPatchHistory({}, u"S"_s);
    Delay(1000);
    WriteLog(path + u" 실행 !!!"_s);
    QString error;
    if (!startPatchedProgram(path, &error)) {
        WriteLog(path + u" 실행 실패: "_s + error);
        return UpgradeOutcome::Continue;
    }
    endUpgradeProcess(0);
    return UpgradeOutcome::Ending;
}

} // namespace

int VersionCompare(const QString &a, const QString &b)
{
    const QString na = normalisedVersion(a);
    const QString nb = normalisedVersion(b);
    const int c = QString::compare(na, nb, Qt::CaseSensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

void setDownloadWindowRunner(std::function<void()> runner)
{
    runnerHook() = std::move(runner);
}

UpgradeOutcome TNV_자동_업그레이드()
{
    clearUpgradeProcessEnded();
    upgradeState().patchServer = patchServerOf(loadDeployment());
    if (!upgradeState().patchServer.unreadable.isEmpty())
        WriteLog(
            upgradeState().patchServer.unreadable); // nothing is recorded: a corrected key is tried next time
    if (!upgradeState().patchServer.isSet())
        return UpgradeOutcome::Continue; // no patch server in this deployment: nothing to check
    upgradeState().patchType = u"A"_s;
    upgradeState().serverVersion.clear();
    upgradeState().serverSize = 0;
    upgradeState().serverSha256.clear();
    upgradeState().curVersion = GetAppVersion();

    if (!TNV_GetPatchVersion(false) || upgradeState().serverVersion.isEmpty())
        return UpgradeOutcome::Continue;

    const QString version = readPatchIni(u"Version"_s);
    const QString result = readPatchIni(u"Result"_s);

    if (upgradeState().serverVersion == version) {
        if (upgradeState().curVersion == upgradeState().serverVersion)
            return UpgradeOutcome::Continue;
        if (result == u"Success"_s)
            return startAgain();
        if (result == u"Success2"_s) {
            writePatchResult(u"Error"_s);
            TNV_PutPatchHistory({}, u"E"_s);
        }
        return UpgradeOutcome::Continue;
    }

    if (VersionCompare(upgradeState().serverVersion, upgradeState().curVersion) != 1)
        return UpgradeOutcome::Continue;
    // An entry without a usable size would make the size test meaningless: refused, and asked again next
    // time.
    if (upgradeState().serverSize <= 0) {
        WriteLog(u"패치 "_s + upgradeState().serverVersion + u"의 크기를 알 수 없어 받지 않습니다."_s);
        return UpgradeOutcome::Continue;
    }
    // The login window is the only window open here; it goes before the download window opens.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            w->hide();
    }
    QCoreApplication::processEvents();
    upgradeState().patchFile = u"TenviVadn_Last.EXE"_s;
    runDownloadWindow();
    return upgradeProcessEnded() ? UpgradeOutcome::Ending : UpgradeOutcome::Continue;
}

} // namespace kavri
