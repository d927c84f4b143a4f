#include "printing/PrinterSettingsForm.h"

#include "platform/PrinterLine.h"
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

namespace {

PortDeviceLine deviceLine(const QString &path)
{
    const platform::DeviceState state = platform::deviceState(path);
    switch (state.kind) {
    case platform::DeviceKind::Missing:
    case platform::DeviceKind::NotDevice:
        return {path + u" - 장치가 없습니다 (연결과 Deploy.ini [Ports] 확인)"_s, false,
                PortDeviceLine::Kind::Missing};
    case platform::DeviceKind::Serial:
    case platform::DeviceKind::Plain:
        break;
    }
    const bool serial = state.kind == platform::DeviceKind::Serial;
    PortDeviceLine line;
    line.kind = serial ? PortDeviceLine::Kind::Serial : PortDeviceLine::Kind::UsbPrinter;
    line.speedUsed = serial;
    line.usable = state.writable;
    // A USB printer takes no line settings; staff should not hunt for the right speed.
    const QString head = serial ? path : path + u" (USB 프린터, 통신속도는 쓰지 않습니다)"_s;
    if (state.writable) {
        line.text = head + u" - 사용할 수 있습니다"_s;
        return line;
    }
    const QString group = !state.group.isEmpty() && state.group != u"root"_s ? state.group
                          : serial                                           ? u"dialout"_s
                                                                             : u"lp"_s;
    line.text = head + u" - 열 수 없습니다: 사용자를 '"_s + group + u"' 그룹에 넣어 주세요"_s;
    return line;
}

} // namespace

PortDeviceLine portDeviceLine(const Deployment &deployment, int port)
{
    if (port < 1)
        return {};
    const PortTarget target = deployment.target(port);
    switch (target.kind) {
    case PortTarget::Kind::Device:
        return deviceLine(target.device);
    case PortTarget::Kind::Network:
        // Whether it answers is the connection check's to say: a lookup here would hold the window.
        return {portTargetLine(target) + u" (네트워크 프린터, 통신속도는 쓰지 않습니다)"_s, true,
                PortDeviceLine::Kind::Network, false};
    case PortTarget::Kind::Refused:
        break;
    }
    return {u"Deploy.ini [Ports] COM"_s + QString::number(port) + u" - 쓸 수 없습니다: "_s + target.refusal,
            false, PortDeviceLine::Kind::Refused};
}

} // namespace kavri
