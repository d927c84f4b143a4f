#include "printing/PrinterStatus.h"

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

// Every status byte has bit 1 and bit 4 set and bits 0 and 7 clear.
bool isStatusByte(quint8 b)
{
    return (b & 0x93) == 0x12;
}

bool bit(const std::optional<quint8> &answer, int n)
{
    return answer && isStatusByte(*answer) && (*answer & (1u << n));
}

} // namespace

PrinterCondition conditionFromAnswers(const std::array<std::optional<quint8>, 4> &answers)
{
    const auto &[printer, offlineCause, errorCause, paper] = answers;
    if (!printer || !isStatusByte(*printer))
        return PrinterCondition::Unknown;
    // The roll sensor (n = 4) and the offline cause (n = 2) both know of a paper end.
    if (bit(paper, 5) || bit(paper, 6) || bit(offlineCause, 5))
        return PrinterCondition::PaperEnd;
    if (bit(offlineCause, 2))
        return PrinterCondition::CoverOpen;
    const bool error = bit(errorCause, 2) || bit(errorCause, 3) || bit(errorCause, 5) || bit(errorCause, 6);
    if (bit(printer, 3) || bit(offlineCause, 6) || error)
        return PrinterCondition::Offline;
    if (bit(paper, 2) || bit(paper, 3))
        return PrinterCondition::PaperNearEnd;
    return PrinterCondition::Ready;
}

bool holdsTickets(PrinterCondition condition)
{
    return condition == PrinterCondition::PaperEnd || condition == PrinterCondition::CoverOpen ||
           condition == PrinterCondition::Offline;
}

QString conditionText(PrinterCondition condition)
{
    switch (condition) {
    case PrinterCondition::Ready:
        return u"용지 정상"_s;
    case PrinterCondition::PaperNearEnd:
        return u"용지 부족"_s;
    case PrinterCondition::PaperEnd:
        return u"용지 없음"_s;
    case PrinterCondition::CoverOpen:
        return u"덮개 열림"_s;
    case PrinterCondition::Offline:
        return u"오프라인"_s;
    case PrinterCondition::Unknown:
        break;
    }
    return u"상태 응답 없음"_s;
}

} // namespace kavri
