#pragma once

#include <QStringList>

namespace kavri::platform {
class InstanceLock;
}

namespace kavri {

enum class StartOutcome {
    Proceed,        ///< start-up done: open the login window
    AlreadyRunning, ///< another copy runs in this application folder; end
    Failed          ///< start-up could not finish; end
};

/// The lock file that keeps a second copy from running in the same folder.
QString instanceLockPath();

/// The log name patterns trimmed at every start, in order.
QStringList startupLogPatterns();

/// Start-up: reads the command line (`arguments` after the program name), fixes
/// the process-wide values, refuses a second copy (holding `lock` for the life
/// of the process), binds the settings file, logs the version and trims old logs.
StartOutcome Main(const QStringList &arguments, platform::InstanceLock &lock);

} // namespace kavri
