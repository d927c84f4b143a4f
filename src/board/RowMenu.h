#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace kavri::monitor {

class RequestBoard;
struct BoardRow;

/// The board rows as staff touch them: a right click or a long touch on a row
/// offers "<table> 다시 출력" ("rowMenu"), and a double click is one click. It
/// watches the row cells' events (BoardView's filter).
class RowMenu : public QObject
{
    Q_OBJECT
public:
    enum class Reprint { Sent, Gone, NoPrinter };

    /// `rowOf` names the row of a cell, -1 for anything else.
    RowMenu(QWidget &window, const RequestBoard &board, std::function<int(const QObject *)> rowOf);

    /// The row menu for the request in `row`, at `at`.
    void open(const BoardRow &row, const QPoint &at);
    /// The ticket of request `number` printed again, marked as a reprint, while the
    /// board shows it; a short box says why when it has left the board or no
    /// printer prints its table.
    Reprint reprint(const QString &number);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    const RequestBoard &m_board;
    std::function<int(const QObject *)> m_rowOf;
    bool m_eatRelease = false; // the release that ends a double click on a row
};

} // namespace kavri::monitor
