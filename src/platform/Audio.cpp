#include "platform/Audio.h"

#include "platform/Clock.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QProcess>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

// Why a chime or a text stayed silent; off unless QT_LOGGING_RULES="kavri.audio.debug=true".
Q_LOGGING_CATEGORY(lcAudio, "kavri.audio", QtWarningMsg)

namespace kavri::platform {
namespace {

// A chime is a second or two; anything far larger is not our wave file.
constexpr qint64 MaxWaveBytes = 16 * 1024 * 1024;
// A child that SIGKILL has not ended by then is in the kernel's hands; we go on.
constexpr int SpeechHelperKillWaitMs = 2000;

ChimePlayer *g_player = nullptr;
Speaker *g_speaker = nullptr;

// The machine's own, made on first use (they need the application object).
ChimePlayer &machinePlayer()
{
    static QtChimePlayer player;
    return player;
}

Speaker &machineSpeaker()
{
    static ProcessSpeaker speaker;
    return speaker;
}

} // namespace

// ---- chime ----

QtChimePlayer::~QtChimePlayer()
{
    delete m_effect; // nothing when the application object has already taken it
}

void QtChimePlayer::play(const QString &path)
{
    if (!QCoreApplication::instance())
        return;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxWaveBytes) {
        qCDebug(lcAudio) << "chime skipped: not a wave file of a sensible size:" << path;
        return;
    }
    if (QMediaDevices::audioOutputs().isEmpty()) {
        qCDebug(lcAudio) << "chime skipped: no audio output";
        return;
    }
    // A new effect per chime: a chime still sounding stops, and a replaced file is read afresh.
    delete m_effect;
    auto *effect = new QSoundEffect(QCoreApplication::instance());
    m_effect = effect;
    effect->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    effect->play(); // plays as soon as the file is loaded; a bad file leaves it silent
}

// ---- speech ----

ProcessSpeaker::ProcessSpeaker(QString helperPath) : m_helperPath(std::move(helperPath)) {}

ProcessSpeaker::~ProcessSpeaker()
{
    stop();
}

QString ProcessSpeaker::defaultHelperPath()
{
    // The running executable's folder, not the application folder (KAVRI_APP_DIR may move that).
    if (!QCoreApplication::instance())
        return QString();
    return QCoreApplication::applicationDirPath() + u"/kavri-speak"_s;
}

void ProcessSpeaker::speak(const QString &text)
{
    if (!QCoreApplication::instance() || text.trimmed().isEmpty())
        return;
    if (m_speaking) {
        m_next = text; // follows the text being spoken
        return;
    }
    m_speaking = true;
    const quint64 generation = m_generation;
    QString current = text;
    for (;;) {
        speakOne(current);
        if (generation != m_generation || m_next.isEmpty())
            break;
        current = std::exchange(m_next, QString());
    }
    m_next.clear();
    m_speaking = false;
}

namespace {

/// Ends `child` and waits for it, so no zombie is left: SIGTERM, then SIGKILL
/// after a short grace (a stopped or signal-ignoring child ends on that one).
void endChild(QProcess &child)
{
    if (child.state() == QProcess::NotRunning)
        return;
    child.terminate();
    if (child.waitForFinished(SpeechHelperGraceMs))
        return;
    child.kill();
    if (!child.waitForFinished(SpeechHelperKillWaitMs))
        qCDebug(lcAudio) << "kavri-speak did not end on SIGKILL";
}

QString exitReason(int code)
{
    switch (SpeakExit(code)) {
    case SpeakExit::Spoken:
        return QString();
    case SpeakExit::NoText:
        return u"the text was refused"_s;
    case SpeakExit::NoEngine:
        return u"no speech engine"_s;
    case SpeakExit::NoKoreanVoice:
        return u"no Korean voice"_s;
    case SpeakExit::EngineError:
        return u"the speech engine reported an error"_s;
    case SpeakExit::TooLong:
        return u"the text did not begin or end in time"_s;
    }
    return u"kavri-speak ended with code %1"_s.arg(code);
}

} // namespace

