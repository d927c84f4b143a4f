#pragma once

#include <QString>

#include <sys/types.h>

namespace kavri::platform {

/// Makes the folder `path` and every missing folder above it. A new one gets
/// `mode`: the umask may take group and other bits away but never adds any (a
/// folder made by the usual means takes 0777 less the umask: under umask 000,
/// world-writable), and the owner always has the owner's part of `mode`.
/// Folders that exist are left as they are. True when `path` is a folder at the end.
bool makeFolders(const QString &path, mode_t mode = 0700);

} // namespace kavri::platform
