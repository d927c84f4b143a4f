#include "printing/ColumnLayout.h"

#include "codec/Cp949.h"

using namespace Qt::StringLiterals;

namespace kavri {

int lineColumnsFor(int sizeCode)
{
    return sizeCode == 2 ? kWideLineColumns : kLineColumns;
}

QString CenterByWidth(const QString &text, int n)
{
    const QString t = LeftByWidth(text, n);
    // The printer counts bytes of the Korean code page, so the free room is measured in them.
    const qsizetype d = qMax<qsizetype>(0, n - codec::cp949Length(t));
    qsizetype left = d / 2;
    if (d % 2 != 0 && left % 2 != 0)
        ++left;
    return QString(left, u' ') + t + QString(d - left, u' ');
}

QStringList SplitByWidth(const QString &text, int n)
{
    if (text.isEmpty() || n < 1)
        return {};
    if (text.size() <= n / 2)
        return {text};

    QStringList lines;
    QString line;
    int w = 0;
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character and never parted.
        const qsizetype step = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, step);
        const int cw = TextWidth(ch);
        if (w + cw > n && !line.isEmpty()) {
            lines.append(line);
            line.clear();
            w = 0;
            continue; // the same character opens the next line
        }
        line += ch;
        w += cw;
        i += step;
        if (w >= n) {
            lines.append(line);
            line.clear();
            w = 0;
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

QString WrapFooter(const QString &footer, int sizeCode)
{
    if (footer.isEmpty())
        return footer;
    const int limit = lineColumnsFor(sizeCode);
    QString out;
    const auto add = [&out](const QString &piece) { out = out.isEmpty() ? piece : out + u"\r\n"_s + piece; };
    for (const QString &line : footer.split(u"\r\n"_s)) {
        if (TextWidth(line) <= limit) {
            add(line);
            continue;
        }
        for (const QString &piece : SplitByWidth(line, limit))
            add(piece);
    }
    return out;
}

QString footerIndicator(const QString &text)
{
    QStringList widths;
    for (const QString &line : QString(text).replace(u"\r\n"_s, u"\n"_s).split(u'\n'))
        widths.append(QString::number(TextWidth(line)) + u"/42"_s);
    return widths.join(u'\n');
}

} // namespace kavri
