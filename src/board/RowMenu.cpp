#include "board/RowMenu.h"

#include "board/BoardFonts.h"
#include "monitor/RequestBoard.h"
#include "platform/Dialogs.h"
#include "platform/gui/Theme.h"
#include "printing/Ticket.h"
#include "services/EventLog.h"

#include <QContextMenuEvent>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

RowMenu::RowMenu(QWidget &window, const RequestBoard &board, std::function<int(const QObject *)> rowOf)
    : QObject(&window), m_window(window), m_board(board), m_rowOf(std::move(rowOf))
{
}

void RowMenu::open(const BoardRow &row, const QPoint &at)
{
    // The menu acts on the request that was clicked, by its number: a poll while it is
    // open may move every row. It is a popup, not a loop of its own, so polls go on.
    auto *menu = new QMenu(&m_window);
    menu->setObjectName(u"rowMenu"_s);
    // Touched, not clicked: a tall item in the board's font.
    menu->setFont(uiFont(18, true));
    menu->setStyleSheet(theme::TouchMenuStyle);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *again = menu->addAction(row.table + u" 다시 출력"_s);
    const QString number = row.numTag;
    connect(again, &QAction::triggered, this, [this, number] { reprint(number); });
    menu->popup(at);
}

RowMenu::Reprint RowMenu::reprint(const QString &number)
{
    const std::optional<BoardRow> found = m_board.shownRequest(number);
    if (!found) {
        WriteLog(u"다시 출력 안 함: 요청 "_s + number + u"이(가) 보드에 없음"_s);
        platform::tellNotice(u"요청이 보드에서 사라져 출력하지 않았습니다."_s);
        return Reprint::Gone;
    }
    WriteLog(u"다시 출력: "_s + found->table + u" "_s + found->regDate);
    if (!reprintTicket(found->table, found->memo, found->regDate, found->payType)) {
        WriteLog(u"다시 출력 안 함: "_s + found->table + u" 테이블을 출력할 프린터가 없음"_s);
        platform::tellNotice(u"선택된 프린터가 없어 출력하지 않았습니다."_s);
        return Reprint::NoPrinter;
    }
    return Reprint::Sent;
}

bool RowMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu) {
        if (const int r = m_rowOf(watched); r >= 0) {
            if (r >= m_board.rowCount() || m_board.row(r).isEmpty())
                return true;
            open(m_board.row(r), static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
    }
    // A double click on a row is one click: the release that ends it is not a
    // second one, which would take the mark straight off again.
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_eatRelease = true;
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && m_eatRelease) {
        m_eatRelease = false;
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress)
        m_eatRelease = false;
    return QObject::eventFilter(watched, event);
}

} // namespace kavri::monitor
