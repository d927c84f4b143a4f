#include "startup/StartUp.h"

#include "platform/Dialogs.h"
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
#include "upgrade/MacAddress.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace kavri {

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
    int step = 1;
    try {
        Main_Command_Argument_취득(arguments);

        step = 2;
        gMacAddress = GetMACAddress();

        step = 3;
        gOSName = GetOSName() + bitnessSuffix(platform::isOs64Bit());

        step = 4;
        const auto locked = lock.acquire(instanceLockPath());
        if (locked == platform::InstanceLock::Result::HeldByAnother) {
            const QString text = u"이미 실행중이어서 종료합니다!"_s;
            platform::showError(text);
            WriteLog(text);
            return StartOutcome::AlreadyRunning;
        }
        if (locked == platform::InstanceLock::Result::Failed) {
            // A folder we cannot lock in is a folder we cannot log in either; run all the same.
            reportError(u"StartUp"_s, u"Main"_s, {4, 13, lock.errorText()});
        }

        step = 6;
        CfgMain.setFileName(appFilePath(u"Zarazo.cfg"_s));
        step = 7;
        gSkinPath = appFilePath(u"skin"_s);
        gSoundPath = appFilePath(u"sound"_s);
        step = 8;
        gVersion = buildVersionText(KAVRI_VERSION_MAJOR, KAVRI_VERSION_MINOR, KAVRI_VERSION_PATCH);

        step = 9;
        WriteLog(QString(40, u'='));
        WriteLog(u"Version: "_s + gVersion);

        step = 10;
        for (const QString &pattern : startupLogPatterns())
            로그_파일_삭제(pattern);
        return StartOutcome::Proceed;
    } catch (const std::exception &e) {
        reportError(u"StartUp"_s, u"Main"_s, {step, 5, QString::fromLocal8Bit(e.what())});
        return StartOutcome::Failed;
    }
}

} // namespace kavri
