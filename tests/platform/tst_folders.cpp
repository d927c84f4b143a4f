// Folders made with the program's own modes whatever the umask; folders that exist are left alone.
#include "platform/Folders.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

int modeOf(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class TstFolders : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.path() + u'/' + name; }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void newFolders_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("made"); // the mode of each new folder
        QTest::newRow("umask 000") << 0 << 0700 << 0700;
        QTest::newRow("umask 022") << 022 << 0700 << 0700;
        QTest::newRow("umask 000, 0755 asked") << 0 << 0755 << 0755;
        // Group and others get no more than the umask lets through; the owner
        // always gets what was asked, or the folder would be of no use.
        QTest::newRow("umask 077, 0755 asked") << 077 << 0755 << 0700;
        QTest::newRow("umask 0277") << 0277 << 0700 << 0700;
    }
    void newFolders()
    {
        QFETCH(int, mask);
        QFETCH(int, mode);
        QFETCH(int, made);
        const QString base = path(QString::number(mask, 8) + u'-' + QString::number(mode, 8));
        const mode_t old = ::umask(mode_t(mask));
        const bool ok = platform::makeFolders(base + u"/.local/share/kavri-display"_s, mode_t(mode));
        const bool again = platform::makeFolders(base + u"/.local/share/kavri-display"_s, mode_t(mode));
        ::umask(old);
        QVERIFY(ok);
        QVERIFY(again);
        for (const QString &folder :
             {base, base + u"/.local"_s, base + u"/.local/share"_s, base + u"/.local/share/kavri-display"_s})
            QCOMPARE(modeOf(folder), made);
    }

    // A folder that exists keeps its mode, however wide; only the missing ones are made.
    void existingFoldersAreLeftAlone()
    {
        const QString home = path(u"home"_s);
        QVERIFY(QDir().mkpath(home + u"/.local"_s));
        QCOMPARE(::chmod(QFile::encodeName(home).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(home + u"/.local"_s).constData(), 0777), 0);
        const mode_t old = ::umask(0);
        const bool ok = platform::makeFolders(home + u"/.local/share/kavri-display"_s);
        ::umask(old);
        QVERIFY(ok);
        QCOMPARE(modeOf(home), 0755);
        QCOMPARE(modeOf(home + u"/.local"_s), 0777);
        QCOMPARE(modeOf(home + u"/.local/share"_s), 0700);
        QCOMPARE(modeOf(home + u"/.local/share/kavri-display"_s), 0700);
    }

    void whatCannotBeMade_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("a file in the way") << u"file/below"_s;
        QTest::newRow("the file itself") << u"file"_s;
        QTest::newRow("nothing named") << QString();
    }
    void whatCannotBeMade()
    {
        QFETCH(QString, target);
        QVERIFY(test::writeBytes(path(u"file"_s), "not a folder"));
        QVERIFY(!platform::makeFolders(target.isEmpty() ? QString() : path(target)));
        QVERIFY(QFileInfo(path(u"file"_s)).isFile());
    }
};

QTEST_GUILESS_MAIN(TstFolders)
#include "tst_folders.moc"
