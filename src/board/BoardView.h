#pragma once

#include "monitor/BoardGeometry.h"
#include "monitor/BoardGlance.h"

#include <QDateTime>

#include <QPixmap>

#include <array>
#include <functional>

class QObject;
class QWidget;

namespace kavri::monitor {

class CaptionPanel;
class RequestBoard;
struct BoardRow;

/// What the rows' waits are measured against.
struct WaitClock
{
    QDateTime now;
    WaitThresholds thresholds;
};

/// The board's cells: the headings ("sspTitle_n") and the four cells of each
/// row ("sspNO_n", "sspTable_n", "sspRequest_n", "sspCheck_n"). They are
/// children of the window itself, placed in its coordinates by the board
/// geometry, so the window's drag handles and stacking stay as they are.
class BoardView
{
public:
    /// Creates every cell hidden in `window`; each row cell's events pass
    /// `filter` first, and a click on any of a row's four cells calls `rowClicked`.
    BoardView(QWidget &window, QObject *filter, std::function<void(int row)> rowClicked);

    /// The row whose cell `cell` is; -1 for anything else.
    int rowOf(const QObject *cell) const;
    /// Empties every cell, then places and shows the headings and the rows of `g`.
    void layOut(const BoardGeometry &g);
    /// Draws the rows of `board`; a row without its own size gets `requestPoints`.
    /// `card` and `cash` are the payment pictures of the check cells. Each
    /// filled row shows the minutes it has waited and takes the colour of its wait.
    void draw(const RequestBoard &board, int requestPoints, const QPixmap &card, const QPixmap &cash,
              const WaitClock &clock = {});

private:
    /// The row's colours: its wait on the number, the mark's tint over the whole row.
    void paintRowColours(int r, const BoardRow &row, WaitLevel level);

    std::array<CaptionPanel *, BoardGeometry::kHeadings> m_sspTitle{};
    std::array<CaptionPanel *, BoardGeometry::kRows> m_sspNO{};
    std::array<CaptionPanel *, BoardGeometry::kRows> m_sspTable{};
    std::array<CaptionPanel *, BoardGeometry::kRows> m_sspRequest{};
    std::array<CaptionPanel *, BoardGeometry::kRows> m_sspCheck{};
};

} // namespace kavri::monitor
