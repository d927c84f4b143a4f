#pragma once

#include "HttpMessage.h"

#include <QMap>
#include <QString>

namespace kavri::sim {

/// The patch downloads under "/cc/": files of one folder, and the ways a test
/// can make the next downloads go wrong.
class PatchFiles
{
public:
    static constexpr qint64 maxFileBytes = 64 * 1024 * 1024;

    enum class Mode { None, Stall, Error, Oversize };

    struct Answer
    {
        HttpResponse response;
        /// Stall: only this many bytes of the body are sent, then the connection is held.
        qint64 stallAfter = -1;
    };

    explicit PatchFiles(QString folder = {}) : m_folder(std::move(folder)) {}

    bool enabled() const { return !m_folder.isEmpty(); }
    /// The answer to GET /cc/<name>.
    Answer answer(const QString &name);

    /// mode: none | stall (after `bytes` bytes) | error (a 404 page) | oversize (`bytes` extra bytes);
    /// count: how many downloads it applies to, 0 = until reset. Returns an error text or empty.
    QString setFault(const QString &mode, qint64 bytes, int count);
    /// The number of downloads asked for since start.
    int requests() const { return m_requests; }

private:
    QString m_folder;
    Mode m_mode = Mode::None;
    qint64 m_bytes = 0;
    int m_remaining = 0;
    bool m_unlimited = false;
    int m_requests = 0;
};

} // namespace kavri::sim
