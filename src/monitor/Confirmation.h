#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace kavri::monitor {

class PollLoop;
class RequestBoard;
class RequestCycle;

/// What the service made of one confirmation.
enum class ConfirmResult {
    Confirmed, ///< the answer holds "성공"
    Refused,   ///< an answer without it: the service will not take this request now
    NoAnswer,  ///< none after the retries, or a time-out or gateway status: the service hangs
};

/// Confirms one request at the service: posts its number and writes the request
/// and the answer to "_WinHttp_Req".
ConfirmResult confirmRequest(const QString &numT);
/// confirmRequest(numT) gave Confirmed.
bool Check_Kavri(const QString &numT);

/// The numbers of the marked rows that show a request, in row order, at most one
/// per row. A marked row that shows nothing gives nothing.
QStringList markedRequestNumbers(const RequestBoard &board);

/// The row marks and the confirm button `CMD(0)` as a plain state object. It
/// lives beside the board, the cycle and the poll loop, outside the window; the
/// window draws the button from it and passes the clicks of the row cells and
/// of the button on.
class ConfirmFlow : public QObject
{
    Q_OBJECT

public:
    /// What the window does around each confirmation: the wait picture. Either
    /// may be left empty.
    struct Hooks
    {
        std::function<void()> showWait;
        std::function<void()> hideWait;
    };

    ConfirmFlow(RequestBoard &board, RequestCycle &cycle, PollLoop &loop, QObject *parent = nullptr);

    /// The session sets its hooks while a window is attached and takes them
    /// back (empty hooks) when the window goes.
    void setHooks(Hooks hooks);

    /// A click on any cell of board row `index`: toggles the row's mark and
    /// makes the next poll one full interval away. A row that shows no request
    /// (or is not in use) changes nothing.
    void rowClicked(int index);

    /// The confirm button. Only index 0 has an action: it reports the marked
    /// requests in row order, then reloads the list once without sound. A
    /// press while a cycle runs, or while the button is disabled by its own
    /// running press, leaves marks and button as they were.
    void CMD_Click(int index);

    /// Shown while any row is marked, and while its own press runs.
    bool buttonVisible() const { return m_visible; }
    /// False only while its own press is being handled.
    bool buttonEnabled() const { return m_enabled; }

signals:
    void buttonChanged();
    /// A press of the confirm button sent its marked requests (whatever the service answered).
    void confirmed();

private:
    void setButton(bool visible, bool enabled);
    bool confirmOne(const QString &numT);
    void confirmMarked();

    RequestBoard &m_board;
    RequestCycle &m_cycle;
    PollLoop &m_loop;
    Hooks m_hooks;
    bool m_visible = false;
    bool m_enabled = true;
    bool m_confirming = false;
};

} // namespace kavri::monitor
