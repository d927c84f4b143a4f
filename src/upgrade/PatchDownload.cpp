#include "upgrade/PatchDownload.h"

#include "platform/Dialogs.h"
#include "platform/HttpTransport.h"
#include "services/AppFolder.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/Settings.h"
#include "upgrade/Catalogue.h"
#include "upgrade/Handover.h"
#include "upgrade/UpgradeValues.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

QString rememberedDownloaderPath()
{
    return appFilePath(u".kavri-wget.pid"_s);
}

void reportUnexpected(int step, const QString &description)
{
    CfgWork.report(
        errorReport(UpgradeWindowName, u"TNV_program_patch"_s, {step, 5, description}, ReportPrefix::Angle));
}

/// The SHA-256 of a file, lower-case hex; empty when it cannot be read.
QString sha256Of(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

QString formatCount(qint64 n)
{
    const bool negative = n < 0;
    QString digits = QString::number(negative ? -n : n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return negative ? u"-"_s + digits : digits;
}

qint64 GetFileSize(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile())
        return 0;
    return std::max<qint64>(0, info.size());
}

QString downloaderProgram()
{
    const QFileInfo own(appFilePath(u"wget"_s));
    if (own.isFile() && own.isExecutable())
        return own.absoluteFilePath();
    return QStandardPaths::findExecutable(u"wget"_s);
}

PatchDownload::PatchDownload(DownloadView &view, DownloadLimits limits) : m_view(view), m_limits(limits) {}

void PatchDownload::rememberDownloader(const platform::ProcessStamp &stamp)
{
    QFile file(rememberedDownloaderPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(stamp.pid) + ' ' + QByteArray::number(stamp.startTime) + '\n');
}

void PatchDownload::endDownloader()
{
    if (m_downloader.isNull()) {
        // One left running by an earlier run that ended mid-download, known by its id and start time.
        const QFileInfo info(rememberedDownloaderPath());
        QFile file(info.filePath());
        if (info.isFile() && info.size() <= 64 && file.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> parts = file.readAll().trimmed().split(' ');
            if (parts.size() == 2)
                m_downloader = {parts.at(0).toLongLong(), parts.at(1).toULongLong()};
        }
    }
    if (!m_downloader.isNull()) {
        for (int pass = 0; pass < m_limits.endPasses; ++pass) {
            const platform::RunState state = platform::runState(m_downloader);
            if (state == platform::RunState::Gone)
                break;
            if (state == platform::RunState::Running)
                platform::killProcess(m_downloader.pid);
            Delay(250);
        }
    }
    m_downloader = {};
    QFile::remove(rememberedDownloaderPath());
}

bool PatchDownload::startDownloader(const QString &localFile)
{
    const QString program = downloaderProgram();
    if (program.isEmpty()) {
        WriteLog(u"  wget을 찾을 수 없습니다."_s);
        return false;
    }
    // Our own working folder and an explicit output file: the file appears where the poll looks.
    const QString address = upgradeState().patchServer.downloadAddress + u"/cc/"_s + upgradeState().patchFile;
    QString error;
    m_downloader = platform::startDetached(program, {u"-q"_s, u"--no-proxy"_s, u"-O"_s, localFile, address},
                                           appFolder(), &error);
    if (m_downloader.isNull()) {
        WriteLog(u"  wget 실행 실패: "_s + error);
        return false;
    }
    rememberDownloader(m_downloader);
    return true;
}

PatchDownload::Outcome PatchDownload::pollDownloader(const QString &localFile)
{
    const quint32 t0 = GetTick();
    while (true) {
        const qint64 size = GetFileSize(localFile);
        m_view.setDetail(formatCount(size) + u"/"_s + formatCount(upgradeState().serverSize) +
                         u" ... 다운로드"_s);
        m_view.setProgress(size, upgradeState().serverSize);
        Delay(m_limits.pollMs);
        if (m_endRequested)
            return Outcome::InProgress;
        if (size >= upgradeState().serverSize)
            return Outcome::Complete;
        const quint32 elapsed = GetTick() - t0;
        if (elapsed > m_limits.firstBytesMs && size < 10)
            return Outcome::FallBack;
        if (elapsed > m_limits.wholeFileMs)
            return Outcome::GiveUp;
    }
}

void PatchDownload::waitForDownloaderExit()
{
    // A short wait in which nothing else runs: wget only has to close its file.
    const quint32 t0 = GetTick();
    while (platform::runState(m_downloader) == platform::RunState::Running &&
           GetTick() - t0 <= m_limits.wgetExitMs)
        QThread::msleep(20);
    // One still running after that (an oversized answer keeps coming) is ended.
    endDownloader();
}

void PatchDownload::reportPercent(int percent)
{
    m_view.setDetail(QString::number(percent) + u"% ... XmlHttp 다운로드"_s);
    m_view.setProgress(percent, 100);
    QCoreApplication::processEvents();
}

bool PatchDownload::fetchBuiltIn(const QString &localFile, Outcome *outcome)
{
    endDownloader();
    m_mode = u"X"_s;
    m_view.setTitle(u"패치 파일 다운로드 중 (XmlHttp) ..."_s);

    platform::HttpFileFetch fetch;
    QString error;
    // Never more than one byte past the announced size: enough to fail the size test.
    if (!fetch.start(u"http://"_s + upgradeState().patchServer.downloadAddress + u"/cc/"_s +
                         upgradeState().patchFile,
                     localFile, qint64(upgradeState().serverSize) + 1, &error)) {
        reportUnexpected(10, error);
        return false;
    }
    reportPercent(10);
    const quint32 t0 = GetTick();
    while (!fetch.isFinished()) {
        if (GetTick() - t0 > m_limits.httpAnswerMs) {
            fetch.abort();
            *outcome = Outcome::GiveUp;
            return true;
        }
        Delay(m_limits.httpPollMs);
        if (m_endRequested) {
            fetch.abort();
            *outcome = Outcome::InProgress;
            return true;
        }
    }
    reportPercent(50);
    if (!fetch.finish(&error)) {
        reportUnexpected(10, error);
        return false;
    }
    reportPercent(65);
    reportPercent(100);
    *outcome = Outcome::Complete;
    return true;
}

PatchDownload::Result PatchDownload::TNV_program_patch()
{
    WriteLog(u"  ["_s + UpgradeWindowName + LogArrow + u"TNV_program_patch] Enter"_s);
    endDownloader();

    const QString localFile = appFilePath(upgradeState().patchFile);
    if (FileExists(localFile) && !QFile::remove(localFile)) {
        reportUnexpected(3, QFile(localFile).errorString() + u" ("_s + localFile + u")"_s);
        return Result::Stopped;
    }

    m_mode = u"W"_s;
    WriteLog(u"  다운로드 주소: http://"_s + upgradeState().patchServer.downloadAddress + u"/cc/"_s +
             upgradeState().patchFile);
    startDownloader(localFile);
    m_view.setTitle(u"패치 파일 다운로드 중 (WGET) ..."_s);
    m_view.setCount({});

    Outcome outcome = pollDownloader(localFile);
    if (m_endRequested)
        return Result::Ended;
    if (outcome == Outcome::Complete) {
        waitForDownloaderExit();
    } else if (outcome == Outcome::GiveUp) {
        endDownloader();
    } else if (outcome == Outcome::FallBack) {
        if (!fetchBuiltIn(localFile, &outcome))
            return Result::Stopped;
        if (m_endRequested)
            return Result::Ended;
    }

    const qint64 size = GetFileSize(localFile);
    bool ok = outcome == Outcome::Complete && size == upgradeState().serverSize;
    if (ok && !upgradeState().serverSha256.isEmpty() && sha256Of(localFile) != upgradeState().serverSha256) {
        WriteLog(u"  SHA-256이 맞지 않습니다: "_s + localFile);
        ok = false;
    }
    if (!ok)
        return fail();

    writePatchIni(upgradeState().serverVersion, u"Success"_s);
    TNV_PutPatchHistory(m_mode, u"T"_s);
    CfgWork.setFileName(appFilePath(u"ForceUpgrade.ini"_s));
    CfgWork.writeValue(u"Upgrade"_s, u"ForceUpgrade"_s, true);
    WriteLog(QDir::toNativeSeparators(localFile) + u" 실행 !!!"_s);
    QString error;
    if (!startPatchedProgram(localFile, &error)) {
        // This copy goes on; the next start retries once, then gives the hand-over up.
        WriteLog(QDir::toNativeSeparators(localFile) + u" 실행 실패: "_s + error);
        return Result::HandOverFailed;
    }
    endUpgradeProcess(0);
    return Result::HandedOver;
}

PatchDownload::Result PatchDownload::fail()
{
    writePatchIni(upgradeState().serverVersion, u"Failure"_s);
    TNV_PutPatchHistory(m_mode, u"F"_s);
    platform::showErrorTitled(u"프로그램 다운로드에 실패했습니다!"_s, u"프로그램 패치"_s);
    QCoreApplication::processEvents();
    return Result::Failed;
}

} // namespace kavri
