#include "platform/Audio.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
namespace platform = kavri::platform;
using kavri::test::readBytes;
using kavri::test::writeBytes;

namespace {

/// The trace and both seams pointed at test doubles for one case.
struct AudioFixture
{
    AudioFixture()
    {
        trace = dir.filePath(u"trace.txt"_s);
        qputenv("KAVRI_AUDIO_TRACE", QFile::encodeName(trace));
        platform::setChimePlayer(&player);
        platform::setSpeaker(&speaker);
    }
    ~AudioFixture()
    {
        qunsetenv("KAVRI_AUDIO_TRACE");
        platform::setChimePlayer(nullptr);
        platform::setSpeaker(nullptr);
    }
    QTemporaryDir dir;
    QString trace;
    platform::RecordingChimePlayer player;
    platform::RecordingSpeaker speaker;
};

/// A private speech-dispatcher for one test: its own socket, configuration and
/// log (every client command at log level 5), espeak-ng, and either a silent
/// audio output that works (libao's null driver) or one that is missing.
class SpeechDaemon
{
public:
    enum class Audio { Null, Missing };

    static bool available()
    {
        return !QStandardPaths::findExecutable(u"speech-dispatcher"_s).isEmpty() &&
               QFile::exists(u"/etc/speech-dispatcher/modules/espeak-ng.conf"_s);
    }

    bool start(Audio audio)
    {
        const QString conf = m_dir.filePath(u"conf"_s), home = m_dir.filePath(u"home"_s);
        QDir().mkpath(conf + u"/modules"_s);
        QDir().mkpath(conf + u"/clients"_s);
        QDir().mkpath(home);
        QDir().mkpath(logDir());
        QFile::copy(u"/etc/speech-dispatcher/modules/espeak-ng.conf"_s, conf + u"/modules/espeak-ng.conf"_s);
        const QString output = audio == Audio::Null ? u"libao"_s : u"pulse"_s;
        writeBytes(conf + u"/speechd.conf"_s,
                   (u"LogLevel 5\nLogDir \"%1\"\nAudioOutputMethod \"%2\"\nDefaultModule espeak-ng\n"
                    "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"_s.arg(logDir(), output))
                       .toUtf8());
        writeBytes(home + u"/.libao"_s, "default_driver=null\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, home);
        env.remove(u"PULSE_SERVER"_s);
        m_process.setProcessEnvironment(env);
        m_process.setProgram(u"speech-dispatcher"_s);
        m_process.setArguments({u"-s"_s, u"-t"_s, u"60"_s, u"-C"_s, conf, u"-S"_s, socket()});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100 && !QFile::exists(socket()); ++i)
            QTest::qWait(50);
        return QFile::exists(socket());
    }

    ~SpeechDaemon()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    QString address() const { return u"unix_socket:"_s + socket(); }

    /// For each text the daemon was asked to speak, the synthesis voice set last before it.
    QList<QPair<QString, QString>> spoken() const
    {
        QList<QPair<QString, QString>> out;
        const QList<QByteArray> lines = readBytes(logDir() + u"/speech-dispatcher.log"_s).split('\n');
        QString voice;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const qsizetype at = lines[i].indexOf("DATA:|");
            if (at < 0)
                continue;
            const QString data = QString::fromUtf8(lines[i].mid(at + 6)).trimmed();
            if (data.startsWith(u"SET SELF SYNTHESIS_VOICE"_s, Qt::CaseInsensitive))
                voice = data.mid(24).trimmed();
            else if (data.compare(u"speak"_s, Qt::CaseInsensitive) == 0 && i + 1 < lines.size()) {
                // The text follows on the next data line.
                for (qsizetype j = i + 1; j < lines.size(); ++j) {
                    const qsizetype t = lines[j].indexOf("DATA:|");
                    if (t >= 0) {
                        out.append({QString::fromUtf8(lines[j].mid(t + 6)).trimmed(), voice});
                        break;
                    }
                }
            }
        }
        return out;
    }

private:
    QString socket() const { return m_dir.filePath(u"speechd.sock"_s); }
    QString logDir() const { return m_dir.filePath(u"log"_s); }

    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace

class TstAudio : public QObject
{
    Q_OBJECT
    QTemporaryDir m_nowhere;

    /// Between the cases speech-dispatcher is looked for where none runs, so no
    /// engine left over from a case starts the user's own daemon.
    void pointSpeechNowhere()
    {
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + QFile::encodeName(m_nowhere.filePath(u"none.sock"_s)));
    }

private slots:
    void initTestCase() { pointSpeechNowhere(); }

