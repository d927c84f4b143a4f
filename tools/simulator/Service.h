#pragma once

#include "Faults.h"
#include "HttpMessage.h"
#include "ShopState.h"

#include <QByteArrayList>

namespace kavri::sim {

/// What a connection does with a request.
struct Reply
{
    enum class Kind { Answer, Drop, Hang };
    Kind kind = Kind::Answer;
    HttpResponse response;
    int delayMs = 0;
};

/// Routes requests: the shop service under /program/, the customer pages under /qr/ and
/// the test controls under /sim/.
class Service
{
public:
    static constexpr qsizetype maxLogLines = 10000;
    static constexpr qsizetype maxSimTextLength = 4000;

    explicit Service(ShopState &state) : m_state(state) {}

    Reply handle(const HttpRequest &request, Scheme scheme);

    /// One log line per received /program/ request: "<scheme> <method> <target> <body>", where
    /// a backslash, CR and LF in the body are written as \\, \r and \n.
    const QByteArrayList &log() const { return m_log; }

private:
    Reply handleProgram(const HttpRequest &request, Scheme scheme);
    HttpResponse programAnswer(const HttpRequest &request);
    HttpResponse handleCustomer(const HttpRequest &request);
    HttpResponse handleSim(const HttpRequest &request);
    HttpResponse addRequestFromTest(const QMap<QString, QString> &form);
    HttpResponse setFaultFromTest(const QMap<QString, QString> &form);
    void record(const HttpRequest &request, Scheme scheme);

    ShopState &m_state;
    FaultPlan m_faults;
    QByteArrayList m_log;
};

} // namespace kavri::sim
