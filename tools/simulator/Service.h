#pragma once

#include "Faults.h"
#include "HttpMessage.h"
#include "PatchFiles.h"
#include "ShopState.h"

#include <QByteArrayList>

namespace kavri::sim {

/// What a connection does with a request.
struct Reply
{
    enum class Kind { Answer, Drop, Hang, Stall };
    Kind kind = Kind::Answer;
    HttpResponse response;
    int delayMs = 0;
    qint64 stallAfter = 0; ///< Stall: body bytes sent before the connection is held
};

/// Routes requests: the shop service under /program/, the customer pages under /qr/,
/// the patch downloads under /cc/ and the test controls under /sim/.
class Service
{
public:
    static constexpr qsizetype maxLogLines = 10000;
    static constexpr qsizetype maxSimTextLength = 4000;

    explicit Service(ShopState &state, QString patchFolder = {})
        : m_state(state), m_patches(std::move(patchFolder))
    {
    }

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
    Reply handlePatch(const HttpRequest &request);
    void record(const HttpRequest &request, Scheme scheme);

    ShopState &m_state;
    FaultPlan m_faults;
    PatchFiles m_patches;
    QByteArrayList m_log;
};

} // namespace kavri::sim
