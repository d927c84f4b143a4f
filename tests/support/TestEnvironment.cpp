#include "support/TestEnvironment.h"

#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"

namespace kavri::test {

TestEnvironment::TestEnvironment() : TestEnvironment(nullptr) {}

TestEnvironment::TestEnvironment(const QDateTime &now) : TestEnvironment(&now) {}

TestEnvironment::TestEnvironment(const QDateTime *now)
{
    resetGlobals();
    if (now) {
        m_clock.setNow(*now);
        platform::setClock(&m_clock);
    }
    platform::setDialogs(&m_dialogs);
    platform::setChimePlayer(&m_player);
    platform::setSpeaker(&m_speaker);
    CfgMain.setFileName(cfgPath());
    gSkinPath = m_app.filePath(QStringLiteral("skin"));
    gSoundPath = m_app.filePath(QStringLiteral("sound"));
}

TestEnvironment::~TestEnvironment()
{
    platform::setSpeaker(nullptr);
    platform::setChimePlayer(nullptr);
    platform::setDialogs(nullptr);
    platform::setClock(nullptr);
    resetGlobals();
}

void TestEnvironment::resetGlobals()
{
    CfgMain.setFileName({});
    CfgWork.setFileName({});
    gSkinPath.clear();
    gSoundPath.clear();
    gBaseURL.clear();
    gLoginID.clear();
    gLoginPW.clear();
    gStoreName.clear();
    gFilePrint = false;
    gDevMode = false;
    winHttpOptions() = platform::HttpOptions{};
}

} // namespace kavri::test
