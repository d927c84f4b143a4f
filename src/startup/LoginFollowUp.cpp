#include "startup/LoginFollowUp.h"

namespace kavri {

void continueAfterLogin()
{
    // Deferred: the upgrade decision, the printer settings load and the main
    // window come with their own issues and are called from here.
}

} // namespace kavri
