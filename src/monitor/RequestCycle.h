#pragma once

#include "monitor/BoardHealth.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestList.h"
#include "stats/ResponseStats.h"

#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace kavri::monitor {

/// One request list cycle, `Load_Kavri`: fetch the shop's open requests, fill
/// the board, alert when a new request reached the top, and print the new ones
/// (while the alert lets events run, once its chime has started).
/// It works on a board that outlives the main window; the window lends it the
/// hooks below while it is open.
///
/// Cycles never nest or overlap: a cycle asked for while one runs (from a
/// confirmation, an option change, the expiry pass, or a poll tick while the
/// alert lets events run) is run right after the running one ends. Asks made
/// meanwhile become one cycle, silent only when every ask was silent.
class RequestCycle
{
public:
    /// What the window does for a cycle. Every hook may be left empty.
    struct Hooks
    {
        /// Brings the wait picture to the front, shows it and lets the window repaint.
        std::function<void()> showWait;
        std::function<void()> hideWait;
        /// The new-request alert for the banner as filled: highlight always, chime
        /// and speech unless `silent`. It may let events run for seconds.
        std::function<void(bool silent)> newRequestAlert;
        /// The expiry pass over the board as filled. A cycle it asks
        /// for (with Asker::Expiry) runs after this one.
        std::function<void()> expiryPass;
        /// The health line changed (after each cycle's answer and printing).
        std::function<void()> healthChanged;
        /// The board was filled from an answer (before the expiry pass and the alert).
        std::function<void()> boardFilled;
    };

    explicit RequestCycle(RequestBoard &board);

    /// The window lends its hooks when it opens and takes them back (empty
    /// hooks) before it goes away; a cycle in progress then no longer calls it.
    void setHooks(Hooks hooks);

    /// Who asks for a cycle. A cycle asked for by an expiry pass runs its own
    /// pass, but that pass must not ask again: a request the service keeps
    /// listing would otherwise reload without end.
    enum class Asker { Other, Expiry };

    /// Runs one cycle, then every cycle asked for while it ran. True when the
    /// (last) cycle completed; false when the ask was queued behind a running
    /// cycle, or the cycles were stopped by shutDown().
    bool Load_Kavri(bool mSilent, Asker asker = Asker::Other);

    bool isRunning() const { return m_running; }
    /// True while the running cycle was asked for by expiry passes only (asks
    /// that came together count as the expiry's only when all of them were).
    bool runningForExpiry() const { return m_running && m_currentForExpiry; }

    /// Logout or terminate: asks still queued are dropped, hooks are taken
    /// back, and a running cycle ends at its next step without printing,
    /// filling or alerting any more. Load_Kavri() does nothing afterwards.
    void shutDown();

    /// The expiry pass names each request it confirms (or tries to) in the
    /// running cycle: such a request is leaving and is never announced.
    void noteConfirmedByExpiry(const QString &numT);

    /// The requests followed from their first listing to their leaving, for the
    /// response-time statistics; confirmations the service accepted are told to it.
    stats::ResponseStats &responseStats() { return m_stats; }
    /// What the board's health line says; a change of its faults is logged once.
    BoardHealth &health() { return m_health; }
    /// Tells the window the health line changed, and logs a change of its faults.
    void healthUpdated();

    /// The answer text of the previous cycle; an answer over kKeptAnswerChars is
    /// remembered by its length and hash only (empty here).
    const QString &gQRT_PrevRequest() const { return m_prevRequest; }
    static constexpr qsizetype kKeptAnswerChars = 1024 * 1024;
    /// After an answer over this many characters (about 3,000 records, far beyond a
    /// shop's day) the cycle gives the freed heap back to the system.
    static constexpr qsizetype kTrimAfterChars = 1024 * 1024;
    /// The registration time on the board's top row after the previous cycle.
    const QString &gQRT_PrevTopRegDate() const { return m_prevTopRegDate; }

    /// The hour channel of the cycle's log lines: "_WinHttp_Req_" + hh.
    static QString logChannel(const QDateTime &now);

    /// At most this many skipped records are named in one cycle's log; the
    /// rest are counted in one line, so a broken answer cannot flood the log.
    static constexpr int kMalformedLinesPerCycle = 20;

private:
    // The answer's text as the cycle needs it besides its records: its length, and its
    // beginning for the log and the comparison with the last answer (all of a short one).
    struct AnswerHead
    {
        QString text;
        qsizetype chars = 0;
        void add(QStringView piece);
    };
    struct FetchedAnswer
    {
        QString address;
        QString body;
        quint32 t0 = 0;
        int status = 0;
        AnswerHead head;
        AnswerReading reading;
        bool sawList = false;
        bool sameAsBefore = false;
    };

    bool runOnce(bool mSilent);
    /// Asks the service for the list and reads its answer; nothing once shut down.
    std::optional<FetchedAnswer> fetchAnswer(const QDateTime &now);
    void logAnswer(const FetchedAnswer &fetched, const QString &channel) const;
    /// The health line, the statistics, the board and the expiry pass from the answer;
    /// the numbers the service lists, when the answer was a list.
    std::optional<QSet<QString>> showAnswer(FetchedAnswer &fetched, const QDateTime &now);
    /// The new-request alert, and the tickets of the new requests after its start.
    void alertAndPrint(bool mSilent, const AnswerReading &reading, const QString &kavriNumT);
    /// Runs the cycle's printing if it has not run yet.
    void printDue();
    void notePrinterHealth();
    /// Whether the answer equals the previous one; it becomes the previous one.
    bool rememberAnswer(const QString &text, qsizetype chars, const QByteArray &bytes);
    void printAndRecord(const AnswerReading &reading, const QString &kavriNumT);
    void askExpiryPass();
    void call(const std::function<void()> &hook) const;
    void newRequestCheck(bool mSilent);
    QSet<QString> numbersOnBoard() const;
    void rememberShown(const QSet<QString> *listed, const QSet<QString> &onBoard);

    RequestBoard &m_board;
    Hooks m_hooks;
    QString m_prevRequest;
    qsizetype m_prevRequestSize = -1;
    size_t m_prevRequestHash = 0;
    QString m_prevTopRegDate;
    /// Numbers the expiry pass of the running cycle confirmed or tried to.
    QSet<QString> m_confirmedByExpiry;
    /// Numbers that have been on the board and are still listed by the service.
    QSet<QString> m_shownNumbers;
    stats::ResponseStats m_stats;
    BoardHealth m_health;
    bool m_running = false;
    bool m_askPending = false;
    bool m_pendingSilent = true;
    bool m_pendingForExpiry = false;
    bool m_currentForExpiry = false;
    bool m_shutDown = false;
    /// The printing of the running cycle, until it starts.
    std::function<void()> m_duePrint;
    QTimer m_printSoon;
};

} // namespace kavri::monitor
