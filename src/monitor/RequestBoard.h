#pragma once

#include <optional>

#include "monitor/KavriEntry.h"

#include <QObject>
#include <QString>

#include <array>

namespace kavri::monitor {

/// The payment picture of a row's check cell.
enum class PayIcon { None, Card, Cash };

/// What one board row holds between cycles; the window draws it, confirmation
/// and expiry read it. An empty row is one whose table caption is empty.
struct BoardRow
{
    QString numTag;  ///< number of the request the row showed last; a fill never clears it
    QString table;   ///< table caption
    QString regDate; ///< registration time of the request shown
    QString memo;    ///< request caption
    QString payType; ///< payment type text
    PayIcon icon = PayIcon::None;
    bool marked = false;   ///< the confirmation mark "v"
    int memoPointSize = 0; ///< character size of the request caption; 0 = the layout's

    bool isEmpty() const { return table.isEmpty(); }
};

/// The banner above the grid: the newest request in large letters.
struct Banner
{
    QString table;
    QString payType;
    QString text;
    int pointSize = 40;
};

/// The board's content: 30 rows of which 10, 16 or 30 are in use, and the
/// banner. The layout clears it, each cycle refills it; `changed` tells the
/// window to draw it again.
class RequestBoard : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRows = 30;

    explicit RequestBoard(QObject *parent = nullptr);

    /// The layout's share of the board: takes the two options, empties every
    /// row (marks included) and the banner.
    void setLayout(int resolutionIdx, int displayIdx);
    int resolutionIdx() const { return m_resolutionIdx; }
    int displayIdx() const { return m_displayIdx; }
    /// Rows in use: 10, 16 or 30; 0 for a row option outside 0 to 2.
    int rowCount() const { return rowCountFor(m_displayIdx); }
    static int rowCountFor(int displayIdx);
    /// The texts of the two selected options ("1024"/"1366", "10개"/"16개"/"30개"),
    /// empty for an index outside the lists.
    QString resolutionText() const;
    QString rowText() const;

    /// Empties the table, request and payment of every row; numbers and marks stay
    /// until the next fill.
    void clearRows();
    /// Writes the list into the rows from row 0, sets each request caption's
    /// size, then the banner from row 0. Entries beyond 30 are ignored. Marks
    /// follow their requests; a mark whose request is no longer listed is dropped.
    /// `openCount` is how many requests are open in all, the rows below the
    /// last included; -1 counts the list.
    void fill(const KavriList &list, qsizetype openCount = -1);
    /// Open requests at the last fill, shown or not.
    qsizetype openCount() const { return m_openCount; }

    const BoardRow &row(int r) const { return m_rows.at(r); }
    /// The shown row of request `number`, wherever the last fill put it; nothing when
    /// the board no longer shows it.
    std::optional<BoardRow> shownRequest(const QString &number) const;
    /// Sets or clears a row's mark; out-of-range rows are ignored.
    void setMarked(int r, bool marked);
    /// Clears every mark.
    void clearMarks();
    bool anyMarked() const;
    const Banner &banner() const { return m_banner; }
    /// Registration time shown on row 0; empty when the board is empty.
    QString topRegDate() const { return m_rows[0].regDate; }

signals:
    void changed();

private:
    std::array<BoardRow, kMaxRows> m_rows;
    Banner m_banner;
    qsizetype m_openCount = 0;
    int m_resolutionIdx = 0;
    int m_displayIdx = 0;
};

/// Character size of a request caption of width `w` (printer columns) for the
/// selected option texts.
int requestPointSize(const QString &resolutionText, const QString &rowText, int w);
/// Character size of the banner text of width `w`.
int bannerPointSize(const QString &resolutionText, int w);

} // namespace kavri::monitor
