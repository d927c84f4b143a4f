#pragma once

namespace kavri {

/// Paging through the table grid of the printer settings window: `rows` rows,
/// counted from 1, `perPage` at a time, from the first row shown `first`: the
/// top row of the next page (the same when no further page starts) and of the
/// previous one (not above row 1).
int nextPageTop(int first, int rows, int perPage);
int previousPageTop(int first, int perPage);

} // namespace kavri
