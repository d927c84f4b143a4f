#pragma once

#include <QString>

namespace kavri {

/// Turns the escape tokens the web service puts into request text back into
/// plain text. Idempotent: decoding decoded text changes nothing.
QString TnvDecodeAA(const QString &text);

} // namespace kavri
