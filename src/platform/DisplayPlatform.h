#pragma once

#include <QString>

namespace kavri::platform {

/// How the window system was chosen at start.
struct DisplayPlatformChoice
{
    /// What QT_QPA_PLATFORM was set to; empty when the environment was left as it was.
    QString setTo;
    /// Why, for the start-up log.
    QString reason;
};

/// The decision from the environment: X11 ("xcb") when nothing asks for a window system
/// (`qpaPlatform`, QT_QPA_PLATFORM, unset or empty, no "-platform" among the arguments)
/// and an X display is there (`display`, DISPLAY). A Wayland session then runs the board
/// under XWayland, where it places its own windows; native Wayland only when asked for.
DisplayPlatformChoice chooseDisplayPlatform(const QString &qpaPlatform, const QString &display,
                                            bool platformArgument);

/// Reads this process's environment and arguments, sets QT_QPA_PLATFORM as decided and
/// remembers the choice. Must run before the QGuiApplication is made.
DisplayPlatformChoice selectDisplayPlatform(int argc, const char *const *argv);

/// The choice selectDisplayPlatform made; empty when it did not run (tests, tools).
DisplayPlatformChoice displayPlatformChoice();

} // namespace kavri::platform
