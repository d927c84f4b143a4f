#include "startup/LoginFollowUp.h"

#include "printing/PrinterSettings.h"

namespace kavri {

void continueAfterLogin()
{
    // Deferred: the upgrade decision comes first here, with its own issue.
    Load_프린터설정();
    Load_선택된테이블설정();
    // Deferred: the main window opens here, with its own issue.
}

} // namespace kavri
