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
#include <QSoundEffect>
#include <QTextToSpeech>
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
constexpr quint32 SpeechMsPerChar = 250;

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
    static QtSpeaker speaker;
    return speaker;
}

} // namespace

quint32 speechBoundMs(const QString &text)
{
    const quint64 perChar = quint64(text.size()) * SpeechMsPerChar;
    return quint32(std::min<quint64>(SpeechStartLimitMs + perChar, SpeechCapMs));
}

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

QtSpeaker::~QtSpeaker()
{
    // The engine is left for the end of the process to close: closing it here
    // blocks when it is stuck on a text.
}

void QtSpeaker::abandonEngine()
{
    // Stopping or deleting a stuck engine blocks for good, so it is let go of untouched.
    if (m_engine)
        QObject::disconnect(m_engine, nullptr, nullptr, nullptr);
    m_engine = nullptr;
    m_stuck = true;
}

QTextToSpeech *QtSpeaker::engine()
{
    if (m_stuck)
        return nullptr;
    if (m_engine && m_engine->state() != QTextToSpeech::Error)
        return m_engine;
    delete m_engine; // it answered with an error, so it answers
    m_engine = nullptr;
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty()) {
        qCDebug(lcAudio) << "speech skipped: no speech engine";
        return nullptr;
    }
    const QString name = engines.contains(u"speechd"_s) ? u"speechd"_s : QString();
    // No parent: the application object would delete it at exit, which blocks
    // on an engine stuck on a text.
    auto *tts = new QTextToSpeech(name);
    m_engine = tts;
    if (tts->state() == QTextToSpeech::Error) {
        qCDebug(lcAudio) << "speech skipped: the speech engine cannot be reached";
        return nullptr;
    }
    // Korean or nothing: the engine keeps the Korean voice for every later text.
    m_korean = false;
    const QList<QLocale> locales = tts->availableLocales();
    const auto found = std::find_if(locales.begin(), locales.end(),
                                    [](const QLocale &l) { return l.language() == QLocale::Korean; });
    if (found != locales.end()) {
        tts->setLocale(*found);
        const QList<QVoice> voices = tts->availableVoices();
        if (tts->locale().language() == QLocale::Korean && !voices.isEmpty()) {
            tts->setVoice(voices.constFirst());
            m_korean = true;
        }
    }
    return tts;
}

void QtSpeaker::speak(const QString &text)
{
    if (!QCoreApplication::instance() || text.trimmed().isEmpty())
        return;
    if (m_speaking) {
        m_next = text; // follows the text being spoken
        return;
    }
    QTextToSpeech *tts = engine();
    if (!tts || tts->state() == QTextToSpeech::Error)
        return;
    if (!m_korean) {
        qCDebug(lcAudio) << "speech skipped: no Korean voice";
        return;
    }
    if (tts->state() != QTextToSpeech::Ready) {
        // Still reading a text that outlived its bound: forcing a new one in
        // would mean stopping it, which blocks on a stuck engine.
        if (clock().tick() - m_overrunSince > SpeechCapMs) {
            qCDebug(lcAudio) << "speech engine stuck: a text never ended";
            abandonEngine();
        } else {
            qCDebug(lcAudio) << "speech skipped: the engine is still reading an earlier text";
        }
        return;
    }
    m_speaking = true;
    QString current = text;
    while (speakOne(tts, current) && !m_next.isEmpty() && m_engine.data() == tts) {
        current = m_next;
        m_next.clear();
    }
    m_next.clear();
    m_speaking = false;
}

bool QtSpeaker::speakOne(QTextToSpeech *tts, const QString &text)
{
    const quint64 generation = m_generation;
    bool started = false;
    bool finished = false;
    const QMetaObject::Connection watch =
        QObject::connect(tts, &QTextToSpeech::stateChanged, [&](QTextToSpeech::State state) {
            if (state == QTextToSpeech::Speaking)
                started = true;
            else if (state == QTextToSpeech::Error || started)
                finished = true;
        });
    tts->say(text);

    const quint32 begin = clock().tick();
    const quint32 bound = speechBoundMs(text);
    bool late = false;
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!finished && generation == m_generation && m_engine.data() == tts) {
        const quint32 elapsed = clock().tick() - begin;
        if (elapsed > bound || (!started && elapsed > SpeechStartLimitMs)) {
            late = true;
            break;
        }
        wake.start(int(std::min<quint32>(bound - elapsed + 1, 50)));
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    wake.stop();
    QObject::disconnect(watch);
    if (!late || m_engine.data() != tts)
        return !late && generation == m_generation;
    if (!started) {
        qCDebug(lcAudio) << "speech engine stuck: the text did not begin";
        abandonEngine();
    } else {
        // Left to run out on its own; the caller goes on.
        qCDebug(lcAudio) << "speech wait ended: the text outlived its bound";
        m_overrunSince = begin;
    }
    return false;
}

void QtSpeaker::stop()
{
    ++m_generation;
    m_next.clear();
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
