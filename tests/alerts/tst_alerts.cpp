#include "alerts/Alerts.h"
#include "platform/Audio.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "support/FileBytes.h"
#include "support/RecordingAudio.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

using namespace Qt::StringLiterals;
namespace platform = kavri::platform;
namespace alerts = kavri::alerts;
using kavri::test::readBytes;

namespace {

const QString BuiltChime = QStringLiteral(KAVRI_BINARY_DIR) + u"/src/sound/DDD.wav"_s;

/// Records when the chime was started, so the pause before the speech shows.
class TimedPlayer final : public platform::ChimePlayer
{
public:
    void play(const QString &path) override
    {
        played.append(path);
        tick = kavri::GetTick();
    }
    QStringList played;
    quint32 tick = 0;
};

/// A temporary application folder with its sound folder, the trace, and the
/// test doubles installed.
struct AlertFixture
{
    AlertFixture()
    {
        kavri::gSoundPath = app.filePath(u"sound"_s);
        QDir().mkpath(kavri::gSoundPath);
        trace = app.filePath(u"trace.txt"_s);
        qputenv("KAVRI_AUDIO_TRACE", QFile::encodeName(trace));
        speaker.setWhileSpeaking([this] { speechTick = kavri::GetTick(); });
        platform::setChimePlayer(&player);
        platform::setSpeaker(&speaker);
    }
    ~AlertFixture()
    {
        qunsetenv("KAVRI_AUDIO_TRACE");
        platform::setChimePlayer(nullptr);
        platform::setSpeaker(nullptr);
        kavri::gSoundPath.clear();
    }
    QString soundChime() const { return kavri::gSoundPath + u"/DDD.wav"_s; }
    QString appChime() const { return app.filePath(u"DDD.wav"_s); }
    QByteArray traceBytes() const { return readBytes(trace); }

    kavri::test::TempAppFolder app;
    QString trace;
    TimedPlayer player;
    platform::RecordingSpeaker speaker;
    quint32 speechTick = 0;
};

} // namespace