    void traceLines_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("chimes");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("chime then speech")
            << QByteArray() << QStringList{u"/app/sound/DDD.wav"_s} << QStringList{u"B  7 ! ! 물 주세요"_s}
            << "play /app/sound/DDD.wav\nspeak B  7 ! ! 물 주세요\n"_ba;
        QTest::newRow("appends to what is there") << "play /x.wav\n"_ba << QStringList{u"/y.wav"_s}
                                                  << QStringList{} << "play /x.wav\nplay /y.wav\n"_ba;
        QTest::newRow("line breaks inside a text stay on one line")
            << QByteArray() << QStringList{} << QStringList{u"물\n좀\r\n더\r주세요"_s}
            << "speak 물 좀 더 주세요\n"_ba;
    }
    void traceLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, chimes);
        QFETCH(QStringList, texts);
        QFETCH(QByteArray, expected);
        AudioFixture f;
        if (!before.isEmpty())
            QVERIFY(writeBytes(f.trace, before));
        for (const QString &path : chimes)
            platform::playChime(path);
        for (const QString &text : texts)
            platform::speakText(text);
        QCOMPARE(readBytes(f.trace), expected);
        QCOMPARE(f.player.played(), chimes);
        QCOMPARE(f.speaker.spoken(), texts);
    }

    void traceLineIsWrittenBeforeTheSpeechRuns()
    {
        // A speech engine that never returns must not hide what was asked of it.
        AudioFixture f;
        QByteArray seenWhileSpeaking;
        f.speaker.setWhileSpeaking([&] { seenWhileSpeaking = readBytes(f.trace); });
        platform::speakText(u"창가 1 ! ! 앞접시"_s);
        QCOMPARE(seenWhileSpeaking, "speak 창가 1 ! ! 앞접시\n"_ba);
    }

    void noTraceWhenUnsetOrNotAFile()
    {
        AudioFixture f;
        qunsetenv("KAVRI_AUDIO_TRACE");
        platform::playChime(u"/a.wav"_s);
        QVERIFY(!QFile::exists(f.trace));
        // A folder (or a device, a pipe) is never opened as the trace.
        qputenv("KAVRI_AUDIO_TRACE", QFile::encodeName(f.dir.path()));
        platform::speakText(u"물"_s);
        QCOMPARE(f.player.played(), QStringList{u"/a.wav"_s});
        QCOMPARE(f.speaker.spoken(), QStringList{u"물"_s});
    }

    void fakeWithoutKoreanVoiceSaysNothing()
    {
        AudioFixture f;
        f.speaker.setKoreanVoice(false);
        platform::speakText(u"물 주세요"_s);
        QVERIFY(f.speaker.spoken().isEmpty());
        QCOMPARE(readBytes(f.trace), "speak 물 주세요\n"_ba);
    }

    void machinePlayerSkipsSilently_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing file") << u"none.wav"_s << QByteArray();
        QTest::newRow("empty file") << u"empty.wav"_s << ""_ba;
        QTest::newRow("not a wave") << u"text.wav"_s << "hello, this is no RIFF"_ba;
        QTest::newRow("a folder") << u"folder.wav"_s << QByteArray("<dir>");
        QTest::newRow("the real chime") << QString() << QByteArray();
    }
    void machinePlayerSkipsSilently()
    {
        // Whatever the file and whether or not this machine has a sound device,
        // play() returns at once and nothing breaks.
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QString path =
            name.isEmpty() ? QStringLiteral(KAVRI_BINARY_DIR) + u"/src/sound/DDD.wav"_s : dir.filePath(name);
        if (content == "<dir>")
            QVERIFY(QDir().mkpath(path));
        else if (!content.isNull())
            QVERIFY(writeBytes(path, content));
        platform::QtChimePlayer player;
        player.play(path);
        player.play(path); // a second chime replaces the first
        QTest::qWait(100);
    }

    void machineSpeakerSpeaksKoreanOrNothing()
    {
        if (!SpeechDaemon::available())
            QSKIP("speech-dispatcher with espeak-ng is not installed");
        SpeechDaemon daemon;
        QVERIFY(daemon.start(SpeechDaemon::Audio::Null));
        qputenv("SPEECHD_ADDRESS", daemon.address().toUtf8());
        const QString text = u"B  7 ! ! 물 주세요"_s;
        {
            platform::QtSpeaker speaker;
            speaker.speak(text);
            speaker.speak(u"Kavri 디스플레이 Ondel"_s); // the connection is kept for the next text
        }
        pointSpeechNowhere();
        const auto spoken = daemon.spoken();
        for (const auto &[said, voice] : spoken)
            QVERIFY2(voice.startsWith(u"Korean"_s, Qt::CaseInsensitive),
                     qPrintable(u"\"%1\" read by \"%2\""_s.arg(said, voice)));
        // espeak-ng has a Korean voice, so here the text is really spoken.
        QVERIFY(!spoken.isEmpty());
        QCOMPARE(spoken.first().first, text);
    }

    void stuckOrMissingEngineDoesNotHoldTheCaller_data()
    {
        QTest::addColumn<bool>("daemon");
        QTest::newRow("engine without audio output") << true;
        QTest::newRow("no engine at the address") << false;
    }
    void stuckOrMissingEngineDoesNotHoldTheCaller()
    {
        // A speech engine whose audio output is missing never finishes a text; the
        // wait ends at its bound and the next text is tried afresh. (A hang fails
        // this test by its time limit.)
        QFETCH(bool, daemon);
        if (daemon && !SpeechDaemon::available())
            QSKIP("speech-dispatcher with espeak-ng is not installed");
        QTemporaryDir dir;
        SpeechDaemon speechd;
        QString address = u"unix_socket:"_s + dir.filePath(u"nobody.sock"_s);
        if (daemon) {
            QVERIFY(speechd.start(SpeechDaemon::Audio::Missing));
            address = speechd.address();
        }
        qputenv("SPEECHD_ADDRESS", address.toUtf8());
        bool eventsRan = false;
        QTimer::singleShot(10, [&] { eventsRan = true; });
        {
            platform::QtSpeaker speaker;
            speaker.speak(u"물 주세요"_s);
            speaker.speak(u"앞접시 주세요"_s);
        }
        pointSpeechNowhere();
        if (daemon)
            QVERIFY(eventsRan); // the wait kept the events going
    }
};

QTEST_MAIN(TstAudio)
#include "tst_audio.moc"
