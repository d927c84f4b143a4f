#include "services/IniFile.h"

#include "codec/Cp949.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::ini {
namespace {

QString decode(const QByteArray &bytes, IniEncoding encoding)
{
    return encoding == IniEncoding::Cp949 ? codec::fromCp949(bytes) : QString::fromUtf8(bytes);
}

QByteArray encode(const QString &text, IniEncoding encoding)
{
    return encoding == IniEncoding::Cp949 ? codec::toCp949(text) : text.toUtf8();
}

// One physical line: its bytes without the line break, and the break itself.
struct Line
{
    QByteArray body;
    QByteArray eol;
};

// Lines end in CR LF, LF or a lone CR (old Mac editors). CP949 trail bytes never
// take the values of CR or LF, so the split is safe on the raw bytes.
QList<Line> splitLines(const QByteArray &contents)
{
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = contents.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = contents.at(i);
        if (c != '\n' && c != '\r')
            continue;
        const qsizetype eolLength = (c == '\r' && i + 1 < n && contents.at(i + 1) == '\n') ? 2 : 1;
        lines.append({contents.mid(start, i - start), contents.mid(i, eolLength)});
        i += eolLength - 1;
        start = i + 1;
    }
    if (start < n)
        lines.append({contents.mid(start), {}});
    return lines;
}

// A UTF-8 byte order mark that an editor put before the first section.
constexpr char kBom[] = "\xEF\xBB\xBF";

QByteArray withoutBom(const QByteArray &contents)
{
    return contents.startsWith(kBom) ? contents.mid(3) : contents;
}

// Section name when the line is a header, else nothing.
std::optional<QString> sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0)
            return t.mid(1, close - 1).trimmed();
    }
    return std::nullopt;
}

bool isKeyLine(const QString &line, const QString &key, QString *value, bool exactValues = false)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0 || t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = exactValues ? line.mid(line.indexOf(u'=') + 1) : t.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

enum class FileState { Missing, Read, Refused };

struct Loaded
{
    FileState state = FileState::Missing;
    QByteArray bytes;
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
};

// Opens without waiting (O_NONBLOCK: a FIFO would block the open until a writer
// comes) and reads only a regular file, never more than MaxFileBytes.
Loaded load(const QString &path, bool followLinks)
{
    Loaded out;
    const QByteArray native = QFile::encodeName(path);
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW);
    const int fd = ::open(native.constData(), flags);
    if (fd < 0) {
        out.state = errno == ENOENT ? FileState::Missing : FileState::Refused;
        return out;
    }
    struct stat st
    {
    };
    out.state = FileState::Refused;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxFileBytes) {
        QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        // A file that grew past its size while read is not taken half.
        if (got <= st.st_size) {
            bytes.truncate(got);
            out.state = FileState::Read;
            out.bytes = bytes;
            out.mode = st.st_mode & 07777;
            out.uid = st.st_uid;
            out.gid = st.st_gid;
        }
    }
    ::close(fd);
    return out;
}

bool writeAll(int fd, const QByteArray &bytes, off_t at)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), at + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

mode_t modeOf(QFileDevice::Permissions p)
{
    mode_t m = 0;
    if (p & QFileDevice::ReadOwner)
        m |= S_IRUSR;
    if (p & QFileDevice::WriteOwner)
        m |= S_IWUSR;
    if (p & QFileDevice::ExeOwner)
        m |= S_IXUSR;
    if (p & QFileDevice::ReadGroup)
        m |= S_IRGRP;
    if (p & QFileDevice::WriteGroup)
        m |= S_IWGRP;
    if (p & QFileDevice::ExeGroup)
        m |= S_IXGRP;
    if (p & QFileDevice::ReadOther)
        m |= S_IROTH;
    if (p & QFileDevice::WriteOther)
        m |= S_IWOTH;
    if (p & QFileDevice::ExeOther)
        m |= S_IXOTH;
    return m;
}

// The new contents in a temporary file beside the target, renamed over it. The
// temporary file is created 0600 and only then given the file's own mode and owner.
// False with `noRoom` when the folder allows no temporary file.
bool replaceAtomically(const QString &target, const QByteArray &contents, const Loaded &old, mode_t newMode,
                       bool *noRoom)
{
    QByteArray name = QFile::encodeName(target) + ".XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        *noRoom = true;
        return false;
    }
    bool ok = true;
    if (old.state == FileState::Read) {
        // Root replacing the shop user's file hands it back to that user.
        if (old.uid != ::geteuid() || old.gid != ::getegid())
            (void)::fchown(fd, old.uid, old.gid);
        ok = ::fchmod(fd, old.mode) == 0;
    } else {
        ok = ::fchmod(fd, newMode) == 0;
    }
    ok = ok && writeAll(fd, contents, 0) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(name.constData(), QFile::encodeName(target).constData()) == 0;
    if (!ok)
        ::unlink(name.constData());
    return ok;
}

// The last resort: the whole new contents in one write over the old, then the
// length cut. A write that fails puts the old bytes back.
bool rewriteInPlace(const QString &target, const QByteArray &contents, const Loaded &old, bool followLinks)
{
    const int flags = O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW);
    const int fd = ::open(QFile::encodeName(target).constData(), flags);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        ok = writeAll(fd, contents, 0) && ::ftruncate(fd, off_t(contents.size())) == 0;
        if (!ok) {
            writeAll(fd, old.bytes, 0);
            (void)::ftruncate(fd, off_t(old.bytes.size()));
        }
        ok = ::fsync(fd) == 0 && ok;
    }
    ok = (::close(fd) == 0) && ok;
    return ok;
}

} // namespace

