#include "codec/Cp949.h"
#include "services/Conversions.h"
#include "services/IniFile.h"
#include "services/Settings.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;
using kavri::test::readBytes;
using kavri::test::writeBytes;

namespace {
ino_t inodeOf(const QString &path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}

QByteArray cp(const QString &s)
{
    return codec::toCp949(s);
}

using test::FileSizeLimit;

struct stat statOf(const QString &path)
{
    struct stat st
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// A child that must not hang or eat the machine's memory while a fault is tried on it.
void boundChild()
{
    ::alarm(20);
#if !defined(__SANITIZE_ADDRESS__)
    const rlimit memory{512u << 20, 512u << 20};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
}

// Sets the application folder up so that the writer of `file` may write the file but
// create nothing beside it: as "nobody" when we are root, else by the folder's mode.
void lockFolderKeepFile(const kavri::test::TempAppFolder &app, const QString &file)
{
    if (kavri::test::canActAsOtherUser()) {
        ::chmod(QFile::encodeName(app.path() + u"/.."_s).constData(), 0755);
        ::chmod(QFile::encodeName(app.path()).constData(), 0755);
        ::chown(QFile::encodeName(file).constData(), kavri::test::otherUid(), kavri::test::otherGid());
    } else {
        ::chmod(QFile::encodeName(app.path()).constData(), 0555);
    }
}

int asTheFolderLockedUser(const std::function<int()> &work, int fileSizeLimit = -1)
{
    auto limited = [work, fileSizeLimit] {
        if (fileSizeLimit >= 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit size{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &size);
        }
        return work();
    };
    return kavri::test::canActAsOtherUser() ? kavri::test::runAsOtherUser(limited)
                                            : kavri::test::runInChild(limited);
}
} // namespace

class TstIniFile : public QObject
{
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // "<missing>" for none
        const QByteArray sample =
            cp(u"; comment\r\n[Set]\r\n DisplayPosX = 120 \r\ncalltime=15초\r\n\r\n"
               u"[프린터]\r\n이름0=주방\r\nKavriNumT=1042\r\n[SET]\r\nMiniIconX=5\r\n"_s);
        QTest::newRow("trimmed value") << sample << u"Set"_s << u"DisplayPosX"_s << u"120"_s;
        QTest::newRow("section case") << sample << u"SET"_s << u"CALLTIME"_s << u"15초"_s;
        QTest::newRow("korean section and key") << sample << u"프린터"_s << u"이름0"_s << u"주방"_s;
        QTest::newRow("first of two same sections") << sample << u"set"_s << u"MiniIconX"_s << u"<missing>"_s;
        QTest::newRow("missing key") << sample << u"Set"_s << u"nope"_s << u"<missing>"_s;
        QTest::newRow("missing section") << sample << u"Other"_s << u"calltime"_s << u"<missing>"_s;
        QTest::newRow("value with equals") << QByteArray("[A]\nk=a=b\n") << u"A"_s << u"k"_s << u"a=b"_s;
        QTest::newRow("empty value") << QByteArray("[A]\nk=\n") << u"A"_s << u"k"_s << QString();
        QTest::newRow("no final newline") << QByteArray("[A]\nk=v") << u"A"_s << u"k"_s << u"v"_s;
        QTest::newRow("key outside sections")
            << QByteArray("k=v\n[A]\n") << u"A"_s << u"k"_s << u"<missing>"_s;
        // Files saved by old editors.
        QTest::newRow("utf-8 byte order mark") << ("\xEF\xBB\xBF" + cp(u"[Set]\r\ncalltime=15초\r\n"_s))
                                               << u"Set"_s << u"calltime"_s << u"15초"_s;
        QTest::newRow("cr-only line ends")
            << QByteArray("[A]\rk=1\rj=2\r[B]\rj=3\r") << u"A"_s << u"j"_s << u"2"_s;
        QTest::newRow("cr-only last line") << QByteArray("[A]\rk=1\rj=2") << u"A"_s << u"j"_s << u"2"_s;
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const auto v = ini::valueIn(file, section, key, IniEncoding::Cp949);
        QCOMPARE(v.has_value() ? *v : u"<missing>"_s, expected);
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray base =
            "; shop settings\r\n[Set]\r\nDisplayPosX=1\r\nunknown=keep me\r\n\r\n[Other]\r\nx=y\r\n";
        QTest::newRow("replace in place keeps the rest")
            << base << u"set"_s << u"displayposx"_s << u"300"_s
            << QByteArray("; shop settings\r\n[Set]\r\ndisplayposx=300\r\nunknown=keep "
                          "me\r\n\r\n[Other]\r\nx=y\r\n");
        QTest::newRow("new key goes after the section's last line")
            << base << u"Set"_s << u"DisplayPosY"_s << u"7"_s
            << QByteArray(
                   "; shop settings\r\n[Set]\r\nDisplayPosX=1\r\nunknown=keep me\r\nDisplayPosY=7\r\n\r\n"
                   "[Other]\r\nx=y\r\n");
        QTest::newRow("new section at the end") << base << u"프린터"_s << u"이름0"_s << u"카운터"_s
                                                << (base + cp(u"[프린터]\r\n이름0=카운터\r\n"_s));
        QTest::newRow("new file") << QByteArray() << u"Set"_s << u"a"_s << u"1"_s
                                  << QByteArray("[Set]\r\na=1\r\n");
        QTest::newRow("keeps lf line ends")
            << QByteArray("[A]\nk=1\n") << u"A"_s << u"j"_s << u"2"_s << QByteArray("[A]\nk=1\nj=2\n");
        QTest::newRow("last line without break")
            << QByteArray("[A]\r\nk=1") << u"A"_s << u"j"_s << u"2"_s << QByteArray("[A]\r\nk=1\r\nj=2\r\n");
        // A line break in a value would otherwise forge a new key or section.
        QTest::newRow("line break in value") << QByteArray("[A]\r\n") << u"A"_s << u"k"_s << u"x\r\n[B]"_s
                                             << QByteArray("[A]\r\nk=x  [B]\r\n");
        QTest::newRow("undecodable bytes elsewhere survive")
            << QByteArray("[A]\r\nraw=\xff\xfe\r\nk=1\r\n") << u"A"_s << u"k"_s << u"2"_s
            << QByteArray("[A]\r\nraw=\xff\xfe\r\nk=2\r\n");
        QTest::newRow("byte order mark kept") << QByteArray("\xEF\xBB\xBF[A]\r\nk=1\r\n") << u"A"_s << u"k"_s
                                              << u"2"_s << QByteArray("\xEF\xBB\xBF[A]\r\nk=2\r\n");
        QTest::newRow("cr-only line ends kept") << QByteArray("[A]\rk=1\r[B]\r") << u"A"_s << u"j"_s << u"2"_s
                                                << QByteArray("[A]\rk=1\rj=2\r[B]\r");
    }
    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        if (!before.isEmpty())
            QVERIFY(writeBytes(path, before));
        QVERIFY(ini::write(path, section, key, value));
        QCOMPARE(readBytes(path), after);
        QCOMPARE(ini::read(path, section, key).value_or(u"<missing>"_s),
                 QString(value).replace(u'\r', u' ').replace(u'\n', u' '));
    }

    void writeReplacesFileWholeAndLeavesNoTemporary()
    {
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        QVERIFY(writeBytes(path, "[Set]\r\na=1\r\n"));
        const ino_t inodeBefore = inodeOf(path);
        QVERIFY(ini::write(path, u"Set"_s, u"a"_s, u"2"_s));
        // A new file renamed over the old one: a crash mid-write can never leave it half written.
        QVERIFY(inodeOf(path) != inodeBefore);
        QCOMPARE(QDir(app.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Zarazo.cfg"_s});
    }

    void writeValuesSetsManyKeysInOneReplace()
    {
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        QVERIFY(
            writeBytes(path, cp(u"[Set]\r\na=1\r\n[프린터]\r\n포트0=2\r\n; 메모\r\n[Other]\r\nx=y\r\n"_s)));
        const ino_t inodeBefore = inodeOf(path);
        QVERIFY(ini::writeValues(path, u"프린터"_s,
                                 {{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"3"_s}, {u"새키"_s, QString()}}));
        QCOMPARE(readBytes(path),
                 cp(u"[Set]\r\na=1\r\n[프린터]\r\n포트0=3\r\n; 메모\r\n이름0=카운터\r\n새키=\r\n"
                    "[Other]\r\nx=y\r\n"_s));
        QVERIFY(inodeOf(path) != inodeBefore);
        QVERIFY(ini::writeValues(app.filePath(u"new.cfg"_s), u"S"_s, {{u"k"_s, u"v"_s}}));
        QCOMPARE(readBytes(app.filePath(u"new.cfg"_s)), QByteArray("[S]\r\nk=v\r\n"));
    }

    void aWriteThatFailsPartwayLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<bool>("many");
        QTest::newRow("one key") << false;
        QTest::newRow("many keys") << true;
    }
    void aWriteThatFailsPartwayLeavesTheFileAsItWas()
    {
        QFETCH(bool, many);
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        const QByteArray before = "[Set]\r\na=1\r\n";
        QVERIFY(writeBytes(path, before));
        const QString big(2000, u'x');
        bool written = true;
        {
            const FileSizeLimit limit(before.size() + 20);
            written = many ? ini::writeValues(path, u"Set"_s, {{u"b"_s, u"2"_s}, {u"c"_s, big}})
                           : ini::write(path, u"Set"_s, u"b"_s, big);
        }
        QVERIFY(!written);
        QCOMPARE(readBytes(path), before);
        QCOMPARE(QDir(app.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Zarazo.cfg"_s});
    }

    void readIniCutsAt254Bytes()
    {
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        const QString ascii(300, u'x');
        WriteINI(u"Set"_s, u"long"_s, ascii, path);
        QCOMPARE(ReadINI(u"Set"_s, u"long"_s, path), ascii.left(254));
        QCOMPARE(CfgMain.readValue(u"Set"_s, u"long"_s), QString()); // CfgMain not bound here
        // 1 + 127 syllables = 255 bytes: the cut drops the last syllable rather than half of it.
        const QString korean = u"a"_s + QString(127, QChar(0xAC00));
        WriteINI(u"Set"_s, u"kor"_s, korean, path);
        QCOMPARE(ReadINI(u"Set"_s, u"kor"_s, path), korean.left(127));
        WriteINI(u"Set"_s, u"calltime"_s, u"15초"_s, path);
        QCOMPARE(ReadINI(u"Set"_s, u"calltime"_s, path), u"15초"_s);
        QCOMPARE(ReadINI(u"Set"_s, u"absent"_s, path), QString());
        QCOMPARE(ReadINI(u"Set"_s, u"a"_s, app.filePath(u"missing.cfg"_s)), QString());
        // Stored in the legacy code page.
        QVERIFY(readBytes(path).contains(codec::toCp949(u"15초"_s)));
    }

    // Only a regular file of a sane size is read; anything else reads as missing,
    // quickly, and is never replaced by a write.
    void specialFilesAreNotRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << u"fifo"_s;
        QTest::newRow("link to /dev/zero") << u"zero"_s;
        QTest::newRow("folder") << u"folder"_s;
        QTest::newRow("over the size cap") << u"huge"_s;
    }
    void specialFilesAreNotRead()
    {
        QFETCH(QString, kind);
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        const QByteArray native = QFile::encodeName(path);
        QByteArray huge;
        if (kind == u"fifo"_s) {
            QCOMPARE(::mkfifo(native.constData(), 0644), 0);
        } else if (kind == u"zero"_s) {
            QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        } else if (kind == u"folder"_s) {
            QVERIFY(QDir().mkdir(path));
        } else {
            huge = "[Set]\r\na=1\r\n" + QByteArray(ini::MaxFileBytes, ';');
            QVERIFY(test::writeBytes(path, huge));
        }
        const struct stat before = statOf(path);

        // In a child: the old reader hung on the FIFO and ran out of memory on /dev/zero.
        const int rc = test::runInChild(
            [&] {
                if (ini::read(path, u"Set"_s, u"a"_s).has_value() ||
                    !ReadINI(u"Set"_s, u"a"_s, path).isEmpty())
                    return 1;
                CommonUtil cfg;
                cfg.setFileName(path);
                if (cfg.readValue(u"Set"_s, u"a"_s, u"def"_s) != u"def"_s)
                    return 2;
                return ini::write(path, u"Set"_s, u"a"_s, u"2"_s) ? 3 : 0;
            },
            boundChild);
        QCOMPARE(rc, 0);

        const struct stat after = statOf(path);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        if (!huge.isEmpty())
            QCOMPARE(test::readBytes(path).size(), huge.size());
    }

    // Without room for a temporary file the value is written in place; a write that
    // fails there leaves the file exactly as it was, never empty or half new.
    void inPlaceFallback()
    {
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        const QByteArray original = cp(u"[Set]\r\nDisplayPosX=1\r\n[프린터]\r\nKavriNumT=1042\r\n"_s);
        QVERIFY(test::writeBytes(path, original));
        lockFolderKeepFile(app, path);

        // The file-size limit stops the write halfway, as a full disk or a crash would.
        const int limit = int(original.size()) + 4;
        const int failed = asTheFolderLockedUser(
            [&] { return ini::write(path, u"Set"_s, u"Footer"_s, QString(200, u'x')) ? 1 : 0; }, limit);
        QCOMPARE(failed, 0);
        QCOMPARE(test::hex(test::readBytes(path)), test::hex(original));

        const int written = asTheFolderLockedUser(
            [&] { return ini::write(path, u"프린터"_s, u"KavriNumT"_s, u"1043"_s) ? 0 : 1; });
        QCOMPARE(written, 0);
        QCOMPARE(ReadINI(u"프린터"_s, u"KavriNumT"_s, path), u"1043"_s);
        QCOMPARE(ReadINI(u"Set"_s, u"DisplayPosX"_s, path), u"1"_s);
        QCOMPARE(QDir(app.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"Zarazo.cfg"_s});
        ::chmod(QFile::encodeName(app.path()).constData(), 0755);
    }

    // A replace made by root keeps the file's owner, group and mode, so the shop's
    // user can still read and change its own settings.
    void replaceKeepsOwnerAndMode()
    {
        if (!test::canActAsOtherUser())
            QSKIP("needs root to own a file as another user");
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        QVERIFY(test::writeBytes(path, "[Set]\r\na=1\r\n"));
        const QByteArray native = QFile::encodeName(path);
        QCOMPARE(::chown(native.constData(), test::otherUid(), test::otherGid()), 0);
        QCOMPARE(::chmod(native.constData(), 0640), 0);
        const ino_t inodeBefore = inodeOf(path);
        QVERIFY(ini::write(path, u"Set"_s, u"a"_s, u"2"_s));
        const struct stat st = statOf(path);
        QVERIFY(st.st_ino != inodeBefore);
        QCOMPARE(st.st_uid, test::otherUid());
        QCOMPARE(st.st_gid, test::otherGid());
        QCOMPARE(st.st_mode & 07777, 0640u);
        QCOMPARE(ReadINI(u"Set"_s, u"a"_s, path), u"2"_s);
    }

    void settingsComponent()
    {
        test::TempAppFolder app;
        CommonUtil cfg;
        cfg.setFileName(app.filePath(u"Patch.ini"_s));
        QCOMPARE(cfg.readValue(u"Patch"_s, u"Version"_s, u"def"_s), u"def"_s);
        cfg.writeValue(u"Patch"_s, u"Version"_s, QString());
        QCOMPARE(cfg.readValue(u"Patch"_s, u"Version"_s, u"def"_s), QString()); // present but empty
        cfg.writeValue(u"Upgrade"_s, u"ForceUpgrade"_s, true);
        QVERIFY(ToBool(cfg.readValue(u"upgrade"_s, u"forceupgrade"_s)));
        cfg.writeValue(u"Set"_s, u"n"_s, 42);
        QCOMPARE(cfg.readValue(u"Set"_s, u"n"_s), u"42"_s);
        // Route 1 and route 2 read each other's values.
        QCOMPARE(ReadINI(u"SET"_s, u"N"_s, cfg.fileName()), u"42"_s);
        // The work instance starts on its own default file in the application folder.
        QCOMPARE(CfgWork.fileName(), app.filePath(u"CommonUtil.ini"_s));
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_inifile.moc"
