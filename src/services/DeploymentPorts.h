#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Writing the [Ports] lines of Deploy.ini from the printer settings window.
namespace kavri {

/// `original` (Deploy.ini, UTF-8) with "COMN=line" set for every entry of
/// `lines` in section [Ports]; every other line, comment and key byte for byte.
/// An empty `original` becomes a file of just [Ports].
QByteArray withPortLines(const QByteArray &original, const QMap<int, QString> &lines);

/// What writing the [Ports] lines came to; `failure` says why in Korean.
struct PortsWrite
{
    bool written = false;
    QString failure;
};

/// Sets the lines in the Deploy.ini at `path` with the one atomic replace of
/// every settings file, creating it when missing. A link, a folder, a FIFO or
/// a device in its place is not written through; nothing changes on a failure.
PortsWrite writePortLines(const QString &path, const QMap<int, QString> &lines);

} // namespace kavri
