#include "board/CaptionLayout.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

constexpr QChar kEllipsis(0x2026);

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case 0x000B:
    case 0x000C:
    case 0x0085:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0x3000);
}

bool inPoints(const QFont &font)
{
    return font.pointSizeF() > 0;
}

qreal sizeOf(const QFont &font)
{
    return inPoints(font) ? font.pointSizeF() : qreal(font.pixelSize());
}

QFont withSize(QFont font, qreal size)
{
    if (inPoints(font))
        font.setPointSizeF(size);
    else
        font.setPixelSize(qMax(1, qRound(size)));
    return font;
}

int maxLinesFor(const QFontMetrics &fm, const QSize &box)
{
    return qMax(1, box.height() / qMax(1, fm.height()));
}

/// Characters one line can hold at most: no visible character is narrower
/// than 0.15 em.
qsizetype perLineBudget(const QFont &font, const QSize &box)
{
    const qreal narrowest = std::max<qreal>(1.0, 0.15 * QFontInfo(font).pixelSize());
    return qsizetype(std::ceil(qMax(1, box.width()) / narrowest)) + 1;
}

/// One try at one size.
struct Attempt
{
    QFont font;
    QStringList lines;
    int lineHeight = 0;
    bool overflow = false; ///< text left over when the box was full
    bool tooWide = false;  ///< a line that could not break was elided
    bool hadBreak = false; ///< the text has a line break within what was looked at
    qsizetype examined = 0;

    bool fits() const { return !overflow && !tooWide; }
};

/// Appends the lines of one part (no line breaks in it) broken to `width`: at
/// spaces where possible, inside a word only when the word is wider than the
/// line. Each word is measured once. Stops when `lines` holds `maxLines`;
/// returns false when the part needed more.
bool wrapPart(QStringView part, const QFont &font, const QFontMetricsF &fm, qreal width, int maxLines,
              qsizetype perLine, QStringList &lines)
{
    const qreal space = fm.horizontalAdvance(u' ');
    QString line;
    qreal lineWidth = 0;
    auto emitLine = [&](const QString &text) {
        if (lines.size() >= maxLines)
            return false;
        lines.append(text);
        return true;
    };
    qsizetype i = 0;
    const qsizetype n = part.size();
    while (i < n) {
        while (i < n && isBlank(part[i]))
            ++i;
        if (i >= n)
            break;
        qsizetype j = i;
        while (j < n && !isBlank(part[j]))
            ++j;
        // Of a long word only what the lines left can hold is measured.
        const qsizetype cap = (maxLines - lines.size() + 1) * perLine;
        const bool truncated = j - i > cap;
        const QString word = part.mid(i, std::min(j - i, cap)).toString();
        i = j;
        const qreal w = fm.horizontalAdvance(word);
        if (line.isEmpty() ? w <= width : lineWidth + space + w <= width) {
            if (!line.isEmpty()) {
                line += u' ';
                lineWidth += space;
            }
            line += word;
            lineWidth += w;
            continue;
        }
        if (!line.isEmpty()) {
            if (!emitLine(line))
                return false;
            line.clear();
            lineWidth = 0;
        }
        if (w <= width) {
            line = word;
            lineWidth = w;
            continue;
        }
        // A word wider than the line is cut where it no longer fits, between
        // whole characters (an emoji with its modifiers stays one).
        QTextLayout cut(word, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAnywhere);
        cut.setTextOption(option);
        cut.beginLayout();
        bool room = true;
        for (;;) {
            QTextLine piece = cut.createLine();
            if (!piece.isValid())
                break;
            piece.setLineWidth(width);
            const qsizetype end = piece.textStart() + piece.textLength();
            const QString text = word.mid(piece.textStart(), piece.textLength());
            if (end >= word.size()) {
                line = text;
                lineWidth = piece.naturalTextWidth();
                break;
            }
            if (!emitLine(text)) {
                room = false;
                break;
            }
        }
        cut.endLayout();
        if (!room)
            return false;
        if (truncated) {
            emitLine(line);
            return false;
        }
    }
    return line.isEmpty() || emitLine(line);
}

/// Lays the text out at one size. Parts between line breaks start new lines;
/// with `joinParts` they run on, separated by " · ", which fits more into a
/// box of few lines.
Attempt attempt(const QString &text, const QFont &font, const QSize &box, bool wordWrap, bool joinParts)
{
    Attempt a;
    a.font = font;
    const QFontMetrics fm(font);
    const QFontMetricsF fmf(font);
    a.lineHeight = qMax(1, fm.height());
    const int maxLines = maxLinesFor(fm, box);
    const qreal width = box.width();
    // Nothing beyond the budget can be shown; a longer text is elided unread.
    const qsizetype end = std::min<qsizetype>(text.size(), captionCharacterBudget(font, box));
    QString joined;
    auto place = [&](QStringView part) {
        if (wordWrap) {
            if (!wrapPart(part, font, fmf, width, maxLines, perLineBudget(font, box), a.lines))
                a.overflow = true;
            return;
        }
        if (a.lines.size() >= maxLines) {
            a.overflow = true;
            return;
        }
        const QString line = part.toString();
        if (fmf.horizontalAdvance(line) > width) {
            a.tooWide = true;
            a.lines.append(fmf.elidedText(line, Qt::ElideRight, width));
        } else {
            a.lines.append(line);
        }
    };
    qsizetype pos = 0;
    while (pos < end && !a.overflow) {
        if (isLineBreak(text[pos])) {
            a.hadBreak = true;
            ++pos;
            continue;
        }
        qsizetype stop = pos;
        while (stop < end && !isLineBreak(text[stop]))
            ++stop;
        const QStringView part = QStringView(text).mid(pos, stop - pos).trimmed();
        pos = stop;
        if (part.isEmpty())
            continue; // a blank line would only take a line the cell needs
        if (joinParts) {
            if (!joined.isEmpty())
                joined += u" \u00B7 "_s;
            joined += part;
        } else {
            place(part);
        }
    }
    if (joinParts && !joined.isEmpty())
        place(joined);
    a.examined = pos;
    if (end < text.size())
        a.overflow = true;
    return a;
}

