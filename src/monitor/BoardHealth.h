#pragma once

#include "printing/PrinterStatus.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace kavri::monitor {

/// One thing the health line says, whole and in a short form for a narrow line.
struct HealthItem
{
    QString full;
    QString brief;

    bool operator==(const HealthItem &) const = default;
};

/// The health line as drawn: its lines, and whether every item is on them.
struct HealthLines
{
    QStringList lines;
    bool complete = true;
};

/// Packs `items` into lines, joined by " · ", that `fits` accepts: the whole
/// forms if they all fit, else the short ones, else the short ones without the
/// last item (the time of the last answer); on two lines where they fit, else
/// on up to `maxLines`. Only when even that does not fit is `complete` false
/// (the window ends it in "…").
HealthLines healthLines(const QList<HealthItem> &items, const std::function<bool(const QString &)> &fits,
                        int maxLines);

/// What the board's health line says: when the service last answered with a
/// list, and, only when something is wrong, what. A plain state object fed by
/// the cycle, the printing and the alert; the window draws text() in grey, or
/// in red while faulty().
class BoardHealth
{
public:
    /// An answer the request list reader accepted (an empty list included).
    void pollSucceeded(const QDateTime &now);
    /// No answer, a blank one, or one that is not a list.
    void pollFailed();
    /// The service turned the shop's login away.
    void setLoginRejected(bool rejected);
    /// Whether the last ticket of printer slot `slot` failed.
    void setPrinterFailed(const QString &slot, bool failed);
    /// What the printer of slot `slot` last said of itself. Paper end, cover open
    /// and offline are faults ("주방 프린터 용지 없음"); paper near end is a note
    /// in the calm colour ("주방 프린터 용지 부족").
    void setPrinterCondition(const QString &slot, PrinterCondition condition);
    /// Forgets the failures and conditions of slots not named in `names` (a slot renamed or emptied).
    void keepPrinters(const QStringList &names);
    /// Tickets waiting to be sent again.
    void setUnprinted(qsizetype count);
    /// The speech engine cannot speak (no engine, no Korean voice, no helper).
    void setSpeechUnavailable(bool unavailable);
    /// A newer program was installed over the running one: it runs at the next start.
    void setNewVersionInstalled(bool installed);

    /// "확인 14:02:10" (or "확인 전" before the first list), then each fault after " · ",
    /// then the notes: printers low on paper, a newer version installed.
    QString text() const;
    /// What the line says, in the order a shop acts on it: printers, then tickets
    /// not printed, then the service, then speech, the note of a newer version, and
    /// last the time of the last answer.
    QList<HealthItem> items() const;
    /// The faults only, "" when all is well: what the main log hears of.
    QString faults() const;
    bool faulty() const { return !faults().isEmpty(); }
    /// Drawn in red: a fault, or a newer version waiting for a restart.
    bool wantsAttention() const { return faulty() || m_newVersionInstalled; }

    /// True once for each change of faults() since the last call, with the new
    /// faults in `now`; the caller writes it to the log (one line a change).
    bool takeChange(QString *now);

private:
    QString describeFaults(bool withCount) const;

    QDateTime m_lastSuccess;
    int m_failedPolls = 0;
    bool m_loginRejected = false;
    QMap<QString, bool> m_printerFailed;                 ///< by slot name, sorted so the text is stable
    QMap<QString, PrinterCondition> m_printerConditions; ///< by slot name; only what is worth a word
    qsizetype m_unprinted = 0;
    bool m_speechUnavailable = false;
    bool m_newVersionInstalled = false;
    QString m_reported;
};

} // namespace kavri::monitor
