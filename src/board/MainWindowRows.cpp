// The board rows as staff touch them: the confirm button's look, a row's menu and
// its reprint, and a double click that is one click.
#include "board/BoardView.h"
#include "board/MainWindow.h"
#include "board/MainWindowParts.h"
#include "platform/Dialogs.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/Theme.h"
#include "printing/Ticket.h"
#include "services/EventLog.h"

#include <QContextMenuEvent>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace kavri {

void frmAlarm::openRowMenu(const monitor::BoardRow &row, const QPoint &at)
{
    // The menu acts on the request that was clicked, by its number: a poll while it is
    // open may move every row. It is a popup, not a loop of its own, so polls go on.
    auto *menu = new QMenu(this);
    menu->setObjectName(u"rowMenu"_s);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *reprint = menu->addAction(row.table + u" 다시 출력"_s);
    const QString number = row.numTag;
    connect(reprint, &QAction::triggered, this, [this, number] { reprintRequest(number); });
    menu->popup(at);
}

frmAlarm::Reprint frmAlarm::reprintRequest(const QString &number)
{
    const std::optional<monitor::BoardRow> found = m_board ? m_board->shownRequest(number) : std::nullopt;
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

bool frmAlarm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmd) {
        // Pressed: blue on white; released: white on blue, drawn at once; a
        // press while its own press runs keeps the look.
        const monitor::ConfirmFlow *flow = confirmFlow();
        const bool enabled = !flow || flow->buttonEnabled();
        if (enabled && event->type() == QEvent::MouseButtonPress) {
            m_cmd->setColours(theme::ConfirmBlue, Qt::white);
            m_cmd->repaint();
        } else if (enabled && event->type() == QEvent::MouseButtonRelease) {
            m_cmd->setColours(Qt::white, theme::ConfirmBlue);
            m_cmd->repaint();
        }
        return false;
    }
    if (event->type() == QEvent::ContextMenu) {
        if (const int r = m_boardView->rowOf(watched); r >= 0) {
            if (!m_board || r >= m_board->rowCount() || m_board->row(r).isEmpty())
                return true;
            openRowMenu(m_board->row(r), static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
    }
    // A double click on a row is one click: the release that ends it is not a
    // second one, which would take the mark straight off again.
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_eatRowRelease = true;
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && m_eatRowRelease) {
        m_eatRowRelease = false;
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress)
        m_eatRowRelease = false;
    return QWidget::eventFilter(watched, event);
}

} // namespace kavri
