#pragma once

#include "printing/PrinterStatus.h"
#include "services/PortTarget.h"

#include <QString>

namespace kavri {

/// What the connection check found, for staff.
struct PrinterCheck
{
    bool connected = false; ///< the device opened or the printer accepted the connection
    PrinterCondition condition = PrinterCondition::Unknown;
    /// One line: "연결됨 · 용지 정상", "연결됨 · 용지 없음", "연결됨 · 상태 응답 없음",
    /// "연결됨 · 상태를 알리지 않는 장치" (a USB printer-class device) or "연결 실패: " and why.
    QString text;
};

/// Opens the device a port leads to (or connects, waiting at most `waitMs`),
/// asks a two-way printer its status (each answer awaited at most `waitMs`, one
/// second at most), and closes again. Nothing is printed. Events run meanwhile.
PrinterCheck checkPrinter(const PortTarget &target, qint32 speed, quint32 waitMs);

} // namespace kavri
