#pragma once

#include "printing/PrinterStatus.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

namespace kavri::monitor {

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
    /// The faults only, "" when all is well: what the main log hears of.
    QString faults() const;
    bool faulty() const { return !faults().isEmpty(); }
    /// Drawn in red: a fault, or a newer version waiting for a restart.
    bool wantsAttention() const { return faulty() || m_newVersionInstalled; }
    int failedPolls() const { return m_failedPolls; }

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
