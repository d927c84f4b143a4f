#pragma once

#include <QString>

// Receipt printer commands, one character per byte, so a ticket is one text.
namespace kavri {

inline const QString gPrnInit = QStringLiteral("\x1b\x40");
inline const QString gPrnNormal = QString::fromLatin1("\x1b\x21\x00", 3);
inline const QString gPrnDoubleHeight = QStringLiteral("\x1b\x21\x10");
inline const QString gPrnDoubleWidth = QStringLiteral("\x1b\x21\x20");
inline const QString gPrnDoubleSize = QStringLiteral("\x1b\x21\x30");
/// Partial cut, then two line breaks.
inline const QString gPrnCut = QStringLiteral("\x1b\x69\r\n\r\n");

} // namespace kavri
