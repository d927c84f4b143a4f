#pragma once

#include <QRect>

#include <array>

namespace kavri::monitor {

/// Character sizes (points) the layout gives the board's headings and cells.
struct BoardFontSizes
{
    int heading = 15;
    int no = 0;
    int table = 0;
    int request = 0;
    int check = 0;

    bool operator==(const BoardFontSizes &) const = default;
};

/// Where every part of the board stands for one pair of display options, in
/// pixels of the window's client area. The window applies it as it is.
struct BoardGeometry
{
    static constexpr int kHeadings = 12;
    static constexpr int kRows = 30;
    static constexpr int kWindowHeight = 768;
    static constexpr int kPicFrameTop = 10;
    static constexpr int kHeadingTop = 291;
    enum Column { No = 0, Table = 1, Request = 2, Check = 3 };

    int resolutionIdx = 0;
    int displayIdx = 0;

    // The parts that follow the window width. A resolution option outside 0 and 1
    // leaves them as the previous layout had them.
    int windowWidth = 1024;
    int picFrameLeft = 330; ///< its top is always kPicFrameTop
    int storeNameWidth = 220;
    std::array<QRect, 2> imgBack{};
    QRect lblRequest;
    QRect shpBack;

    /// Headings in use: 8, 12, or 0 for a row option outside 0 to 2; the first
    /// `headingCount` entries of `headings` are shown, the others hidden.
    int headingCount = 0;
    std::array<QRect, kHeadings> headings{};
    /// Rows in use: 10, 16 or 30, or 0; the first `rowCount` rows are shown.
    int rowCount = 0;
    /// The four cells (NO, table, request, check) of every row in use.
    std::array<std::array<QRect, 4>, kRows> cells{};
    BoardFontSizes fonts;

    /// Where the rightmost heading in use ends (its left plus its width); 0 without headings.
    int gridEnd() const;
};

/// The layout for (`resolutionIdx`, `displayIdx`). What the options leave
/// unset (the window parts and heading widths for an unknown resolution
/// option) comes from `previous`, the layout the window showed before.
BoardGeometry boardGeometry(int resolutionIdx, int displayIdx, const BoardGeometry &previous);
/// The same, starting from the window's design look (`designGeometry`).
BoardGeometry boardGeometry(int resolutionIdx, int displayIdx);
/// The look before any layout: a 1024-pixel window whose 12 headings have the
/// widths of the 30-row board.
BoardGeometry designGeometry();

} // namespace kavri::monitor
