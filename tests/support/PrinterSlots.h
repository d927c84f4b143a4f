#pragma once

#include "printing/PrinterSettings.h"
#include "support/FileBytes.h"
#include "support/TempAppFolder.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QTest>

namespace kavri::test {

/// Deploy.ini with [Ports] COMn=device lines (a pty's printer end, say).
inline void writePorts(const TempAppFolder &app, const QList<QPair<int, QString>> &ports)
{
    QString text = QStringLiteral("[Ports]\n");
    for (const auto &[n, device] : ports)
        text += QStringLiteral("COM") + QString::number(n) + QLatin1Char('=') + device + QLatin1Char('\n');
    QVERIFY(writeBytes(app.filePath(QStringLiteral("Deploy.ini")), text.toUtf8()));
}

/// Printer slot `n` (0-2) named `name` on COM`port` (0: none) at `speed` baud.
inline void setSlot(int n, const QString &name, int port, qint32 speed = 9600)
{
    gPrinterSettings.이름[n] = name;
    gPrinterSettings.포트[n] = port;
    gPrinterSettings.통신속도[n] = speed;
}

} // namespace kavri::test
