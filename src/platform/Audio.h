#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QtGlobal>

#include <functional>

class QSoundEffect;
class QTextToSpeech;

namespace kavri::platform {

/// Plays a wave file. Every failure (no sound device, a missing or unreadable
/// file) skips the chime silently.
class ChimePlayer
{
public:
    virtual ~ChimePlayer() = default;
    /// Starts playing the wave file at `path` and returns at once.
    virtual void play(const QString &path) = 0;
};

/// Reads a Korean text aloud. Without a speech engine or a Korean voice nothing
/// is said: a Korean text is never read by a voice of another language.
class Speaker
{
public:
    virtual ~Speaker() = default;
    /// Speaks `text` and returns when it has been spoken, was skipped, was
    /// stopped, or its time bound (speechBoundMs) has passed. Events keep
    /// being processed meanwhile.
    virtual void speak(const QString &text) = 0;
    /// Ends the wait of speak() at once (the caller's window is going away).
    /// What the engine already has may still be heard to its end.
    virtual void stop() = 0;
};

/// The longest time speech may take to begin after it was asked for.
constexpr quint32 SpeechStartLimitMs = 5000;
/// The longest wait for any one text.
constexpr quint32 SpeechCapMs = 30000;
/// The longest wait for `text` to be spoken: a start allowance and a generous
/// time per character, capped so a stuck speech engine cannot hold the caller.
quint32 speechBoundMs(const QString &text);

/// The wave player of the machine: Qt Multimedia's QSoundEffect on the default
/// audio output.
class QtChimePlayer final : public ChimePlayer
{
public:
    QtChimePlayer() = default;
    ~QtChimePlayer() override;
    QtChimePlayer(const QtChimePlayer &) = delete;
    QtChimePlayer &operator=(const QtChimePlayer &) = delete;
    void play(const QString &path) override;

private:
    QPointer<QSoundEffect> m_effect; // owned by the application object
};

/// The speech engine of the machine: Qt TextToSpeech (speech-dispatcher on
/// Linux) with a Korean voice. The engine connection is made at the first
/// speak() and kept.
///
/// The engine's calls are synchronous and have no time limit of their own, and
/// stopping a stuck engine blocks for good; so nothing is ever stopped. A text
/// that outlives its bound is left to run out while the caller goes on, and a
/// text asked for meanwhile is skipped. An engine that does not begin a text
/// within SpeechStartLimitMs, or is still on one SpeechCapMs after its bound,
/// is stuck: it is left alone (not stopped, not closed) and speech stays off
/// until the program starts again. A text asked for while another is being
/// spoken follows it (only the newest such text is kept). The connection is
/// closed by the end of the process, never before.
class QtSpeaker final : public Speaker
{
public:
    QtSpeaker() = default;
    ~QtSpeaker() override;
    QtSpeaker(const QtSpeaker &) = delete;
    QtSpeaker &operator=(const QtSpeaker &) = delete;
    void speak(const QString &text) override;
    void stop() override;

private:
    QTextToSpeech *engine();
    /// Speaks one text on `tts`; false when the engine proved stuck.
    bool speakOne(QTextToSpeech *tts, const QString &text);
    void abandonEngine();

    QPointer<QTextToSpeech> m_engine; // never deleted once it has spoken (see above)
    bool m_korean = false;
    bool m_stuck = false;
    bool m_speaking = false;
    quint32 m_overrunSince = 0;
    QString m_next;
    quint64 m_generation = 0;
};

/// A chime player for tests: records every path it was asked to play.
class RecordingChimePlayer final : public ChimePlayer
{
public:
    void play(const QString &path) override { m_played.append(path); }
    const QStringList &played() const { return m_played; }
    void clear() { m_played.clear(); }

private:
    QStringList m_played;
};

/// A speaker for tests: records what it said. Without a Korean voice it says
/// nothing. `whileSpeaking` runs in the middle of speak(), standing for the
/// events that run while a real engine speaks.
class RecordingSpeaker final : public Speaker
{
public:
    void speak(const QString &text) override;
    void stop() override { ++m_stops; }

    void setKoreanVoice(bool available) { m_koreanVoice = available; }
    void setWhileSpeaking(std::function<void()> action) { m_whileSpeaking = std::move(action); }
    const QStringList &spoken() const { return m_spoken; }
    int stops() const { return m_stops; }
    void clear()
    {
        m_spoken.clear();
        m_stops = 0;
    }

private:
    QStringList m_spoken;
    bool m_koreanVoice = true;
    int m_stops = 0;
    std::function<void()> m_whileSpeaking;
};

/// The player and speaker in use: the machine's own unless a test installed others.
ChimePlayer &chimePlayer();
Speaker &speaker();
/// Install `player` or `speaker` (not owned); nullptr goes back to the machine's own.
void setChimePlayer(ChimePlayer *player);
void setSpeaker(Speaker *speaker);

/// Starts the chime at `path`: the trace line "play <path>", then the player.
void playChime(const QString &path);
/// Speaks `text`: the trace line "speak <text>", then the speaker (see Speaker::speak).
void speakText(const QString &text);

/// Appends `line` and a line feed, UTF-8, to the file named by the environment
/// variable KAVRI_AUDIO_TRACE when it is set; line breaks inside `line` become
/// spaces so one event stays one line. Failures are ignored.
void appendAudioTrace(const QString &line);

} // namespace kavri::platform
