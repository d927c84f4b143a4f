#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QtGlobal>

#include "platform/ChimeLimits.h"
#include "platform/SpeechLimits.h"

class QEventLoop;
class QProcess;
class QTimer;

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
    /// stopped, or its time bound (from speechBoundMs) has passed. Events keep
    /// being processed meanwhile.
    virtual void speak(const QString &text) = 0;
    /// Ends the wait of speak() at once (the caller's window is going away).
    /// What the engine already has may still be heard to its end.
    virtual void stop() = 0;
};

/// After the bound, how long kavri-speak or kavri-play has to end on SIGTERM before SIGKILL.
constexpr int SpeechHelperGraceMs = 200;

/// The wave player of the machine, run in the helper process kavri-play (Qt
/// Multimedia's QSoundEffect on the default audio output), so that the program
/// itself does not carry Qt Multimedia and the sound server's libraries.
///
/// play() starts the helper and returns at once; the chime sounds while the
/// caller goes on. The helper is bounded like kavri-speak: ChimeReadyLimitMs to
/// begin playing, then ChimePlayLimitMs of sound, after which it is killed and
/// reaped. There is never more than one: a new chime ends the one still
/// sounding. A missing or failing helper leaves the chime silent, nothing more;
/// kavri-play also ends when the program dies.
class ProcessChimePlayer final : public ChimePlayer
{
public:
    /// `helperPath` empty: kavri-play in the folder of the running executable.
    explicit ProcessChimePlayer(QString helperPath = QString());
    ~ProcessChimePlayer() override;
    ProcessChimePlayer(const ProcessChimePlayer &) = delete;
    ProcessChimePlayer &operator=(const ProcessChimePlayer &) = delete;
    void play(const QString &path) override;
    /// Ends the chime still sounding, if any, and reaps its helper.
    void stop();

    /// kavri-play beside the running executable.
    static QString defaultHelperPath();

private:
    void onOutput();
    void onFinished();
    QProcess *release();

    QString m_helperPath;
    QPointer<QProcess> m_child; // owned by the application object
    QPointer<QTimer> m_bound;   // the child's, ends it at its limit
    QByteArray m_output;        // the tail of its output
};

/// The speech engine of the machine, run in the helper process kavri-speak
/// (Qt TextToSpeech, speech-dispatcher on Linux, a Korean voice or nothing).
///
/// The engine's client library waits for the daemon without a time limit and
/// Qt offers no way to bound that on our one thread, so each text is spoken by
/// a child process that is abandoned and killed when it outlives its bound
/// (SpeechReadyLimitMs to reach the engine, then speechBoundMs for the text):
/// the caller always gets control back. Every text tries the engine afresh.
/// A text asked for while another is being spoken follows it (only the newest
/// such text is kept). No child outlives speak(): it is killed and waited for
/// on every way out, and kavri-speak also ends when the program dies.
class ProcessSpeaker final : public Speaker
{
public:
    /// `helperPath` empty: kavri-speak in the folder of the running executable.
    explicit ProcessSpeaker(QString helperPath = QString());
    ~ProcessSpeaker() override;
    ProcessSpeaker(const ProcessSpeaker &) = delete;
    ProcessSpeaker &operator=(const ProcessSpeaker &) = delete;
    void speak(const QString &text) override;
    void stop() override;

    /// kavri-speak beside the running executable.
    static QString defaultHelperPath();

private:
    void speakOne(const QString &text);

    QString m_helperPath;
    bool m_speaking = false;
    QString m_next;
    quint64 m_generation = 0;
    QPointer<QProcess> m_child;  // the child being waited for
    QPointer<QEventLoop> m_wait; // its wait, ended by stop()
};

/// True after kavri-speak last found no speech engine or Korean voice, or did not
/// start or answer at all; false again once it speaks. Other outcomes (an empty
/// text, a stop) change nothing.
bool speechUnavailable();

/// The player and speaker in use: silent ones until start-up (or a test) installs others.
ChimePlayer &chimePlayer();
Speaker &speaker();
/// Install `player` or `speaker` (not owned); nullptr goes back to the silent ones.
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
