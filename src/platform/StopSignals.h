#pragma once

#include <QString>

#include <functional>

namespace kavri::platform {

/// Turns SIGTERM, SIGINT and SIGHUP (a shutdown, Ctrl+C, the end of a desktop
/// session) into a call of `onSignal` with the signal's number from the event
/// loop, once per signal: the handler itself only writes a byte to a pipe the
/// loop watches. Call it once, with a QCoreApplication alive; false (with
/// `error` set) when the pipe or a handler could not be set up, and the
/// signals then end the process as before.
bool watchStopSignals(std::function<void(int signalNumber)> onSignal, QString *error = nullptr);

/// "SIGTERM", "SIGINT", "SIGHUP", or "signal N".
QString signalName(int signalNumber);

} // namespace kavri::platform
