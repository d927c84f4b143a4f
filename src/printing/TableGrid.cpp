#include "printing/TableGrid.h"

namespace kavri {

int nextPageTop(int first, int rows, int perPage)
{
    return first + perPage <= rows ? first + perPage : first;
}

int previousPageTop(int first, int perPage)
{
    return first - perPage < 1 ? 1 : first - perPage;
}

} // namespace kavri