class TstAlerts : public QObject
{
    Q_OBJECT
private slots:
    void spokenText_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter, hyphen, digit") << u"B-7"_s << u"물 주세요"_s << u"B  7 ! ! 물 주세요"_s;
        QTest::newRow("every hyphen") << u"2층-A-12"_s << u"앞접시"_s << u"2층  A  12 ! ! 앞접시"_s;
        QTest::newRow("no hyphen") << u"창가3"_s << u"계산서 주세요!"_s << u"창가3 ! ! 계산서 주세요!"_s;
        QTest::newRow("empty banner") << QString() << QString() << u" ! ! "_s;
    }
    void spokenText()
    {
        QFETCH(QString, table);
        QFETCH(QString, request);
        QFETCH(QString, expected);
        QCOMPARE(alerts::spokenText(table, request), expected);
    }

    void announce_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("chimeInSoundFolder");
        QTest::addColumn<bool>("koreanVoice");
        QTest::addColumn<bool>("speaks");
        QTest::newRow("new request") << false << true << true << true;
        QTest::newRow("silent cycle") << true << true << true << false;
        QTest::newRow("chime missing: still waits and speaks") << false << false << true << true;
        QTest::newRow("no Korean voice") << false << true << false << false;
    }
    void announce()
    {
        QFETCH(bool, silent);
        QFETCH(bool, chimeInSoundFolder);
        QFETCH(bool, koreanVoice);
        QFETCH(bool, speaks);
        AlertFixture f;
        if (chimeInSoundFolder)
            QVERIFY(QFile::copy(BuiltChime, f.soundChime()));
        f.speaker.setKoreanVoice(koreanVoice);

        QVERIFY(alerts::announce(u"B-7"_s, u"물 주세요"_s, silent, nullptr));

        const QString text = u"B  7 ! ! 물 주세요"_s;
        if (silent) {
            QVERIFY(f.player.played.isEmpty());
            QVERIFY(f.speaker.spoken().isEmpty());
            QVERIFY(!QFile::exists(f.trace));
            return;
        }
        // The trace shows what was started, in order, whether or not it is heard.
        QCOMPARE(f.traceBytes(), (u"play "_s + f.soundChime() + u"\nspeak "_s + text + u"\n"_s).toUtf8());
        QCOMPARE(f.player.played, QStringList{f.soundChime()});
        QCOMPARE(f.speaker.spoken(), speaks ? QStringList{text} : QStringList{});
        if (speaks) // the two seconds between chime and speech are kept
            QVERIFY2(f.speechTick - f.player.tick >= alerts::ChimeToSpeechMs,
                     qPrintable(QString::number(f.speechTick - f.player.tick)));
    }

    void soundTestPlaysFromTheApplicationFolder()
    {
        // Only the sound folder has the chime: the test still asks for the
        // application folder's file (and is silent), then speaks its phrase.
        AlertFixture f;
        QVERIFY(QFile::copy(BuiltChime, f.soundChime()));
        QVERIFY(alerts::soundTest(nullptr));
        QCOMPARE(f.player.played, QStringList{f.appChime()});
        QCOMPARE(f.speaker.spoken(), QStringList{u"Kavri 디스플레이 Ondel"_s});
        QCOMPARE(f.traceBytes(),
                 (u"play "_s + f.appChime() + u"\nspeak Kavri 디스플레이 Ondel\n"_s).toUtf8());
    }

    void ownerGoneMidway_data()
    {
        QTest::addColumn<bool>("soundTest");
        QTest::addColumn<QString>("when");
        QTest::newRow("alert, deleted in the pause") << false << u"pause"_s;
        QTest::newRow("alert, deleted while speaking") << false << u"speech"_s;
        QTest::newRow("alert, window closed in the pause") << false << u"close"_s;
        QTest::newRow("sound test, deleted in the pause") << true << u"pause"_s;
        QTest::newRow("sound test, deleted while speaking") << true << u"speech"_s;
        QTest::newRow("alert, cancelled in the pause") << false << u"cancel"_s;
        QTest::newRow("sound test, cancelled in the pause") << true << u"cancel"_s;
    }
    void ownerGoneMidway()
    {
        QFETCH(bool, soundTest);
        QFETCH(QString, when);
        AlertFixture f;
        auto *window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QPointer<QWidget> owner(window);
        if (when == u"pause")
            QTimer::singleShot(300, window, [window] { delete window; });
        else if (when == u"close")
            QTimer::singleShot(300, window, [window] { window->close(); });
        bool cancelled = false;
        if (when == u"cancel") // logout or terminate answered "예"
            QTimer::singleShot(300, window, [&cancelled] { cancelled = true; });
        else if (when == u"speech")
            f.speaker.setWhileSpeaking([&] { delete owner.data(); });
        const auto isCancelled = [&cancelled] { return cancelled; };

        const bool alive = soundTest ? alerts::soundTest(window, isCancelled)
                                     : alerts::announce(u"A-1"_s, u"물"_s, false, window, isCancelled);

        if (when == u"cancel") {
            // Nothing is said or traced after the pause.
            QVERIFY(!alive);
            QVERIFY(owner);
            QVERIFY(f.speaker.spoken().isEmpty());
            QCOMPARE(f.traceBytes().count('\n'), 1);
            delete owner.data();
            return;
        }
        // true exactly when the window still exists: the caller may go on with it.
        QCOMPARE(alive, !owner.isNull());
        if (when == u"pause") {
            QVERIFY(!alive);
            QVERIFY(f.speaker.spoken().isEmpty()); // nothing is said for a window that is gone
            QCOMPARE(f.traceBytes().count('\n'), 1);
        } else if (when == u"speech") {
            QVERIFY(!alive);
            QCOMPARE(f.speaker.stops(), 1); // the speech was cut
        }
        delete owner.data();
        QTest::qWait(0);
    }

    void chimeFileFormat()
    {
        // The chime written at build time: 16-bit PCM mono, about a second, loud
        // enough to hear and never clipping, ending in silence; the copy beside
        // the program is the same file.
        const QByteArray wav = readBytes(BuiltChime);
        QCOMPARE(readBytes(QStringLiteral(KAVRI_BINARY_DIR) + u"/src/DDD.wav"_s), wav);
        QVERIFY(wav.size() > 44);
        auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
        auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        QCOMPARE(wav.left(4), "RIFF"_ba);
        QCOMPARE(u32(4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), "WAVEfmt "_ba);
        QCOMPARE(u32(16), 16u);        // plain PCM format chunk
        QCOMPARE(u16(20), quint16(1)); // PCM
        QCOMPARE(u16(22), quint16(1)); // mono
        const quint32 rate = u32(24);
        QVERIFY(rate == 22050 || rate == 44100);
        QCOMPARE(u32(28), rate * 2);
        QCOMPARE(u16(32), quint16(2));
        QCOMPARE(u16(34), quint16(16));
        QCOMPARE(wav.mid(36, 4), "data"_ba);
        const quint32 bytes = u32(40);
        QCOMPARE(qsizetype(bytes), wav.size() - 44);
        const double seconds = bytes / 2.0 / rate;
        QVERIFY2(seconds >= 0.6 && seconds <= 2.0, qPrintable(QString::number(seconds)));
        int peak = 0;
        for (quint32 i = 0; i < bytes / 2; ++i)
            peak = std::max(peak, std::abs(int(qint16(u16(44 + 2 * i)))));
        QVERIFY2(peak > 32767 / 4 && peak < 32767 * 9 / 10, qPrintable(QString::number(peak)));
        const qint16 last = qint16(u16(wav.size() - 2));
        QVERIFY(std::abs(int(last)) < 64); // no click at the end
    }
};

QTEST_MAIN(TstAlerts)
#include "tst_alerts.moc"
