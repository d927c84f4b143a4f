#pragma once

// Shared by the program and its chime helper kavri-play, which links Qt Core
// and Qt Multimedia only: so everything here is inline.

#include <QtGlobal>

namespace kavri::platform {

/// A chime is a second or two; a file far larger is not our wave file.
constexpr qint64 ChimeMaxWaveBytes = 16 * 1024 * 1024;
/// The shortest wave file: its RIFF and format headers.
constexpr qint64 ChimeWaveHeaderBytes = 44;
/// The longest time for kavri-play to start, load the file, reach the audio
/// output and begin to play (it says "ready" on its output then). A sound
/// server that is alive but does not answer shows here.
constexpr quint32 ChimeReadyLimitMs = 5000;
/// How long a chime may sound once it has begun; a longer file is cut there.
constexpr quint32 ChimePlayLimitMs = 10000;

/// The line kavri-play writes on its output once the chime sounds.
inline constexpr char ChimeReadyLine[] = "ready\n";

/// The exit codes of kavri-play.
enum class ChimeExit : int {
    Played = 0,
    NoFile = 2,   ///< no path, or not a file of a sensible size
    NoOutput = 3, ///< no audio output on this machine
    BadFile = 4,  ///< the file could not be read as a wave file
    TooLong = 6,  ///< the chime did not begin or end in time
};

} // namespace kavri::platform
