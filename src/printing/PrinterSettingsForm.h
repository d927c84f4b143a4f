#pragma once

#include "printing/PrinterSettings.h"
#include "services/Deployment.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>

// The rules of the printer settings window, apart from its widgets: what the
// controls hold, how that becomes the stored section "프린터" and back, the
// test ticket and the device line beside each port list.
namespace kavri {

/// Port list items: "없음", then "COM1" … "COM20"; the item position is the port number.
inline constexpr int kPortItems = 21;
QStringList portItems();
/// Speed list items, "9600" … "115200"; the position is the stored speed position.
QStringList speedItems();
/// Copies list items: "1장", "2장", "3장".
QStringList copiesItems();
/// The three options of every size group: "보통", "세로확대", "가로세로확대".
QStringList sizeOptions();

/// What the window's controls hold, by position where a control is a list.
struct PrinterForm
{
    std::array<QString, PrinterSettings::SlotCount> 이름;
    std::array<int, PrinterSettings::SlotCount> 포트{};     ///< port list position
    std::array<int, PrinterSettings::SlotCount> 통신속도{}; ///< speed list position
    int 출력수 = 0;                                         ///< copies list position
    bool 꼬리말_출력 = false;
    int 꼬리말_글자크기 = 0;
    QString 꼬리말; ///< lines separated by CR LF
    int 주문내역_글자크기 = 0;
    bool 메뉴가격표시 = false;
    bool 중간커팅금지 = false;
    int 주문번호_글자크기 = 0;
    bool 낱장출력 = false;
    bool 전체선택 = false;
    QStringList 선택된이름; ///< ticked table names in grid order
};

/// The port list position of a stored port; a number outside the list shows as "없음".
int portPosition(qint32 port);
/// The speed list position of a speed; an unknown speed is 9600.
int speedPosition(qint32 speed);

/// The controls as the record says (the table selection is restored elsewhere).
PrinterForm formFromSettings(const PrinterSettings &settings);

/// Every key of section "프린터" with its stored value, in the order they are written.
QList<QPair<QString, QString>> storedPrinterKeys(const PrinterForm &form);

/// The test ticket of one slot, as it goes to the print log and the printer.
QString TestTicket(const QString &slotName);

/// Prints the test ticket of every slot with a name and a port, to the print
/// log and the printer, `gapMs` apart (events run meanwhile). A slip that does
/// not go out shows its fault and is not kept (printTestSlip).
void printTestTickets(const PrinterSettings &settings, quint32 gapMs);

/// The line beside a port list, for staff: what the port leads to (a serial
/// line, a USB printer-class device, a network printer, or a [Ports] line that
/// is refused and why) and whether it can be used; an empty text for "없음".
/// A device this user may not open names the group that may write it, when
/// joining that group would help.
struct PortDeviceLine
{
    QString text;
    bool usable = false;   ///< the device exists and this user may write to it
    bool speedUsed = true; ///< false for a network printer or a device that is no serial line
};
PortDeviceLine portDeviceLine(const Deployment &deployment, int port);

} // namespace kavri
