#include "PatchFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavri::sim {
namespace {

HttpResponse notFoundPage()
{
    return htmlResponse(404, u"<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head><body>\n"
                             "<h1>Not Found</h1>\n<p>The requested URL was not found on this server.</p>\n"
                             "</body></html>\n"_s);
}

} // namespace

QString PatchFiles::setFault(const QString &mode, qint64 bytes, int count)
{
    Mode m = Mode::None;
    if (mode == u"stall"_s)
        m = Mode::Stall;
    else if (mode == u"error"_s)
        m = Mode::Error;
    else if (mode == u"oversize"_s)
        m = Mode::Oversize;
    else if (mode != u"none"_s)
        return u"알 수 없는 mode: "_s + mode;
    if (bytes < 0 || bytes > maxFileBytes || count < 0)
        return u"bytes 또는 count가 범위를 벗어났습니다."_s;
    m_mode = m;
    m_bytes = bytes;
    m_unlimited = count == 0;
    m_remaining = count;
    return {};
}

PatchFiles::Answer PatchFiles::answer(const QString &name)
{
    ++m_requests;
    Mode mode = Mode::None;
    if (m_mode != Mode::None && (m_unlimited || m_remaining > 0)) {
        mode = m_mode;
        if (!m_unlimited && --m_remaining == 0)
            m_mode = Mode::None;
    }
    if (mode == Mode::Error)
        return {notFoundPage(), -1};
    // Only plain names inside the folder; nothing outside it is ever served.
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.startsWith(u'.'))
        return {notFoundPage(), -1};
    const QFileInfo info(QDir(m_folder).filePath(name));
    if (!info.isFile() || info.size() > maxFileBytes)
        return {notFoundPage(), -1};
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {notFoundPage(), -1};
    HttpResponse response{200, "application/octet-stream", file.readAll()};
    if (mode == Mode::Oversize)
        response.body += QByteArray(m_bytes, 'Z');
    return {response, mode == Mode::Stall ? std::min<qint64>(m_bytes, response.body.size()) : -1};
}

} // namespace kavri::sim
