#pragma once

#include <QString>

namespace kavri::platform {

/// The distribution's own name for itself, e.g. "Debian GNU/Linux 12 (bookworm)".
QString osPrettyName();

/// True when the operating system (the kernel), not only this process, is 64-bit.
bool isOs64Bit();

} // namespace kavri::platform
