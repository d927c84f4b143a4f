#pragma once

#include "printing/PrinterSettings.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"
#include "support/TestEnvironment.h"

namespace kavri::test {

/// TestEnvironment with an empty printer settings record, and a list of kept
/// tickets and a print spool of its own, for the tests that link the printing
/// library (the support library itself does not).
class PrintingTestEnvironment : public TestEnvironment
{
public:
    PrintingTestEnvironment() { gPrinterSettings = PrinterSettings{}; }
    explicit PrintingTestEnvironment(const QDateTime &now) : TestEnvironment(now)
    {
        gPrinterSettings = PrinterSettings{};
    }
    ~PrintingTestEnvironment() { gPrinterSettings = PrinterSettings{}; }

private:
    // Made after the application folder and gone before it: the list never outlives its file.
    UnprintedTicketsScope m_unprinted;
    PrintSpoolScope m_spool;
};

} // namespace kavri::test
