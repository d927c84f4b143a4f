#include "printing/PrinterSettingsForm.h"

#include "printing/PortAssignment.h"
#include "printing/PrinterCommands.h"
#include "printing/TableList.h"
#include "printing/TicketOutput.h"
#include "services/Housekeeping.h"
#include "services/Settings.h"

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

int sizeCode(int code)
{
    return code < 0 || code > 2 ? 0 : code;
}

} // namespace

QStringList portItems()
{
    QStringList items{u"없음"_s};
    for (int n = 1; n < kPortItems; ++n)
        items.append(u"COM"_s + QString::number(n));
    return items;
}

QStringList speedItems()
{
    QStringList items;
    for (qint32 speed : kLineSpeeds)
        items.append(QString::number(speed));
    return items;
}

QStringList copiesItems()
{
    return {u"1장"_s, u"2장"_s, u"3장"_s};
}

QStringList sizeOptions()
{
    return {u"보통"_s, u"세로확대"_s, u"가로세로확대"_s};
}

int portPosition(qint32 port)
{
    return port < 0 || port >= kPortItems ? 0 : port;
}

int speedPosition(qint32 speed)
{
    for (size_t i = 0; i < kLineSpeeds.size(); ++i) {
        if (kLineSpeeds[i] == speed)
            return int(i);
    }
    return 0;
}

PrinterForm formFromSettings(const PrinterSettings &s)
{
    PrinterForm f;
    for (int n = 0; n < PrinterSettings::SlotCount; ++n) {
        f.이름[n] = s.이름[n];
        f.포트[n] = portPosition(s.포트[n]);
        f.통신속도[n] = speedPosition(s.통신속도[n]);
    }
    f.출력수 = s.주문서_출력수 >= 1 && s.주문서_출력수 <= 3 ? s.주문서_출력수 - 1 : 0;
    f.꼬리말_출력 = s.주문서_꼬리말_출력;
    f.꼬리말_글자크기 = sizeCode(s.주문서_꼬리말_글자크기);
    f.꼬리말 = s.주문서_꼬리말;
    f.주문내역_글자크기 = sizeCode(s.주문서_주문내역_글자크기);
    f.메뉴가격표시 = s.주문서_메뉴가격표시;
    f.중간커팅금지 = s.주문서_중간커팅금지;
    f.주문번호_글자크기 = sizeCode(s.주문서_주문번호_글자크기);
    f.낱장출력 = s.주문서_낱장출력;
    return f;
}

QList<QPair<QString, QString>> storedPrinterKeys(const PrinterForm &f)
{
    QList<QPair<QString, QString>> keys;
    const auto number = [](int n) { return QString::number(n); };
    for (int n = 0; n < PrinterSettings::SlotCount; ++n) {
        const QString digit = number(n);
        keys.append({u"이름"_s + digit, f.이름[n]});
        keys.append({u"포트"_s + digit, number(portPosition(f.포트[n]))});
        const int speed = f.통신속도[n] < 0 || f.통신속도[n] >= int(kLineSpeeds.size()) ? 0 : f.통신속도[n];
        keys.append({u"통신속도"_s + digit, number(speed)});
    }
    keys.append({u"주문서_출력수"_s, number((f.출력수 < 0 || f.출력수 > 2 ? 0 : f.출력수) + 1)});
    keys.append({u"주문서_꼬리말_출력"_s, CommonUtil::boolText(f.꼬리말_출력)});
    keys.append({u"주문서_꼬리말_글자크기"_s, number(sizeCode(f.꼬리말_글자크기))});
    keys.append({u"주문서_꼬리말"_s, encodeFooter(f.꼬리말)});
    keys.append({u"주문서_주문내역_글자크기"_s, number(sizeCode(f.주문내역_글자크기))});
    keys.append({u"주문서_메뉴가격표시"_s, CommonUtil::boolText(f.메뉴가격표시)});
    keys.append({u"주문서_중간커팅금지"_s, CommonUtil::boolText(f.중간커팅금지)});
    keys.append({u"주문서_주문번호_글자크기"_s, number(sizeCode(f.주문번호_글자크기))});
    keys.append({u"주문서_낱장출력"_s, CommonUtil::boolText(f.낱장출력)});
    keys.append({u"선택된테이블"_s, selectionText(f.전체선택, f.선택된이름)});
    return keys;
}

QString TestTicket(const QString &slotName)
{
    const QString body = gPrnDoubleSize + u"가로세로"_s + gPrnDoubleWidth + u"가로"_s + gPrnDoubleHeight +
                         u"세로"_s + gPrnNormal + u"\r\n"_s +
                         u"123456789012345678901234567890123456789012345678901234567890"_s +
                         QString(u"\r\n"_s).repeated(5) + gPrnCut;
    return gPrnInit + u"["_s + slotName + u"] "_s + gPrnNormal + body;
}

void printTestTickets(const PrinterSettings &settings, quint32 gapMs)
{
    for (int n = 0; n < PrinterSettings::SlotCount; ++n) {
        const QString name = settings.이름[n];
        if (name.isEmpty() || settings.포트[n] < 1)
            continue;
        const QString text = TestTicket(name);
        파일_출력(name, text);
        printTestSlip(name, text);
        Delay(gapMs);
    }
}

PortDeviceLine portDeviceLine(const Deployment &deployment, int port)
{
    const QString line = assignedLine(deployment, port);
    return line.isEmpty() ? PortDeviceLine{} : deviceLineOf(line);
}

} // namespace kavri
