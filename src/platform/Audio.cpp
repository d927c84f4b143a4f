#include "platform/Audio.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QProcess>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

// Why a chime or a text stayed silent; off unless QT_LOGGING_RULES="kavri.audio.debug=true".
Q_LOGGING_CATEGORY(lcAudio, "kavri.audio", QtWarningMsg)

namespace kavri::platform {
namespace {

// A child that SIGKILL has not ended by then is in the kernel's hands; we go on.
constexpr int HelperKillWaitMs = 2000;

ChimePlayer *g_player = nullptr;
Speaker *g_speaker = nullptr;

// Until start-up installs the machine's own, a chime or a text goes nowhere:
// code run without the program (a test, a tool) never starts a helper by chance.
class SilentPlayer final : public ChimePlayer
{
public:
    void play(const QString &) override {}
};

class SilentSpeaker final : public Speaker
{
public:
    void speak(const QString &) override {}
    void stop() override {}
};

ChimePlayer &silentPlayer()
{
    static SilentPlayer player;
    return player;
}

Speaker &silentSpeaker()
{
    static SilentSpeaker speaker;
    return speaker;
}

} // namespace

// ---- the helpers ----

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
    if (!child.waitForFinished(HelperKillWaitMs))
        qCDebug(lcAudio).noquote() << QFileInfo(child.program()).fileName() << "did not end on SIGKILL";
}

/// Where the helper `name` stands: `configured`, else beside the running executable.
QString helperPath(const QString &configured, const QString &name)
{
    // The running executable's folder, not the application folder (KAVRI_APP_DIR may move that).
    if (!configured.isEmpty() || !QCoreApplication::instance())
        return configured;
    return QCoreApplication::applicationDirPath() + u'/' + name;
}

} // namespace

// ---- chime ----

ProcessChimePlayer::ProcessChimePlayer(QString helperPath) : m_helperPath(std::move(helperPath)) {}

ProcessChimePlayer::~ProcessChimePlayer()
{
    if (QProcess *child = release()) {
        endChild(*child);
        delete child;
    }
}

QString ProcessChimePlayer::defaultHelperPath()
{
    return helperPath(QString(), u"kavri-play"_s);
}

void ProcessChimePlayer::play(const QString &path)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    stop(); // a new chime ends the one still sounding: one helper at a time
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > ChimeMaxWaveBytes) {
        qCDebug(lcAudio) << "chime skipped: not a wave file of a sensible size:" << path;
        return;
    }
    const QFileInfo helper(helperPath(m_helperPath, u"kavri-play"_s));
    if (!helper.isFile() || !helper.isExecutable()) {
        qCDebug(lcAudio) << "chime skipped: no chime helper at" << helper.filePath();
        return;
    }
    auto *child = new QProcess(app);
    child->setProgram(helper.absoluteFilePath());
    child->setArguments({info.absoluteFilePath()});
    child->setStandardInputFile(QProcess::nullDevice());
    if (!lcAudio().isDebugEnabled())
        child->setStandardErrorFile(QProcess::nullDevice());
    else
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    auto *bound = new QTimer(child);
    bound->setSingleShot(true);
    m_child = child;
    m_bound = bound;
    m_output.clear();
    QObject::connect(bound, &QTimer::timeout, child, [this] {
        qCDebug(lcAudio) << (m_output.contains(ChimeReadyLine)
                                 ? "chime cut: it outlived its limit"
                                 : "chime skipped: kavri-play did not begin in time");
        stop();
    });
    QObject::connect(child, &QProcess::readyReadStandardOutput, child, [this] { onOutput(); });
    QObject::connect(child, &QProcess::finished, child, [this] { onFinished(); });
    QObject::connect(child, &QProcess::errorOccurred, child, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onFinished(); // no finished() follows
    });
    // The helper ends with the program, also when the program quits during a chime.
    QObject::connect(app, &QCoreApplication::aboutToQuit, child, [this] { stop(); });
    bound->start(int(ChimeReadyLimitMs));
    child->start(QIODevice::ReadOnly);
}

