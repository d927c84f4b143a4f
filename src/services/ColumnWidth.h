#pragma once

#include <QString>

namespace kavri {

/// Columns a character takes on the printer and the board: 1 below U+0100, 2 otherwise.
inline int columnsOf(QChar c)
{
    return c.unicode() < 0x100 ? 1 : 2;
}

/// Width of a text in columns.
int TextWidth(const QString &text);

/// The longest prefix of `text` that is at most `n` columns wide, never
/// splitting a two-column character.
QString LeftByWidth(const QString &text, int n);

} // namespace kavri
