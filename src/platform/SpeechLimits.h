#pragma once

// Shared by the program and its speech helper kavri-speak, which links Qt Core
// and Qt TextToSpeech only: so everything here is inline.

#include <QString>
#include <QtGlobal>

#include <algorithm>

namespace kavri::platform {

/// The longest time for kavri-speak to start, reach the speech engine and pick a
/// Korean voice (it says "ready" on its output then). A daemon that is alive but
/// does not answer shows here.
constexpr quint32 SpeechReadyLimitMs = 5000;
/// The longest time speech may take to begin after it was asked for.
constexpr quint32 SpeechStartLimitMs = 5000;
/// The longest wait for any one text.
constexpr quint32 SpeechCapMs = 30000;
/// A generous time per character of the text.
constexpr quint32 SpeechMsPerChar = 250;
/// The longest text kavri-speak takes, in UTF-8 bytes; a request text is far shorter.
constexpr qint64 SpeechMaxTextBytes = 16 * 1024;

/// The longest wait for `text` to be spoken: a start allowance and a generous
/// time per character, capped so a stuck speech engine cannot hold the caller.
inline quint32 speechBoundMs(const QString &text)
{
    const quint64 perChar = quint64(text.size()) * SpeechMsPerChar;
    return quint32(std::min<quint64>(SpeechStartLimitMs + perChar, SpeechCapMs));
}

/// The line kavri-speak writes on its output once the engine has a Korean voice.
inline constexpr char SpeakReadyLine[] = "ready\n";

/// The exit codes of kavri-speak.
enum class SpeakExit : int {
    Spoken = 0,
    NoText = 2,        ///< empty, unreadable or overlong input
    NoEngine = 3,      ///< no speech engine, or it cannot be reached
    NoKoreanVoice = 4, ///< the engine has no Korean voice: nothing was said
    EngineError = 5,   ///< the engine reported an error on the text
    TooLong = 6,       ///< the text did not begin or end within its bound
};

} // namespace kavri::platform
