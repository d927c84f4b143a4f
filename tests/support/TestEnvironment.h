#pragma once

#include "support/ManualClock.h"
#include "support/RecordingAudio.h"
#include "support/RecordingDialogs.h"
#include "support/TempAppFolder.h"

#include <QDateTime>
#include <QString>

namespace kavri::test {

/// The process-wide state one test case runs against, made on construction and
/// put back on destruction (hold it in a std::optional that init() fills and
/// cleanup() empties, after the objects that use it are gone):
/// - a fresh application folder, its Zarazo.cfg as CfgMain (CfgWork unset),
///   gSkinPath and gSoundPath inside it;
/// - the recording message boxes, chime player and speaker, installed, and
///   the manual clock standing at `now` when one is given (else the system clock);
/// - no base address, login or store name, file printing off, default HTTP options.
/// The printer settings record lives in the printing library: PrintingTestEnvironment.
class TestEnvironment
{
public:
    TestEnvironment();
    explicit TestEnvironment(const QDateTime &now);
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment &) = delete;
    TestEnvironment &operator=(const TestEnvironment &) = delete;

    platform::ManualClock &clock() { return m_clock; }
    const platform::ManualClock &clock() const { return m_clock; }
    platform::RecordingDialogs &dialogs() { return m_dialogs; }
    platform::RecordingChimePlayer &player() { return m_player; }
    platform::RecordingSpeaker &speaker() { return m_speaker; }
    const TempAppFolder &app() const { return m_app; }
    /// The path of `name` in the application folder.
    QString filePath(const QString &name) const { return m_app.filePath(name); }
    QString cfgPath() const { return m_app.filePath(QStringLiteral("Zarazo.cfg")); }

private:
    explicit TestEnvironment(const QDateTime *now);
    static void resetGlobals();

    platform::ManualClock m_clock;
    platform::RecordingDialogs m_dialogs;
    platform::RecordingChimePlayer m_player;
    platform::RecordingSpeaker m_speaker;
    TempAppFolder m_app;
};

} // namespace kavri::test
