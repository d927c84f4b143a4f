#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kavri::test {

/// The outcome of one HTTP exchange made by a test.
struct SimReply
{
    bool answered = false; ///< a response (any status) arrived
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorString;

    QString text() const { return QString::fromUtf8(body); }
};

/// One line of the simulator's log of received /program/ requests.
struct ReceivedRequest
{
    QString scheme; ///< "http" or "https"
    QString method;
    QString target; ///< path and query as sent
    QByteArray body;
};

/// Runs the web service simulator kavri-sim for one test: starts it on free loopback ports with a
/// fresh self-signed certificate, and stops it (SIGTERM, then kill) when destroyed.
class Simulator
{
public:
    static inline const QString shopId = QStringLiteral("shop1");
    static inline const QString shopPassword = QStringLiteral("pass1");
    static inline const QString shopName = QStringLiteral("카브리 테스트점");
    /// Where the program fetches the open requests.
    static inline const QString listPath = QStringLiteral("/program/qrtablememolistloading.php");

    /// The shop above with the tables 1층/1, 1층/2, 1층/3 and 창가/10.
    static QStringList defaultArgs();

    explicit Simulator(const QStringList &args = defaultArgs());
    ~Simulator();
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    bool isRunning() const { return m_httpPort != 0; }
    /// Why the simulator did not start (its error output included).
    QString errorString() const { return m_error; }

    quint16 httpPort() const { return m_httpPort; }
    quint16 httpsPort() const { return m_httpsPort; }
    QString httpBase() const;  ///< "http://127.0.0.1:<port>"
    QString httpsBase() const; ///< "https://127.0.0.1:<port>"
    /// The simulator's self-signed certificate (PEM), to trust in tests that use HTTPS.
    QString caCertificatePath() const;
    /// The default TLS configuration plus the simulator's certificate as a trusted authority.
    QSslConfiguration trustingConfiguration() const;

    /// Adds an open request; regDate "yyyy-MM-dd hh:mm:ss" or empty for now; count is the quantity
    /// (0 to 9999). Returns its number, -1 on failure.
    qint64 addRequest(const QString &shop, const QString &table, const QString &text,
                      const QString &payType = {}, const QString &regDate = {}, int count = 1);
    /// mode: blank | error500 | slow | drop | hang | raw | none; count 0 = until reset;
    /// scheme: http | https | both; delayMs < 0: the simulator's default (15 s for slow).
    bool setFault(const QString &mode, int count = 1, const QString &scheme = QStringLiteral("both"),
                  int delayMs = -1);
    /// The next `count` /program/ requests are answered with exactly this text (status 200).
    bool setRawAnswer(const QString &body, int count = 1, const QString &scheme = QStringLiteral("both"));
    /// A fault (as setFault, with `body` as the answer of "raw") for the confirmations of request
    /// `number` alone: every other request is answered as usual and does not count.
    bool setConfirmFault(qint64 number, const QString &mode, int count = 0, const QString &body = {});
    bool reset();
    /// The next `count` downloads under /cc/ (0 = until changed) go wrong: mode stall (after
    /// `bytes` bytes), error (a 404 page), oversize (`bytes` extra bytes) or none. The files
    /// come from the folder given with --patch-dir.
    bool setPatchFault(const QString &mode, qint64 bytes = 0, int count = 1);
    QList<ReceivedRequest> receivedLog();
    /// How many of the received requests went to `target` (path and query as sent).
    int receivedCount(const QString &target);
    bool clearLog();

    /// Posts a form body (sent as given) and waits for the answer, at most timeoutMs.
    /// With `ssl` the exchange uses that TLS configuration.
    SimReply post(const QString &url, const QByteArray &body, int timeoutMs = 10000,
                  const QSslConfiguration *ssl = nullptr);
    SimReply get(const QString &url, int timeoutMs = 10000);
    /// A form body from pairs, each value percent-encoded as UTF-8.
    static QByteArray form(const QList<QPair<QString, QString>> &fields);

    /// Points the program at this simulator as a login to its shop would:
    /// gBaseURL, gLoginID and gLoginPW, and GetWinHttp with a stage limit of
    /// `stageLimitMs` so a test of a misbehaving service ends soon.
    void logIn(int stageLimitMs = 3000) const;
    /// Puts GetWinHttp's options back to the program's own.
    static void logOut();

    /// Stops the simulator now: SIGTERM, then kill after 5 s. Returns true when it ended by itself
    /// with exit code 0.
    bool stop();

private:
    SimReply exchange(const QString &url, const QByteArray *body, int timeoutMs,
                      const QSslConfiguration *ssl);
    SimReply control(const QString &path, const QByteArray &body);

    QTemporaryDir m_certFolder;
    QProcess m_process;
    quint16 m_httpPort = 0;
    quint16 m_httpsPort = 0;
    QString m_error;
};

} // namespace kavri::test
