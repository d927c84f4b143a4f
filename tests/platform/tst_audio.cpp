#include "platform/Audio.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <signal.h>

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

/// The speech helper as built beside kavri-display.
QString speakHelper()
{
    return QStringLiteral(KAVRI_BINARY_DIR) + u"/src/kavri-speak"_s;
}

/// This process's children (zombies included), but `except`.
QList<qint64> childProcesses(qint64 except = 0)
{
    QList<qint64> out;
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid == except)
            continue;
        QFile stat(u"/proc/%1/stat"_s.arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self)
            out.append(pid);
    }
    return out;
}

/// An executable shell script standing in for kavri-speak.
QString writeScript(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir.filePath(name);
    writeBytes(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

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

    /// Stops the daemon (SIGSTOP): it still accepts connections but never answers.
    void freeze()
    {
        ::kill(pid_t(m_process.processId()), SIGSTOP);
        m_frozen = true;
    }

    qint64 pid() const { return m_process.processId(); }

    ~SpeechDaemon()
    {
        if (m_frozen)
            ::kill(pid_t(m_process.processId()), SIGCONT);
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
    bool m_frozen = false;
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
            platform::ProcessSpeaker speaker(speakHelper());
            speaker.speak(text);
            speaker.speak(u"Kavri 디스플레이 Ondel"_s);
        }
        pointSpeechNowhere();
        QCOMPARE(childProcesses(daemon.pid()), QList<qint64>{});
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
        QTest::addColumn<QString>("daemon");
        QTest::newRow("engine without audio output") << u"no audio"_s;
        QTest::newRow("engine that does not answer") << u"frozen"_s;
        QTest::newRow("no engine at the address") << QString();
    }
    void stuckOrMissingEngineDoesNotHoldTheCaller()
    {
        // A speech engine whose audio output is missing never finishes a text, and
        // one that is alive but silent holds its client in the connection for good:
        // the wait ends at its bound, kavri-speak is killed and reaped, and the
        // next text is tried afresh. (A hang fails this test by its time limit.)
        QFETCH(QString, daemon);
        if (!daemon.isEmpty() && !SpeechDaemon::available())
            QSKIP("speech-dispatcher with espeak-ng is not installed");
        QTemporaryDir dir;
        SpeechDaemon speechd;
        QString address = u"unix_socket:"_s + dir.filePath(u"nobody.sock"_s);
        if (!daemon.isEmpty()) {
            QVERIFY(speechd.start(daemon == u"frozen"_s ? SpeechDaemon::Audio::Null
                                                        : SpeechDaemon::Audio::Missing));
            address = speechd.address();
            if (daemon == u"frozen"_s)
                speechd.freeze();
        }
        qputenv("SPEECHD_ADDRESS", address.toUtf8());
        bool eventsRan = false;
        QTimer::singleShot(10, [&] { eventsRan = true; });
        {
            platform::ProcessSpeaker speaker(speakHelper());
            speaker.speak(u"물 주세요"_s);
            speaker.speak(u"앞접시 주세요"_s);
        }
        pointSpeechNowhere();
        QCOMPARE(childProcesses(speechd.pid()), QList<qint64>{});
        if (!daemon.isEmpty())
            QVERIFY(eventsRan); // the wait kept the events going
    }

    void stuckHelperIsKilled_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("stopEarly");
        QTest::newRow("sleeps") << "exec sleep 600\n"_ba << false;
        QTest::newRow("ignores SIGTERM") << "trap '' TERM\nexec sleep 600\n"_ba << false;
        QTest::newRow("stops itself") << "kill -STOP $$\n"_ba << false;
        QTest::newRow("stop() ends the wait") << "exec sleep 600\n"_ba << true;
    }
    void stuckHelperIsKilled()
    {
        // Whatever holds the helper, speak() returns (at the text's bound, or at
        // once on stop()) and the child is gone, not even a zombie left.
        QFETCH(QByteArray, script);
        QFETCH(bool, stopEarly);
        QTemporaryDir dir;
        platform::ProcessSpeaker speaker(writeScript(dir, u"stuck"_s, script));
        bool eventsRan = false;
        QTimer::singleShot(100, [&] {
            eventsRan = true;
            QVERIFY(!childProcesses().isEmpty());
            if (stopEarly)
                speaker.stop();
        });
        speaker.speak(u"물"_s);
        QVERIFY(eventsRan);
        QCOMPARE(childProcesses(), QList<qint64>{});
    }

    void textsAskedForMeanwhileFollow()
    {
        // The text goes to the helper as UTF-8 on its input; of the texts asked for
        // while one is being spoken, the newest follows it.
        QTemporaryDir dir;
        const QString out = dir.filePath(u"said.txt"_s);
        platform::ProcessSpeaker speaker(writeScript(dir, u"say"_s,
                                                     "cat >> '" + QFile::encodeName(out) + "'\necho >> '" +
                                                         QFile::encodeName(out) + "'\nsleep 0.2\n"));
        QTimer::singleShot(0, [&] {
            speaker.speak(u"B  5 ! ! 물 주세요"_s);
            speaker.speak(u"창가 1 ! ! 앞접시"_s);
        });
        speaker.speak(u"A  1 ! ! 수저 주세요"_s);
        QCOMPARE(QString::fromUtf8(readBytes(out)), u"A  1 ! ! 수저 주세요\n창가 1 ! ! 앞접시\n"_s);
        QCOMPARE(childProcesses(), QList<qint64>{});
    }

    void missingOrBrokenHelperSkips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("executable");
        QTest::newRow("missing") << u"none"_s << QByteArray() << false;
        QTest::newRow("not executable") << u"plain"_s << "#!/bin/sh\nexit 0\n"_ba << false;
        QTest::newRow("not a program") << u"garbage"_s << "\x7f\x01 not a program"_ba << true;
        QTest::newRow("a folder") << u"folder"_s << QByteArray("<dir>") << true;
    }
    void missingOrBrokenHelperSkips()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, executable);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (content == "<dir>")
            QVERIFY(QDir().mkpath(path));
        else if (!content.isNull())
            QVERIFY(writeBytes(path, content));
        if (executable && content != "<dir>")
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        platform::ProcessSpeaker speaker(path);
        speaker.speak(u"물 주세요"_s);
        QCOMPARE(childProcesses(), QList<qint64>{});
    }

    void helperExitCodes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty text") << ""_ba << int(platform::SpeakExit::NoText);
        QTest::newRow("blank text") << " \n\t"_ba << int(platform::SpeakExit::NoText);
        QTest::newRow("overlong text")
            << QByteArray(platform::SpeechMaxTextBytes + 1, 'a') << int(platform::SpeakExit::NoText);
        QTest::newRow("no engine at the address") << "물 주세요"_ba << int(platform::SpeakExit::NoEngine);
    }
    void helperExitCodes()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, expected);
        QProcess helper;
        helper.start(speakHelper());
        QVERIFY(helper.waitForStarted(5000));
        helper.write(input);
        helper.closeWriteChannel();
        if (!helper.waitForFinished(60000)) {
            helper.kill();
            helper.waitForFinished(5000);
            QFAIL("kavri-speak did not end");
        }
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), expected);
    }
};

QTEST_MAIN(TstAudio)
#include "tst_audio.moc"