std::optional<QString> valueIn(const QByteArray &contents, const QString &section, const QString &key,
                               IniEncoding encoding, bool exactValues)
{
    bool inSection = false;
    bool seenSection = false;
    for (const Line &raw : splitLines(withoutBom(contents))) {
        const QString line = decode(raw.body, encoding);
        if (const auto name = sectionOf(line)) {
            // Only the first section of a name counts, as with the system's own INI functions.
            if (seenSection && inSection)
                return std::nullopt;
            inSection = sameName(*name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line, key, &value, exactValues))
            return value;
    }
    return std::nullopt;
}

std::optional<QByteArray> readFile(const QString &path, bool followLinks)
{
    Loaded file = load(path, followLinks);
    if (file.state != FileState::Read)
        return std::nullopt;
    return file.bytes;
}

std::optional<QString> read(const QString &path, const QString &section, const QString &key,
                            IniEncoding encoding)
{
    Access access;
    access.encoding = encoding;
    return read(path, section, key, access);
}

std::optional<QString> read(const QString &path, const QString &section, const QString &key,
                            const Access &access)
{
    const auto bytes = readFile(path, access.followLinks);
    if (!bytes)
        return std::nullopt;
    return valueIn(*bytes, section, key, access.encoding, access.exactValues);
}

QByteArray withValue(const QByteArray &original, const QString &section, const QString &key,
                     const QString &value, IniEncoding encoding)
{
    const bool bom = original.startsWith(kBom);
    QList<Line> lines = splitLines(bom ? original.mid(3) : original);
    // A line break inside a value would cut the file into bogus lines.
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray newLine = encode(key + u'=' + clean, encoding);

    QByteArray eol = "\r\n";
    for (const Line &l : lines) {
        if (!l.eol.isEmpty()) {
            eol = l.eol;
            break;
        }
    }

    qsizetype sectionStart = -1; // index of the header line
    qsizetype lastContent = -1;  // last key or comment line inside the section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = decode(lines[i].body, encoding);
        if (const auto name = sectionOf(line)) {
            if (sectionStart >= 0)
                break;
            if (sameName(*name, section)) {
                sectionStart = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (isKeyLine(line, key, nullptr)) {
            lines[i].body = newLine;
            if (lines[i].eol.isEmpty())
                lines[i].eol = eol;
            lastContent = -2;
            break;
        }
        if (!line.trimmed().isEmpty())
            lastContent = i;
    }

    if (lastContent == -2) {
        // replaced in place
    } else if (sectionStart >= 0) {
        if (lines[lastContent].eol.isEmpty())
            lines[lastContent].eol = eol;
        lines.insert(lastContent + 1, {newLine, eol});
    } else {
        if (!lines.isEmpty() && lines.last().eol.isEmpty())
            lines.last().eol = eol;
        lines.append({encode(u'[' + section + u']', encoding), eol});
        lines.append({newLine, eol});
    }

    QByteArray out = bom ? QByteArray(kBom) : QByteArray();
    for (const Line &l : lines)
        out += l.body + l.eol;
    return out;
}

bool write(const QString &path, const QString &section, const QString &key, const QString &value,
           IniEncoding encoding, QFileDevice::Permissions permissions)
{
    Access access;
    access.encoding = encoding;
    access.newFilePermissions = permissions;
    return write(path, section, key, value, access);
}

namespace {

// Replaces the file with `transform` applied to its current contents, in one step.
template <typename Transform> bool replaceFile(const QString &path, const Access &access, Transform transform)
{
    const Loaded old = load(path, access.followLinks);
    if (old.state == FileState::Refused)
        return false;
    // Through a link to a settings file the file is changed and the link stays.
    QString target = path;
    if (access.followLinks && old.state == FileState::Read && QFileInfo(path).isSymLink())
        target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return false;
    // Everything is computed before the file is touched.
    const QByteArray contents = transform(old.bytes);
    if (contents.size() > MaxFileBytes)
        return false;
    bool noRoom = false;
    if (replaceAtomically(target, contents, old, modeOf(access.newFilePermissions), &noRoom))
        return true;
    if (!noRoom || old.state != FileState::Read)
        return false;
    return rewriteInPlace(target, contents, old, access.followLinks);
}

} // namespace

bool write(const QString &path, const QString &section, const QString &key, const QString &value,
           const Access &access)
{
    return replaceFile(path, access, [&](const QByteArray &original) {
        return withValue(original, section, key, value, access.encoding);
    });
}

bool writeValues(const QString &path, const QString &section, const QList<QPair<QString, QString>> &values,
                 IniEncoding encoding, QFileDevice::Permissions permissions)
{
    Access access;
    access.encoding = encoding;
    access.newFilePermissions = permissions;
    return replaceFile(path, access, [&](const QByteArray &original) {
        QByteArray contents = original;
        for (const auto &[key, value] : values)
            contents = withValue(contents, section, key, value, encoding);
        return contents;
    });
}

bool writeFile(const QString &path, const QByteArray &contents, const Access &access)
{
    return replaceFile(path, access, [&](const QByteArray &) { return contents; });
}

} // namespace kavri::ini
