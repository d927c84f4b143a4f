#pragma once

#include "services/ColumnWidth.h"

#include <QString>
#include <QStringList>

// Column arithmetic of the ticket: a printed line holds 42 columns, or 21 in
// double-width characters; a character below U+0100 takes one column, any
// other two.
namespace kavri {

inline constexpr int kLineColumns = 42;
inline constexpr int kWideLineColumns = 21;

/// The line width for a character size code: 21 for double width, else 42.
int lineColumnsFor(int sizeCode);

/// The text cut to `n` columns and padded with spaces on both sides to `n`
/// columns on the printer; an odd number of free columns puts the rounded-to-even
/// half on the left.
QString CenterByWidth(const QString &text, int n);

/// The text cut into consecutive lines of at most `n` columns; a character that
/// would cross the limit starts the next line. CR and LF are ordinary
/// characters. Empty for an empty text or `n` below 1; a character wider than
/// `n` stands on a line of its own.
QStringList SplitByWidth(const QString &text, int n);

/// The footer re-wrapped to the printable width of `sizeCode`: every line wider
/// than the width is split; empty lines before the first kept line disappear.
/// An empty text stays empty.
QString WrapFooter(const QString &footer, int sizeCode);

/// The footer length indicator: for every line of `text` (CR LF or LF) its
/// width in printer columns and "/42", one per line joined by LF.
QString footerIndicator(const QString &text);

} // namespace kavri
