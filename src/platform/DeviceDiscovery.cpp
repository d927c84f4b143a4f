#include "platform/DeviceDiscovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool accountIsMember(gid_t gid)
{
    const struct passwd *pw = ::getpwuid(::getuid());
    if (!pw)
        return false;
    const gid_t primary = pw->pw_gid;
    if (primary == gid)
        return true;
    int count = 64;
    QList<gid_t> groups(count);
    // Too small a list tells the size it needs; one more try with that.
    if (::getgrouplist(pw->pw_name, primary, groups.data(), &count) < 0) {
        groups.resize(qBound(1, count, 65536));
        count = int(groups.size());
        if (::getgrouplist(pw->pw_name, primary, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(count);
    return groups.contains(gid);
}

// Up to MaxScannedEntries names of one folder, without "." and "..".
QStringList folderNames(const QString &folder)
{
    QStringList names;
    DIR *dir = ::opendir(native(folder).constData());
    if (!dir)
        return names;
    int scanned = 0;
    while (const struct dirent *e = ::readdir(dir)) {
        if (++scanned > MaxScannedEntries)
            break;
        const QString name = QFile::decodeName(e->d_name);
        if (name != u"."_s && name != u".."_s)
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

bool isCharDevice(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(native(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

const QRegularExpression &serialName()
{
    static const QRegularExpression re(u"^tty(USB|ACM|S)([0-9]{1,4})$"_s);
    return re;
}

// A 16550-style port that the kernel found no chip behind has type 0; every PC lists 4 or 32 of them.
bool hasSerialPort(const QString &name, const QString &sysRoot)
{
    QFile type(sysRoot + u"/class/tty/"_s + name + u"/type"_s);
    if (!type.open(QIODevice::ReadOnly))
        return true;
    return type.read(16).trimmed() != "0";
}

// Order: by-id links by name, then ttyUSB, ttyACM, usb/lp, ttyS, each by number.
std::tuple<int, int, QString> rank(const FoundDevice &d)
{
    const QString name = QFileInfo(d.path).fileName();
    if (!d.leadsTo.isEmpty())
        return {0, 0, name};
    const QRegularExpressionMatch m = serialName().match(name);
    if (m.hasMatch()) {
        const QString kind = m.captured(1);
        return {kind == u"USB"_s ? 1 : kind == u"ACM"_s ? 2 : 4, m.captured(2).toInt(), {}};
    }
    return {3, name.mid(2).toInt(), {}};
}

FoundDevice found(const QString &path, DeviceClass kind, const QString &leadsTo = {})
{
    return {path, leadsTo, kind, deviceAccess(path)};
}

void addSerialLines(const QString &devRoot, const QString &sysRoot, QList<FoundDevice> &out)
{
    for (const QString &name : folderNames(devRoot)) {
        const QString path = devRoot + u'/' + name;
        if (!serialName().match(name).hasMatch() || !isCharDevice(path))
            continue;
        if (name.startsWith(u"ttyS"_s) && !hasSerialPort(name, sysRoot))
            continue;
        out.append(found(path, DeviceClass::Serial));
    }
}

void addUsbPrinters(const QString &devRoot, QList<FoundDevice> &out)
{
    static const QRegularExpression lp(u"^lp([0-9]{1,4})$"_s);
    const QString folder = devRoot + u"/usb"_s;
    for (const QString &name : folderNames(folder)) {
        const QString path = folder + u'/' + name;
        if (lp.match(name).hasMatch() && isCharDevice(path))
            out.append(found(path, DeviceClass::UsbPrinter));
    }
}

// A by-id link counts when it names, in one step, a serial line directly under devRoot.
void addByIdLinks(const QString &devRoot, QList<FoundDevice> &out)
{
    const QString folder = devRoot + u"/serial/by-id"_s;
    for (const QString &name : folderNames(folder)) {
        const QString link = folder + u'/' + name;
        struct stat st
        {
        };
        if (::lstat(native(link).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            continue;
        // One readlink, never resolved further: a chain of links is not followed.
        QByteArray target(1024, '\0');
        const ssize_t n = ::readlink(native(link).constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            continue;
        target.truncate(n);
        const QString cleaned = QDir::cleanPath(QDir(folder).absoluteFilePath(QFile::decodeName(target)));
        const QFileInfo device(cleaned);
        if (QDir::cleanPath(device.path()) != QDir::cleanPath(devRoot))
            continue;
        if (!serialName().match(device.fileName()).hasMatch() || !isCharDevice(cleaned))
            continue;
        out.append(found(link, DeviceClass::Serial, cleaned));
    }
}

} // namespace

DeviceAccess deviceAccess(const QString &path)
{
    DeviceAccess a;
    if (path.isEmpty())
        return a;
    const QByteArray p = native(path);
    struct stat st
    {
    };
    // A [Ports] line may name a by-id link; the device is what it leads to.
    if (::stat(p.constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return a;
    a.exists = true;
    a.writable = ::access(p.constData(), W_OK) == 0;
    a.groupMayWrite = (st.st_mode & S_IWGRP) != 0;
    if (const struct group *g = ::getgrgid(st.st_gid))
        a.group = QString::fromLocal8Bit(g->gr_name);
    a.accountInGroup = accountIsMember(st.st_gid);
    return a;
}

QString accessNote(const DeviceAccess &a)
{
    if (!a.exists)
        return u"장치가 없습니다"_s;
    if (a.writable)
        return u"사용할 수 있습니다"_s;
    // Joining a group that cannot write the device would not help; root's group never should be joined.
    if (!a.groupMayWrite || a.group.isEmpty() || a.group == u"root"_s)
        return u"권한 없음"_s;
    const QString note = u"권한 없음: "_s + a.group + u" 그룹"_s;
    // Group membership reaches a session only at its next login.
    return a.accountInGroup ? note + u" (다시 로그인해 주세요)"_s : note;
}

QList<FoundDevice> findDevices(const QString &devRoot, const QString &sysRoot)
{
    QList<FoundDevice> out;
    addByIdLinks(devRoot, out);
    addSerialLines(devRoot, sysRoot, out);
    addUsbPrinters(devRoot, out);
    std::sort(out.begin(), out.end(),
              [](const FoundDevice &a, const FoundDevice &b) { return rank(a) < rank(b); });
    if (out.size() > MaxFoundDevices)
        out.resize(MaxFoundDevices);
    return out;
}

CharDeviceKind charDeviceKind(const QString &path, const QString &sysRoot)
{
    struct stat st
    {
    };
    if (::stat(native(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return CharDeviceKind::Unknown;
    const QString entry = sysRoot + u"/dev/char/"_s + QString::number(major(st.st_rdev)) + u':' +
                          QString::number(minor(st.st_rdev)) + u"/subsystem"_s;
    const QString subsystem = QFile::symLinkTarget(entry);
    if (subsystem.isEmpty())
        return CharDeviceKind::Unknown;
    return QFileInfo(subsystem).fileName() == u"tty"_s ? CharDeviceKind::Terminal
                                                       : CharDeviceKind::NotTerminal;
}

} // namespace kavri::platform
