#include "startup/StartUp.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/DisplayPlatform.h"
#include "platform/InstanceLock.h"
#include "platform/Processes.h"
#include "platform/SystemInfo.h"
#include "services/AppFolder.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "startup/CommandLine.h"
#include "startup/OsName.h"
#include "startup/SecondStart.h"
#include "upgrade/MacAddress.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

QString folderReason(const AppFolderChoice &choice)
{
    switch (choice.source) {
    case AppFolderSource::Environment:
        return u"KAVRI_APP_DIR"_s;
    case AppFolderSource::PerUser:
        return u"설치된 프로그램, 사용자별 폴더"_s;
    case AppFolderSource::Program:
        return u"실행 파일 폴더"_s;
    case AppFolderSource::Fixed:
        break;
    }
    return u"지정된 폴더"_s;
}

/// An installed copy's folder is made, and given the installed pictures and
/// chime, before anything is written into it.
void prepareInstalledCopyFolder(const AppFolderChoice &choice)
{
    if (!choice.installed || choice.source == AppFolderSource::Fixed)
        return;
    QString error;
    if (!prepareAppFolder(choice.folder, programFolder(), &error))
        std::fprintf(stderr, "kavri-display: %s\n", error.toUtf8().constData());
}

/// "화면 방식: xcb (…)": the window system Qt runs on, and why it is that one.
QString displayPlatformLine()
{
    const QString reason = platform::displayPlatformChoice().reason;
    const QString name = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                             ? QGuiApplication::platformName()
                             : u"-"_s;
    return u"화면 방식: "_s + name + (reason.isEmpty() ? QString() : u" ("_s + reason + u')');
}

} // namespace

QString instanceLockPath()
{
    return appFilePath(u".kavri-display.lock"_s);
}

QStringList startupLogPatterns()
{
    return {u"??????.log"_s,           u"??????_XmlHttp.log"_s,     u"??????_WinHttp.log"_s,
            u"??????_WinHttp_1.log"_s, u"??????_WinHttp_2.log"_s,   u"??????_WinHttp_3.log"_s,
            u"??????_WinHttp_4.log"_s, u"??????_WinHttp_Req.log"_s, u"??????_WinHttp_Req_??.log"_s};
}

StartOutcome Main(const QStringList &arguments, platform::InstanceLock &lock)
{
    // A log that reaches the file-size limit loses lines; it never ends the program.
    platform::ignoreFileSizeLimitSignal();
    const AppFolderChoice folder = appFolderChoice();
    prepareInstalledCopyFolder(folder);
    Main_Command_Argument_취득(arguments);

    gMacAddress = GetMACAddress();

    gOSName = GetOSName() + bitnessSuffix(platform::isOs64Bit());

    const auto locked = lock.acquire(instanceLockPath());
    if (locked == platform::InstanceLock::Result::HeldByAnother) {
        // The running copy's board comes to the front before this copy's box.
        askRunningCopyToRaise();
        const QString text = u"이미 실행중이어서 종료합니다!"_s;
        platform::showError(text);
        WriteLog(text);
        return StartOutcome::AlreadyRunning;
    }
    if (locked == platform::InstanceLock::Result::Failed) {
        // A folder we cannot lock in is a folder we cannot log in either; run all the same.
        reportError(u"StartUp"_s, u"Main"_s, {4, 13, lock.errorText()});
    }

    CfgMain.setFileName(appFilePath(u"Zarazo.cfg"_s));
    gSkinPath = appFilePath(u"skin"_s);
    gSoundPath = appFilePath(u"sound"_s);
    gVersion = buildVersionText(KAVRI_VERSION_MAJOR, KAVRI_VERSION_MINOR, KAVRI_VERSION_PATCH);

    WriteLog(QString(40, u'='));
    WriteLog(u"Version: "_s + gVersion);
    WriteLog(u"프로그램 폴더: "_s + folder.folder + u" ("_s + folderReason(folder) + u')');
    WriteLog(displayPlatformLine());
    // An old shortcut's extra arguments still start the board; they are only noted.
    for (const QString &item : parseCommandLine(arguments).unknown)
        WriteLog(u"알 수 없는 옵션은 무시합니다: "_s + item.left(200));

    for (const QString &pattern : startupLogPatterns())
        로그_파일_삭제(pattern);
    removeOldStatsFiles(appFilePath(u"stats"_s), platform::clock().now().date());
    return StartOutcome::Proceed;
}

} // namespace kavri
