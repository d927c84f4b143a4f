#pragma once

#include <QtGlobal>

#include <functional>

class QMessageBox;
class QWidget;

namespace kavri::monitor {

/// What a click on the health line offers while tickets are kept: "지금 출력"
/// (`printNow`), "모두 삭제" after a confirmation ("보관된 미출력 N건을 삭제할까요?"),
/// or "취소". The tickets dropped are the N kept when the confirmation opened;
/// the main log gets a line with the count, then `dropped` is called.
/// Both boxes open with open(): no loop of their own holds the poll, and each
/// answer acts from its button's signal. Their buttons are named btnPrintNow,
/// btnDropKept, btnCancel (box keptTicketsBox) and btnDropYes, btnDropNo (box
/// keptTicketsDropBox). Nothing opens, and nullptr comes back, when no ticket
/// is kept or one of the two boxes is open on `parent` already.
QMessageBox *offerKeptTickets(QWidget *parent, std::function<void()> printNow,
                              std::function<void(qsizetype dropped)> dropped);

} // namespace kavri::monitor
