#include "board/KeptTicketsChoice.h"

#include "platform/Dialogs.h"
#include "platform/gui/Theme.h"
#include "printing/Unprinted.h"
#include "services/EventLog.h"

#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

const QString kChoiceBox = u"keptTicketsBox"_s;
const QString kDropBox = u"keptTicketsDropBox"_s;

QMessageBox *makeBox(QWidget *parent, const QString &name, const QString &text)
{
    auto *box = new QMessageBox(parent);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(platform::appTitle());
    box->setIcon(QMessageBox::Question);
    box->setText(text);
    box->setFont(theme::touchBoxFont());
    box->setStyleSheet(theme::TouchBoxStyle);
    return box;
}

QPushButton *addButton(QMessageBox *box, const QString &name, const QString &text,
                       QMessageBox::ButtonRole role)
{
    QPushButton *button = box->addButton(text, role);
    button->setObjectName(name);
    return button;
}

bool boxOpen(QWidget *parent)
{
    const QList<QMessageBox *> boxes = parent->findChildren<QMessageBox *>(Qt::FindDirectChildrenOnly);
    return std::any_of(boxes.cbegin(), boxes.cend(), [](const QMessageBox *box) {
        return box->isVisible() && (box->objectName() == kChoiceBox || box->objectName() == kDropBox);
    });
}

void confirmDrop(QWidget *parent, const std::function<void(qsizetype)> &dropped)
{
    const qsizetype count = unprintedTickets().count();
    if (count == 0)
        return; // printed meanwhile
    // The tickets the question names; any kept while it is open stay.
    const quint64 through = unprintedTickets().newestId();
    QMessageBox *box =
        makeBox(parent, kDropBox, u"보관된 미출력 "_s + QString::number(count) + u"건을 삭제할까요?"_s);
    QPushButton *yes = addButton(box, u"btnDropYes"_s, u"예"_s, QMessageBox::YesRole);
    QPushButton *no = addButton(box, u"btnDropNo"_s, u"아니요"_s, QMessageBox::NoRole);
    box->setDefaultButton(no);
    box->setEscapeButton(no);
    QObject::connect(box, &QDialog::finished, box, [box, yes, through, dropped] {
        if (box->clickedButton() != yes)
            return;
        const qsizetype gone = unprintedTickets().drop(through);
        WriteLog(u"보관된 미출력 티켓 "_s + QString::number(gone) + u"건을 삭제함"_s);
        if (dropped)
            dropped(gone);
    });
    box->open();
}

} // namespace

QMessageBox *offerKeptTickets(QWidget *parent, std::function<void()> printNow,
                              std::function<void(qsizetype)> dropped)
{
    const qsizetype count = unprintedTickets().count();
    if (!parent || count == 0 || boxOpen(parent))
        return nullptr;
    QMessageBox *box = makeBox(parent, kChoiceBox,
                               u"보관된 미출력 티켓이 "_s + QString::number(count) +
                                   u"건 있습니다.\n지금 출력하거나 모두 삭제할 수 있습니다."_s);
    QPushButton *print = addButton(box, u"btnPrintNow"_s, u"지금 출력"_s, QMessageBox::AcceptRole);
    QPushButton *drop = addButton(box, u"btnDropKept"_s, u"모두 삭제"_s, QMessageBox::DestructiveRole);
    QPushButton *cancel = addButton(box, u"btnCancel"_s, u"취소"_s, QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    // Acted on once the box has closed, so the confirmation never opens beside it.
    QObject::connect(
        box, &QDialog::finished, parent,
        [parent, box, print, drop, printNow = std::move(printNow), dropped = std::move(dropped)] {
            const QAbstractButton *clicked = box->clickedButton();
            if (clicked == print && printNow) {
                WriteLog(u"보관된 미출력 티켓 지금 출력: "_s + QString::number(unprintedTickets().count()) +
                         u"건"_s);
                // A copy: the poll it runs lets events run, the box's deletion among them.
                const std::function<void()> run = printNow;
                run();
            } else if (clicked == drop) {
                confirmDrop(parent, dropped);
            }
        });
    box->open();
    return box;
}

} // namespace kavri::monitor
