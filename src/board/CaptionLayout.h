#pragma once

#include <QFont>
#include <QSize>
#include <QStringList>

// The line layout of the board's captions, apart from any widget so that a
// test can drive it. The work is bounded by what the box can show, never by the
// length of the text: a customer's text can be megabytes long.
namespace kavri::monitor {

/// Margins of a caption inside its panel, on each side.
struct CaptionMargins
{
    int horizontal;
    int vertical;

    /// The caption's box inside a panel of `outer` pixels with a border of `border`.
    QSize box(const QSize &outer, int border = 0) const
    {
        return outer - QSize(2 * (horizontal + border), 2 * (vertical + border));
    }
};
inline constexpr CaptionMargins kRequestCellMargins{6, 1};
inline constexpr CaptionMargins kTableCellMargins{3, 1};
inline constexpr CaptionMargins kBannerMargins{16, 8};

/// How a caption is fitted into its box.
struct CaptionFit
{
    /// Long lines break (at spaces where possible, else anywhere); without it
    /// each line of the caption stays one line and is elided.
    bool wordWrap = false;
    /// A caption that does not fit is drawn smaller, down to this fraction of
    /// the font's size...
    qreal minScale = 1.0;
    /// ...and never below this size in points (0: no floor). A font given
    /// smaller than the floor is drawn at the floor.
    qreal floorPoints = 0;

    bool operator==(const CaptionFit &) const = default;
};

/// A caption laid out in its box.
struct CaptionLines
{
    QFont font;        ///< the size the caption is drawn at
    QStringList lines; ///< one per drawn line, no more than the box holds
    int lineHeight = 0;
    /// Part of the text is not shown; the last line then ends in "…".
    bool elided = false;
    /// Characters of the text the layout looked at (bounded by the box).
    qsizetype examined = 0;
};

/// Lays `text` out in a box of `box` pixels: first split at its line breaks
/// (CR LF, CR, LF, U+2028, U+2029; blank lines dropped), then each part
/// wrapped and fitted. The largest size (down to the limits of `fit`) at which
/// the whole text fits is taken. When its parts do not fit one under the other
/// even at the smallest size, they run on separated by " · ". What still does
/// not fit is left out and the last line ends in "…".
CaptionLines layoutCaption(const QString &text, const QFont &font, const QSize &box, const CaptionFit &fit);
/// The same for `text` followed by `end` (a quantity), which is never cut:
/// when the whole does not fit, the text is shortened before it ("…부탁 X 3").
CaptionLines layoutCaption(const QString &text, const QString &end, const QFont &font, const QSize &box,
                           const CaptionFit &fit);

/// Characters the layout may look at for a box at a font size: a generous
/// bound on what fits (no visible character is narrower than 0.15 em).
qsizetype captionCharacterBudget(const QFont &font, const QSize &box);

} // namespace kavri::monitor
