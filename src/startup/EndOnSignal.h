#pragma once

namespace kavri {

/// From here on SIGTERM, SIGINT and SIGHUP end the program as 종료 does after
/// its "예": the ticket going out is finished (within a few seconds), KavriNumT
/// and the kept tickets are written, and the event loop returns 0. Before the
/// main window opens they end the event loop the same way. Each is logged.
void endOnStopSignals();

} // namespace kavri