/// The largest size from `high` down to `low`, in steps of 5 %, at which the
/// whole text fits; at `low` when none does.
Attempt largestFitting(const QString &text, const QFont &font, qreal high, qreal low, const QSize &box,
                       bool wordWrap, bool joinParts)
{
    Attempt best = attempt(text, withSize(font, high), box, wordWrap, joinParts);
    if (best.fits() || low >= high)
        return best;
    Attempt smallest = attempt(text, withSize(font, low), box, wordWrap, joinParts);
    if (!smallest.fits())
        return smallest;
    // Bisection over the steps between (a smaller size never fits worse):
    // a handful of tries whatever the text.
    std::vector<qreal> sizes;
    for (int k = 1; high * (1.0 - 0.05 * k) > low; ++k)
        sizes.push_back(high * (1.0 - 0.05 * k));
    best = std::move(smallest);
    qsizetype lo = 0;
    qsizetype hi = qsizetype(sizes.size()); // sizes[hi] stands for `low`, which fits
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        Attempt tried = attempt(text, withSize(font, sizes[mid]), box, wordWrap, joinParts);
        if (tried.fits()) {
            best = std::move(tried);
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return best;
}

/// `line` with "…" at its end, shortened as needed to stay within `width`.
QString withEllipsis(const QString &line, const QFontMetricsF &fm, qreal width)
{
    if (line.endsWith(kEllipsis))
        return line;
    const QString shortened = fm.elidedText(line, Qt::ElideRight, width - fm.horizontalAdvance(kEllipsis));
    if (shortened != line)
        return shortened; // elidedText ended it already
    return line + kEllipsis;
}

} // namespace

qsizetype captionCharacterBudget(const QFont &font, const QSize &box)
{
    const int maxLines = maxLinesFor(QFontMetrics(font), box);
    const qsizetype perLine = perLineBudget(font, box);
    // Each line may be preceded by a line break (CR LF) and a few blanks.
    return maxLines * (perLine + 4) + perLine;
}

CaptionLines layoutCaption(const QString &text, const QFont &font, const QSize &box, const CaptionFit &fit)
{
    const qreal given = sizeOf(font);
    qreal low = given * std::clamp(fit.minScale, 0.1, 1.0);
    if (inPoints(font) && fit.floorPoints > 0)
        low = std::max(low, fit.floorPoints);
    const qreal high = std::max(given, low);

    const QSize inner = box.expandedTo(QSize(1, 1));
    Attempt best = largestFitting(text, font, high, low, inner, fit.wordWrap, false);
    if (!best.fits() && best.hadBreak) {
        // Its lines do not fit one under the other even at the floor: run them
        // on, so the whole text (and its quantity) can still show.
        best = largestFitting(text, font, high, low, inner, fit.wordWrap, true);
    }

    CaptionLines out;
    out.font = best.font;
    out.lineHeight = best.lineHeight;
    out.examined = best.examined;
    out.elided = !best.fits();
    out.lines = std::move(best.lines);
    if (best.overflow) {
        const QFontMetricsF fm(out.font);
        if (out.lines.isEmpty())
            out.lines.append(QString(kEllipsis));
        else
            out.lines.last() = withEllipsis(out.lines.last(), fm, inner.width());
    }
    return out;
}

CaptionLines layoutCaption(const QString &text, const QString &end, const QFont &font, const QSize &box,
                           const CaptionFit &fit)
{
    if (end.isEmpty())
        return layoutCaption(text, font, box, fit);
    // The end is one unbreakable word, so it never splits over two lines.
    const QString unit = QString(end).replace(u' ', QChar(0x00A0));
    CaptionLines out = layoutCaption(text.isEmpty() ? unit : text + u' ' + unit, font, box, fit);
    if (!out.elided) {
        if (!out.lines.isEmpty() && out.lines.last().endsWith(unit))
            out.lines.last().replace(out.lines.last().size() - unit.size(), unit.size(), end);
        return out;
    }
    // The cut took the end with it: shorten the last line until the end fits after it.
    const QFontMetricsF fm(out.font);
    const QString tail = u' ' + unit;
    const qreal room = box.width() - fm.horizontalAdvance(tail) - fm.horizontalAdvance(kEllipsis);
    QString last = out.lines.isEmpty() ? QString() : out.lines.takeLast();
    if (last.endsWith(kEllipsis))
        last.chop(1);
    while (!last.isEmpty() && fm.horizontalAdvance(last) > room)
        last.chop(last.size() >= 2 && last.back().isLowSurrogate() ? 2 : 1);
    while (last.endsWith(u' '))
        last.chop(1);
    out.lines.append(room > 0 ? last + kEllipsis + u' ' + end : end);
    return out;
}

} // namespace kavri::monitor
