// kavri-play: plays one wave file (the chime) on the default audio output and exits.
//
// The program itself stays free of Qt Multimedia and the sound server's client
// libraries, which would sit in its memory all day for a chime now and then;
// and a sound server that stops answering holds this helper, not the board.
//
//   kavri-play <wave file>
// Exit codes: see ChimeExit in platform/ChimeLimits.h.

#include "platform/ChimeLimits.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

using kavri::platform::ChimeExit;

namespace {

// Destructors are skipped on purpose: closing the sound server's connection
// waits for the server, which may be the one that stopped answering.
[[noreturn]] void leave(ChimeExit code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(int(code));
}

} // namespace

int main(int argc, char *argv[])
{
    // Ends with the program that started it, even when that one is killed.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A backstop that also holds while a call never returns; the program's own limit comes first.
    ::alarm((kavri::platform::ChimeReadyLimitMs + kavri::platform::ChimePlayLimitMs) / 1000 + 2);
    QCoreApplication app(argc, argv);

    const QStringList arguments = app.arguments();
    if (arguments.size() != 2)
        leave(ChimeExit::NoFile);
    const QFileInfo info(arguments.at(1));
    if (!info.isFile() || info.size() > kavri::platform::ChimeMaxWaveBytes)
        leave(ChimeExit::NoFile);
    if (QMediaDevices::audioOutputs().isEmpty())
        leave(ChimeExit::NoOutput);
    // Not even a wave header: QSoundEffect would wait on it until the limit.
    if (info.size() < kavri::platform::ChimeWaveHeaderBytes)
        leave(ChimeExit::BadFile);

    QSoundEffect effect;
    bool started = false;
    // play() marks the effect playing at once; it sounds when the file is loaded too.
    const auto follow = [&] {
        if (effect.status() == QSoundEffect::Error)
            leave(ChimeExit::BadFile);
        const bool sounding = effect.isPlaying() && effect.status() == QSoundEffect::Ready;
        if (sounding && !started) {
            started = true;
            std::fputs(kavri::platform::ChimeReadyLine, stdout);
            std::fflush(stdout);
            QTimer::singleShot(kavri::platform::ChimePlayLimitMs, [] { leave(ChimeExit::TooLong); });
        } else if (started && !effect.isPlaying()) {
            leave(ChimeExit::Played);
        }
    };
    QObject::connect(&effect, &QSoundEffect::statusChanged, follow);
    QObject::connect(&effect, &QSoundEffect::playingChanged, follow);
    QTimer::singleShot(kavri::platform::ChimeReadyLimitMs, [&] {
        if (!started)
            leave(ChimeExit::TooLong);
    });
    effect.setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    effect.play(); // begins as soon as the file is loaded
    return app.exec();
}
