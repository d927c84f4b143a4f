#include "services/ColumnWidth.h"

namespace kavri {

int TextWidth(const QString &text)
{
    int w = 0;
    for (QChar c : text)
        w += columnsOf(c);
    return w;
}

QString LeftByWidth(const QString &text, int n)
{
    int w = 0;
    qsizetype count = 0;
    for (; count < text.size() && w < n; ++count) {
        const int cw = columnsOf(text.at(count));
        if (w + cw > n)
            break;
        w += cw;
    }
    // Half of a surrogate pair is no character: leave it to the next line.
    if (count > 0 && text.at(count - 1).isHighSurrogate())
        --count;
    return text.left(count);
}

} // namespace kavri
