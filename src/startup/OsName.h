#pragma once

#include <QString>

namespace kavri {

/// The operating system label: the distribution's name.
QString GetOSName();
/// ", 64비트" on a 64-bit operating system, ", 32비트" otherwise.
QString bitnessSuffix(bool os64Bit);

} // namespace kavri
