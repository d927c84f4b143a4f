#pragma once

#include <QString>

#include <array>
#include <optional>

namespace kavri {

/// What a two-way printer says about itself, worst first where it matters:
/// paper end, cover open and offline hold its tickets back; paper near end
/// needs no action yet.
enum class PrinterCondition {
    Unknown, ///< no answer (a one-way line, or a printer that did not answer in time)
    Ready,
    PaperNearEnd,
    PaperEnd,
    CoverOpen,
    Offline,
};

/// The answers to the real-time status requests DLE EOT 1 to 4 (index 0 is
/// n = 1), nothing where none came. An answer that is not a status byte (its
/// fixed bits wrong) counts as none; without a good answer to n = 1 nothing is known.
PrinterCondition conditionFromAnswers(const std::array<std::optional<quint8>, 4> &answers);

/// Whether a ticket sent now would be lost: the printer takes no paper out.
bool holdsTickets(PrinterCondition condition);

/// How the board's health line and the connection check say it: "용지 없음",
/// "덮개 열림", "오프라인", "용지 부족", "용지 정상", "상태 응답 없음".
QString conditionText(PrinterCondition condition);

} // namespace kavri
