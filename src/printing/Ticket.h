#pragma once

#include "printing/PrinterSettings.h"

#include <QString>

namespace kavri {

/// The ticket of one customer request as one text: printer commands (one
/// character per byte) and the printed text, for a 42-column receipt printer.
/// An empty request text gives a ticket with nothing between the two rules.
QString ComposeTicket(const PrinterSettings &settings, const QString &groupT, const QString &tableT,
                      const QString &memoT, const QString &regDateT, const QString &payTypeT);

/// Composes the ticket with the current printer settings and sends it to every
/// named slot: the print log, then (unless "-fileprint") the slot's printer.
/// `repeat`: the ticket may have come out already (the program ended while sending
/// it), so it carries the reprint mark.
bool Kavri_출력(const QString &GroupT, const QString &TableT, const QString &MemoT, const QString &RegDateT,
                const QString &PayTypeT, bool repeat = false);

/// The reprint mark, on its own line after the ticket's header.
inline constexpr char16_t ReprintLine[] = u"[재출력]";
/// `ticket` with the reprint mark after its header line ("< Kavri >"); the rest unchanged.
QString withReprintLine(const QString &ticket);
/// Whether `ticket` carries the mark where withReprintLine() puts it.
bool hasReprintLine(const QString &ticket);

/// Prints a board row's ticket again, marked as a reprint, on the printers that
/// would print it now: every named slot, when the row's table is selected. The
/// print log names it as a reprint. False when no printer would print it.
bool reprintTicket(const QString &TableT, const QString &MemoT, const QString &RegDateT,
                   const QString &PayTypeT);

} // namespace kavri
