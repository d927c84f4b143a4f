#pragma once

namespace kavri {

namespace platform {
class RaiseListener;
}

/// Listens for a second start of the program in the same application folder
/// (after the instance lock is held); a failure is logged and the board runs on.
void listenForSecondStart(platform::RaiseListener &listener);

/// Asks the copy that runs in this application folder to bring its board to the
/// front; false when none took the request.
bool askRunningCopyToRaise();

/// What a second start asks of the running copy: the window it shows now comes to
/// the front (the board leaves icon mode), above it any box that waits for an answer.
void bringToFront();

} // namespace kavri