void ProcessSpeaker::speakOne(const QString &text)
{
    const QString helper = m_helperPath.isEmpty() ? defaultHelperPath() : m_helperPath;
    const QFileInfo info(helper);
    if (!info.isFile() || !info.isExecutable()) {
        qCDebug(lcAudio) << "speech skipped: no speech helper at" << helper;
        return;
    }
    QProcess child;
    child.setProgram(info.absoluteFilePath());
    if (!lcAudio().isDebugEnabled())
        child.setStandardErrorFile(QProcess::nullDevice());
    else
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);

    QEventLoop wait;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &wait, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &wait, [&wait](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            wait.quit(); // other errors (a closed input) leave the child running: finished() follows
    });
    // First the engine must be reached, then the text gets its own bound.
    const quint32 begin = clock().tick();
    bool ready = false;
    QByteArray output; // only its tail is kept
    QObject::connect(&child, &QProcess::readyReadStandardOutput, &bound, [&] {
        output = (output + child.readAllStandardOutput()).right(64);
        if (ready || !output.contains(SpeakReadyLine))
            return;
        ready = true;
        qCDebug(lcAudio) << "speech engine ready after" << clock().tick() - begin << "ms";
        bound.start(int(speechBoundMs(text)));
    });
    const quint64 generation = m_generation;
    m_child = &child;
    m_wait = &wait;

    child.start(QIODevice::ReadWrite);
    if (child.state() != QProcess::NotRunning) {
        child.write(text.toUtf8());
        child.closeWriteChannel();
        bound.start(int(SpeechReadyLimitMs));
        // Returns on the child's end, the bound, stop(), or the application quitting.
        wait.exec();
    }
    m_child = nullptr;
    m_wait = nullptr;

    if (generation != m_generation) {
        qCDebug(lcAudio) << "speech stopped";
        endChild(child); // stop() has ended it already
        return;
    }
    if (child.state() != QProcess::NotRunning) {
        if (bound.isActive()) {
            qCDebug(lcAudio) << "speech stopped: the application is quitting";
            m_next.clear();
        } else {
            qCDebug(lcAudio) << (ready ? "speech wait ended: the text outlived its bound"
                                       : "speech skipped: the speech engine did not answer in time");
        }
        endChild(child);
        return;
    }
    if (child.error() == QProcess::FailedToStart)
        qCDebug(lcAudio) << "speech skipped: kavri-speak did not start:" << child.errorString();
    else if (child.exitStatus() == QProcess::CrashExit)
        qCDebug(lcAudio) << "speech ended: kavri-speak was ended by a signal";
    else if (child.exitCode() != 0)
        qCDebug(lcAudio).noquote() << "speech skipped:" << exitReason(child.exitCode());
}

void ProcessSpeaker::stop()
{
    ++m_generation;
    m_next.clear();
    if (m_child)
        endChild(*m_child);
    if (m_wait)
        m_wait->quit();
}

// ---- test doubles ----

void RecordingSpeaker::speak(const QString &text)
{
    if (!m_koreanVoice)
        return;
    m_spoken.append(text);
    if (m_whileSpeaking)
        m_whileSpeaking();
}

// ---- the seams ----

ChimePlayer &chimePlayer()
{
    return g_player ? *g_player : machinePlayer();
}

Speaker &speaker()
{
    return g_speaker ? *g_speaker : machineSpeaker();
}

void setChimePlayer(ChimePlayer *player)
{
    g_player = player;
}

void setSpeaker(Speaker *speaker)
{
    g_speaker = speaker;
}

void appendAudioTrace(const QString &line)
{
    const QString path = qEnvironmentVariable("KAVRI_AUDIO_TRACE");
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return; // never a device, a pipe or a folder
    QString one = line;
    one.replace(u"\r\n"_s, u" "_s);
    one.replace(u'\r', u' ');
    one.replace(u'\n', u' ');
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(one.toUtf8() + '\n');
}

void playChime(const QString &path)
{
    appendAudioTrace(u"play "_s + path);
    chimePlayer().play(path);
}

void speakText(const QString &text)
{
    appendAudioTrace(u"speak "_s + text);
    speaker().speak(text);
}

} // namespace kavri::platform
