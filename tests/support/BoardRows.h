#pragma once

#include "monitor/RequestBoard.h"

#include <QStringList>

namespace kavri::test {

/// The tables of the board's filled rows, top to bottom.
inline QStringList rowTables(const monitor::RequestBoard &board)
{
    QStringList out;
    for (int r = 0; r < board.rowCount(); ++r) {
        if (!board.row(r).isEmpty())
            out << board.row(r).table;
    }
    return out;
}

} // namespace kavri::test