void ProcessChimePlayer::onOutput()
{
    if (!m_child)
        return;
    const bool wasReady = m_output.contains(ChimeReadyLine);
    m_output = (m_output + m_child->readAllStandardOutput()).right(64);
    if (!wasReady && m_output.contains(ChimeReadyLine) && m_bound)
        m_bound->start(int(ChimePlayLimitMs)); // it sounds: now the chime's own limit
}

namespace {

QString chimeExitReason(int code)
{
    switch (ChimeExit(code)) {
    case ChimeExit::Played:
        return QString();
    case ChimeExit::NoFile:
        return u"not a wave file of a sensible size"_s;
    case ChimeExit::NoOutput:
        return u"no audio output"_s;
    case ChimeExit::BadFile:
        return u"the file could not be played"_s;
    case ChimeExit::TooLong:
        return u"the chime did not begin or end in time"_s;
    }
    return u"kavri-play ended with code %1"_s.arg(code);
}

} // namespace

void ProcessChimePlayer::onFinished()
{
    QProcess *child = release();
    if (!child)
        return;
    if (child->error() == QProcess::FailedToStart)
        qCDebug(lcAudio) << "chime skipped: kavri-play did not start:" << child->errorString();
    else if (child->exitStatus() == QProcess::CrashExit)
        qCDebug(lcAudio) << "chime ended: kavri-play was ended by a signal";
    else if (child->exitCode() != 0)
        qCDebug(lcAudio).noquote() << "chime skipped:" << chimeExitReason(child->exitCode());
    child->deleteLater(); // inside its own signal
}

QProcess *ProcessChimePlayer::release()
{
    QProcess *child = m_child;
    m_child = nullptr;
    if (m_bound)
        m_bound->stop();
    m_bound = nullptr;
    if (child)
        QObject::disconnect(child, nullptr, nullptr, nullptr);
    return child;
}

void ProcessChimePlayer::stop()
{
    if (QProcess *child = release()) {
        endChild(*child);     // killed and reaped now
        child->deleteLater(); // stop() may run inside one of its signals
    }
}

// ---- speech ----

ProcessSpeaker::ProcessSpeaker(QString helperPath) : m_helperPath(std::move(helperPath)) {}

ProcessSpeaker::~ProcessSpeaker()
{
    stop();
}

QString ProcessSpeaker::defaultHelperPath()
{
    return helperPath(QString(), u"kavri-speak"_s);
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

bool g_speechUnavailable = false;

void noteSpeakExit(int code)
{
    switch (static_cast<SpeakExit>(code)) {
    case SpeakExit::Spoken:
        g_speechUnavailable = false;
        break;
    case SpeakExit::NoEngine:
    case SpeakExit::NoKoreanVoice:
        g_speechUnavailable = true;
        break;
    default:
        break;
    }
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
            if (!ready)
                g_speechUnavailable = true;
        }
        endChild(child);
        return;
    }
    if (child.error() == QProcess::FailedToStart)
        g_speechUnavailable = true;
    else if (child.exitStatus() == QProcess::NormalExit)
        noteSpeakExit(child.exitCode());
    if (child.error() == QProcess::FailedToStart)
        qCDebug(lcAudio) << "speech skipped: kavri-speak did not start:" << child.errorString();
    else if (child.exitStatus() == QProcess::CrashExit)
        qCDebug(lcAudio) << "speech ended: kavri-speak was ended by a signal";
    else if (child.exitCode() != 0)
        qCDebug(lcAudio).noquote() << "speech skipped:" << exitReason(child.exitCode());
}

bool speechUnavailable()
{
    return g_speechUnavailable;
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

// ---- the seams ----

ChimePlayer &chimePlayer()
{
    return g_player ? *g_player : silentPlayer();
}

Speaker &speaker()
{
    return g_speaker ? *g_speaker : silentSpeaker();
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
