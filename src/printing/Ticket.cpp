#include "printing/Ticket.h"

#include "codec/TnvDecode.h"
#include "printing/ColumnLayout.h"
#include "printing/PrinterCommands.h"
#include "printing/TicketOutput.h"
#include "services/Conversions.h"
#include "services/ErrorReport.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

const QString kRule = QString(42, u'=') + gCrLf;

/// One line in the given size: the size command, the text, back to normal.
QString sizedLine(int sizeCode, const QString &text)
{
    switch (sizeCode) {
    case 1:
        return gPrnDoubleHeight + text + gPrnNormal + gCrLf;
    case 2:
        return gPrnDoubleSize + text + gPrnNormal + gCrLf;
    default:
        return gPrnNormal + text + gCrLf;
    }
}

/// A request line as printed: the line breaks its "!줄!" tokens made stay, any other
/// control character becomes a space, so no text from outside acts as a printer command.
QString printableMemoLine(const QString &line)
{
    return withoutControls(TnvDecodeAA(line), u"\r\n");
}

/// Where the reprint mark goes: after the header, the first line and the blank line after it.
qsizetype reprintLineAt(const QString &ticket)
{
    const QString header = gCrLf + gCrLf;
    const qsizetype at = ticket.indexOf(header);
    return at < 0 ? 0 : at + header.size();
}

QString reprintLine()
{
    return gPrnNormal + QString::fromUtf16(ReprintLine) + gCrLf;
}

} // namespace

QString ComposeTicket(const PrinterSettings &s, const QString &groupT, const QString &tableT,
                      const QString &memoT, const QString &regDateT, const QString &payTypeT)
{
    QString t;
    t += gPrnInit + gPrnDoubleSize + CenterByWidth(u"< Kavri >"_s, 21) + gPrnNormal + gCrLf + gCrLf;

    const QString table = u"QR: "_s + (groupT.isEmpty() ? QString() : withoutControls(groupT) + u":"_s) +
                          withoutControls(tableT);
    t += (TextWidth(table) <= 21 ? gPrnDoubleSize : gPrnDoubleHeight) + table + gPrnNormal + gCrLf;

    t += kRule;
    const int memoSize = s.주문서_주문내역_글자크기;
    for (const QString &line : SplitByWidth(memoT, lineColumnsFor(memoSize)))
        t += sizedLine(memoSize, printableMemoLine(line));
    t += kRule;

    t += sizedLine(s.주문서_주문번호_글자크기, withoutControls(regDateT));

    if (s.주문서_꼬리말_출력 && !s.주문서_꼬리말.isEmpty()) {
        t += gCrLf;
        const int footerSize = s.주문서_꼬리말_글자크기;
        for (const QString &line : s.주문서_꼬리말.split(u"\r\n"_s)) {
            const QString centred = CenterByWidth(line, lineColumnsFor(footerSize));
            // A normal-size footer line carries no size command of its own.
            t += footerSize == 0 ? centred + gCrLf : sizedLine(footerSize, centred);
        }
    }

    if (!payTypeT.isEmpty())
        t += gCrLf + gPrnDoubleSize + CenterByWidth(u"[ 결제방법 : "_s + payTypeT + u" ]"_s, 21) +
             gPrnNormal + gCrLf;

    t += gCrLf + gCrLf + gCrLf + gCrLf + gPrnCut;
    return t;
}

bool Kavri_출력(const QString &GroupT, const QString &TableT, const QString &MemoT, const QString &RegDateT,
                const QString &PayTypeT, bool repeat)
{
    const QString composed = ComposeTicket(gPrinterSettings, GroupT, TableT, MemoT, RegDateT, PayTypeT);
    const QString ticket = repeat ? withReprintLine(composed) : composed;
    // Copy the names: the output lets events run, and a settings reload may happen meanwhile.
    const auto names = gPrinterSettings.이름;
    for (const QString &name : names) {
        if (name.isEmpty())
            continue;
        파일_출력(name, ticket);
        if (!gFilePrint)
            프린터_출력(name, ticket);
    }
    return true;
}

QString withReprintLine(const QString &ticket)
{
    const qsizetype cut = reprintLineAt(ticket);
    return ticket.left(cut) + reprintLine() + ticket.mid(cut);
}

bool hasReprintLine(const QString &ticket)
{
    return QStringView(ticket).mid(reprintLineAt(ticket)).startsWith(reprintLine());
}

bool reprintTicket(const QString &TableT, const QString &MemoT, const QString &RegDateT,
                   const QString &PayTypeT)
{
    if (!IsTableSelected(gPrinterSettings.선택된테이블, TableT))
        return false;
    const QString ticket =
        withReprintLine(ComposeTicket(gPrinterSettings, QString(), TableT, MemoT, RegDateT, PayTypeT));
    const auto names = gPrinterSettings.이름;
    bool any = false;
    for (const QString &name : names) {
        if (name.isEmpty())
            continue;
        any = true;
        // The ticket's own mark line names it as a reprint in the print log too.
        파일_출력(name, ticket);
        if (!gFilePrint)
            프린터_출력(name, ticket);
    }
    return any;
}

} // namespace kavri
