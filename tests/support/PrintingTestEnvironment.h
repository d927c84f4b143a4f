#pragma once

#include "printing/PrinterSettings.h"
#include "support/TestEnvironment.h"

namespace kavri::test {

/// TestEnvironment with an empty printer settings record, for the tests that
/// link the printing library (the support library itself does not).
class PrintingTestEnvironment : public TestEnvironment
{
public:
    PrintingTestEnvironment() { gPrinterSettings = PrinterSettings{}; }
    explicit PrintingTestEnvironment(const QDateTime &now) : TestEnvironment(now)
    {
        gPrinterSettings = PrinterSettings{};
    }
    ~PrintingTestEnvironment() { gPrinterSettings = PrinterSettings{}; }
};

} // namespace kavri::test
