#include "monitor/BoardGeometry.h"

namespace kavri::monitor {
namespace {

struct RowLayout
{
    int rows;
    int groups;
    int headingHeight;
    int firstTop;
    int height;
    int pitch;
    BoardFontSizes fonts;
};

// Per row option: 10, 16 and 30 rows. The last row of each group ends at pixel 768.
constexpr std::array<RowLayout, 3> kRowLayouts{{
    {10, 2, 42, 335, 85, 87, {15, 18, 20, 20, 20}},
    {16, 2, 37, 330, 53, 55, {15, 18, 20, 18, 20}},
    {30, 3, 37, 330, 42, 44, {15, 16, 14, 14, 20}},
}};

/// Heading widths NO, table, request, check of group 1; the last group's check
/// heading of the 30-row board is one pixel wider so the groups end at the edge.
struct WidthSet
{
    std::array<int, 4> group;
    int lastCheck;
};

constexpr WidthSet kWidths[3][2] = {
    {{{38, 150, 271, 50}, 50}, {{38, 150, 442, 50}, 50}},
    {{{38, 150, 281, 40}, 40}, {{38, 150, 442, 50}, 50}},
    {{{38, 90, 170, 40}, 41}, {{38, 90, 284, 40}, 41}},
};

void setWindowParts(BoardGeometry &g, int resolutionIdx)
{
    const bool wide = resolutionIdx == 1;
    g.windowWidth = wide ? 1366 : 1024;
    g.picFrameLeft = wide ? 672 : 330;
    g.storeNameWidth = wide ? 562 : 220;
    g.imgBack[0] = QRect(540, 72, wide ? 798 : 456, 210);
    g.imgBack[1] = QRect(wide ? 1323 : 981, 72, 20, 210);
    g.lblRequest = QRect(465, 75, wide ? 870 : 528, 198);
    g.shpBack = QRect(0, 290, g.windowWidth, 480);
}

} // namespace

int BoardGeometry::gridEnd() const
{
    if (headingCount <= 0)
        return 0;
    const QRect &last = headings[headingCount - 1];
    return last.left() + last.width();
}

BoardGeometry designGeometry()
{
    BoardGeometry g;
    setWindowParts(g, 0);
    // Headings stand hidden with the 30-row widths until the first layout.
    const WidthSet &w = kWidths[2][0];
    int left = 0;
    for (int h = 0; h < BoardGeometry::kHeadings; ++h) {
        const int column = h % 4;
        const int width = (h == BoardGeometry::kHeadings - 1) ? w.lastCheck : w.group[column];
        g.headings[h] = QRect(left, BoardGeometry::kHeadingTop, width, kRowLayouts[2].headingHeight);
        left += width + (column == BoardGeometry::Request ? 0 : 1);
    }
    return g;
}

BoardGeometry boardGeometry(int resolutionIdx, int displayIdx)
{
    return boardGeometry(resolutionIdx, displayIdx, designGeometry());
}

BoardGeometry boardGeometry(int resolutionIdx, int displayIdx, const BoardGeometry &previous)
{
    BoardGeometry g = previous;
    g.resolutionIdx = resolutionIdx;
    g.displayIdx = displayIdx;
    g.headingCount = 0;
    g.rowCount = 0;
    g.cells = {};
    g.fonts = BoardFontSizes{};
    const bool knownResolution = resolutionIdx == 0 || resolutionIdx == 1;
    if (knownResolution)
        setWindowParts(g, resolutionIdx);
    if (displayIdx < 0 || displayIdx > 2)
        return g;

    const RowLayout &rows = kRowLayouts[displayIdx];
    g.headingCount = rows.groups * 4;
    g.rowCount = rows.rows;
    g.fonts = rows.fonts;

    // Each heading starts one pixel after the previous one, except the check
    // heading, which stands directly after the request heading.
    int left = 0;
    for (int h = 0; h < g.headingCount; ++h) {
        const int column = h % 4;
        int width = previous.headings[h].width();
        if (knownResolution) {
            const WidthSet &set = kWidths[displayIdx][resolutionIdx];
            const bool lastCheck = h == g.headingCount - 1;
            width = lastCheck ? set.lastCheck : set.group[column];
        }
        g.headings[h] = QRect(left, BoardGeometry::kHeadingTop, width, rows.headingHeight);
        left += width + (column == BoardGeometry::Request ? 0 : 1);
    }

    const int perGroup = rows.rows / rows.groups;
    for (int r = 0; r < rows.rows; ++r) {
        const int group = r / perGroup;
        const int top = rows.firstTop + (r % perGroup) * rows.pitch;
        for (int c = 0; c < 4; ++c) {
            const QRect &heading = g.headings[group * 4 + c];
            g.cells[r][c] = QRect(heading.left(), top, heading.width(), rows.height);
        }
    }
    return g;
}

} // namespace kavri::monitor
