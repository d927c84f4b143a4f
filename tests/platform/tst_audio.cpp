#include "platform/Audio.h"
#include "support/FileBytes.h"
#include "support/RecordingAudio.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <memory>

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

/// The chime helper as built beside kavri-display, and the chime it plays.
QString playHelper()
{
    return QStringLiteral(KAVRI_BINARY_DIR) + u"/src/kavri-play"_s;
}

QString builtChime()
{
    return QStringLiteral(KAVRI_BINARY_DIR) + u"/src/sound/DDD.wav"_s;
}

/// `seconds` of silence as a wave file: 16-bit PCM, mono, 22050 Hz.
QByteArray silentWave(int seconds)
{
    constexpr quint32 rate = 22050;
    const quint32 dataBytes = rate * 2 * quint32(seconds);
    QByteArray out;
    const auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    const auto u16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF");
    u32(36 + dataBytes);
    out.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.append("data");
    u32(dataBytes);
    out.append(QByteArray(qsizetype(dataBytes), '\0'));
    return out;
}

/// The state letter of process `pid` ('R', 'S', 'Z', ...), or 0 when it is gone.
char processState(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype at = line.lastIndexOf(')') + 2;
    return at > 1 && at < line.size() ? line.at(at) : 0;
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
        m_process.setProcessEnvironment(env); // PULSE_SERVER points nowhere: "Missing" stays missing
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

/// A private PulseAudio server for one test: its own socket, runtime folder and
/// log, and a null sink (an audio output that works and that nobody hears).
class SoundServer
{
public:
    static bool available() { return !QStandardPaths::findExecutable(u"pulseaudio"_s).isEmpty(); }

    bool start()
    {
        const QString home = m_dir.filePath(u"home"_s), runtime = m_dir.filePath(u"run"_s);
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, home);
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        env.remove(u"PULSE_SERVER"_s);
        m_process.setProcessEnvironment(env);
        m_process.setProgram(u"pulseaudio"_s);
        m_process.setArguments({u"-n"_s, u"--daemonize=no"_s, u"--use-pid-file=no"_s,
                                u"--exit-idle-time=-1"_s, u"--disable-shm=yes"_s, u"--log-level=info"_s,
                                u"--log-target=file:"_s + log(), u"-L"_s, u"module-null-sink"_s, u"-L"_s,
                                u"module-native-protocol-unix auth-anonymous=1 socket="_s + socket()});
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100 && !QFile::exists(socket()); ++i)
            QTest::qWait(50);
        return QFile::exists(socket());
    }

    ~SoundServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    QString address() const { return u"unix:"_s + socket(); }
    qint64 pid() const { return m_process.processId(); }

    /// How many playback streams the server was sent.
    int streams() const { return int(readBytes(log()).count("sink-input.c: Created input ")); }

private:
    QString socket() const { return m_dir.filePath(u"pulse.sock"_s); }
    QString log() const { return m_dir.filePath(u"pulse.log"_s); }

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
    /// Likewise the chime looks for a sound server where none runs, unless a case starts one.
    void pointSoundNowhere()
    {
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(m_nowhere.filePath(u"none.sock"_s)));
    }
    /// The longest a chime helper may live, and a margin for a loaded machine.
    static constexpr int ChimeHelperLifeMs =
        int(platform::ChimeReadyLimitMs + platform::ChimePlayLimitMs) + 10000;

private slots:
    void initTestCase()
    {
        pointSpeechNowhere();
        pointSoundNowhere();
    }
    void cleanup() { pointSoundNowhere(); }

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
        // play() returns at once, nothing breaks and no helper is left behind.
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QString path = name.isEmpty() ? builtChime() : dir.filePath(name);
        if (content == "<dir>")
            QVERIFY(QDir().mkpath(path));
        else if (!content.isNull())
            QVERIFY(writeBytes(path, content));
        platform::ProcessChimePlayer player(playHelper());
        player.play(path);
        player.play(path); // a second chime replaces the first
        QTRY_COMPARE_WITH_TIMEOUT(childProcesses(), QList<qint64>{}, ChimeHelperLifeMs);
    }

    void machinePlayerPlaysTheChime()
    {
        // The chime reaches the sound server as one playback stream, and the
        // helper ends by itself when the chime is over.
        if (!SoundServer::available())
            QSKIP("pulseaudio is not installed");
        SoundServer server;
        QVERIFY(server.start());
        qputenv("PULSE_SERVER", server.address().toUtf8());
        platform::ProcessChimePlayer player(playHelper());
        player.play(builtChime());
        QTRY_COMPARE_WITH_TIMEOUT(childProcesses(server.pid()), QList<qint64>{}, ChimeHelperLifeMs);
        QCOMPARE(server.streams(), 1);
    }

    void chimeHelperExitCodes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("server");
        QTest::addColumn<int>("expected");
        const int noFile = int(platform::ChimeExit::NoFile), noOutput = int(platform::ChimeExit::NoOutput),
                  badFile = int(platform::ChimeExit::BadFile);
        QTest::newRow("no file named") << u"<none>"_s << false << noFile;
        QTest::newRow("missing file") << u"<missing>"_s << false << noFile;
        QTest::newRow("a folder") << u"<dir>"_s << false << noFile;
        QTest::newRow("larger than a chime can be") << u"<large>"_s << true << noFile;
        QTest::newRow("no sound server") << u"<chime>"_s << false << noOutput;
        QTest::newRow("the chime") << u"<chime>"_s << true << int(platform::ChimeExit::Played);
        QTest::newRow("not a wave") << u"<text>"_s << true << badFile;
        QTest::newRow("empty file") << u"<empty>"_s << true << badFile;
    }
    void chimeHelperExitCodes()
    {
        QFETCH(QString, file);
        QFETCH(bool, server);
        QFETCH(int, expected);
        if (server && !SoundServer::available())
            QSKIP("pulseaudio is not installed");
        SoundServer sound;
        if (server)
            QVERIFY(sound.start());
        QTemporaryDir dir;
        QStringList arguments;
        if (file == u"<missing>"_s) {
            arguments << dir.filePath(u"none.wav"_s);
        } else if (file == u"<dir>"_s) {
            arguments << dir.path();
        } else if (file == u"<large>"_s) {
            QFile large(dir.filePath(u"large.wav"_s));
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.write(silentWave(1)) > 0);
            QVERIFY(large.resize(platform::ChimeMaxWaveBytes + 1)); // sparse: no disk is spent
            arguments << large.fileName();
        } else if (file == u"<chime>"_s) {
            arguments << builtChime();
        } else if (file == u"<text>"_s || file == u"<empty>"_s) {
            arguments << dir.filePath(u"chime.wav"_s);
            QVERIFY(writeBytes(arguments.first(), file == u"<text>"_s ? "hello, this is no RIFF"_ba : ""_ba));
        }
        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (server)
            env.insert(u"PULSE_SERVER"_s, sound.address());
        helper.setProcessEnvironment(env);
        helper.setStandardErrorFile(QProcess::nullDevice());
        helper.start(playHelper(), arguments);
        QVERIFY(helper.waitForStarted(5000));
        if (!helper.waitForFinished(ChimeHelperLifeMs)) {
            helper.kill();
            helper.waitForFinished(5000);
            QFAIL("kavri-play did not end");
        }
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), expected);
        // "ready" exactly when the chime sounded.
        QCOMPARE(helper.readAllStandardOutput(),
                 expected == 0 ? QByteArray(platform::ChimeReadyLine) : ""_ba);
        if (server)
            QCOMPARE(sound.streams(), expected == 0 ? 1 : 0);
    }

    void chimeHelperEndsWithTheProgram()
    {
        // Whatever kills the program, the chime helper goes with it.
        if (!SoundServer::available())
            QSKIP("pulseaudio is not installed");
        SoundServer server;
        QVERIFY(server.start());
        QTemporaryDir dir;
        const QString wave = dir.filePath(u"long.wav"_s);
        QVERIFY(writeBytes(wave, silentWave(8)));
        QProcess program; // stands in for kavri-display
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PULSE_SERVER"_s, server.address());
        program.setProcessEnvironment(env);
        program.start(u"/bin/sh"_s,
                      {u"-c"_s, u"\"$0\" \"$1\" >/dev/null 2>&1 & echo $!; wait"_s, playHelper(), wave});
        QVERIFY(program.waitForReadyRead(5000));
        const qint64 helper = program.readLine().trimmed().toLongLong();
        QVERIFY(helper > 0);
        QTRY_COMPARE_WITH_TIMEOUT(server.streams(), 1, ChimeHelperLifeMs); // it sounds
        ::kill(pid_t(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished(5000));
        // Gone, or a zombie of whoever inherited it.
        QTRY_VERIFY_WITH_TIMEOUT(processState(helper) == 0 || processState(helper) == 'Z', 5000);
    }

    void stuckChimeHelperIsKilled_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("never begins") << "exec sleep 600\n"_ba;
        QTest::newRow("ignores SIGTERM") << "trap '' TERM\nexec sleep 600\n"_ba;
        QTest::newRow("stops itself") << "kill -STOP $$\n"_ba;
        QTest::newRow("sounds past its limit") << "echo ready\nexec sleep 600\n"_ba;
    }
    void stuckChimeHelperIsKilled()
    {
        // play() returns while the helper runs; whatever holds the helper, it is
        // ended at its limit and reaped, not even a zombie left.
        QFETCH(QByteArray, script);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(u"chime.wav"_s), silentWave(1)));
        platform::ProcessChimePlayer player(writeScript(dir, u"stuck"_s, script));
        player.play(dir.filePath(u"chime.wav"_s));
        QCOMPARE(childProcesses().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(childProcesses(), QList<qint64>{}, ChimeHelperLifeMs);
    }

    void chimeHelperIsEndedBy_data()
    {
        QTest::addColumn<QString>("event");
        QTest::newRow("a new chime") << u"play"_s;
        QTest::newRow("stop()") << u"stop"_s;
        QTest::newRow("the player going away") << u"destroy"_s;
        QTest::newRow("the application quitting") << u"quit"_s;
    }
    void chimeHelperIsEndedBy()
    {
        // Never more than one helper: a chime still sounding is ended and reaped
        // at once by the next chime, stop(), the player's end or the quitting
        // application. The helper gets the wave file's absolute path.
        QFETCH(QString, event);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(u"a.wav"_s), silentWave(1)));
        QVERIFY(writeBytes(dir.filePath(u"b.wav"_s), silentWave(1)));
        const QString asked = dir.filePath(u"asked.txt"_s);
        auto player = std::make_unique<platform::ProcessChimePlayer>(
            writeScript(dir, u"sounding"_s,
                        "echo \"$1\" >> '" + QFile::encodeName(asked) + "'\necho ready\nexec sleep 600\n"));
        player->play(dir.filePath(u"a.wav"_s));
        QTRY_COMPARE(readBytes(asked).count('\n'), 1);
        const QList<qint64> first = childProcesses();
        QCOMPARE(first.size(), 1);
        if (event == u"play"_s) {
            player->play(dir.filePath(u"b.wav"_s));
            const QList<qint64> now = childProcesses();
            QCOMPARE(now.size(), 1);
            QVERIFY(now != first);
            QTRY_COMPARE(readBytes(asked).count('\n'), 2);
            QCOMPARE(QString::fromUtf8(readBytes(asked)),
                     dir.filePath(u"a.wav"_s) + u'\n' + dir.filePath(u"b.wav"_s) + u'\n');
            player->stop();
        } else if (event == u"stop"_s) {
            player->stop();
        } else if (event == u"destroy"_s) {
            player.reset();
        } else {
            QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit"));
        }
        QCOMPARE(childProcesses(), QList<qint64>{});
    }

    void missingOrBrokenChimeHelperSkips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("executable");
        QTest::newRow("missing") << u"none"_s << QByteArray() << false;
        QTest::newRow("not executable") << u"plain"_s << "#!/bin/sh\nexit 0\n"_ba << false;
        QTest::newRow("not a program") << u"garbage"_s << "\x7f\x01 not a program"_ba << true;
        QTest::newRow("a folder") << u"folder"_s << QByteArray("<dir>") << true;
        QTest::newRow("crashes") << u"crash"_s << "#!/bin/sh\nkill -SEGV $$\n"_ba << true;
    }
    void missingOrBrokenChimeHelperSkips()
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
        platform::ProcessChimePlayer player(path);
        player.play(builtChime());
        QTRY_COMPARE_WITH_TIMEOUT(childProcesses(), QList<qint64>{}, ChimeHelperLifeMs);
        player.play(builtChime()); // and the next chime is tried afresh
        QTRY_COMPARE_WITH_TIMEOUT(childProcesses(), QList<qint64>{}, ChimeHelperLifeMs);
    }

    void machineSpeakerSpeaksKoreanOrNothing()
    {
        if (!SpeechDaemon::available())
            QSKIP("speech-dispatcher with espeak-ng is not installed");
        SpeechDaemon daemon;
        QVERIFY(daemon.start(SpeechDaemon::Audio::Null));
        qputenv("SPEECHD_ADDRESS", daemon.address().toUtf8());
        // A fresh daemon loads its engine and voice list on the first client, which on a
        // busy build machine can take longer than the speaker's bound; wake it once first.
        {
            QProcess warmUp;
            warmUp.start(speakHelper(), {});
            if (warmUp.waitForStarted(5000)) {
                warmUp.write(".");
                warmUp.closeWriteChannel();
                if (!warmUp.waitForFinished(30000))
                    warmUp.kill();
                warmUp.waitForFinished(2000);
            }
        }
        const QString text = u"B  7 ! ! 물 주세요"_s;
        {
            platform::ProcessSpeaker speaker(speakHelper());
            speaker.speak(text);
            speaker.speak(u"Kavri 디스플레이 Ondel"_s);
        }
        pointSpeechNowhere();
        QCOMPARE(childProcesses(daemon.pid()), QList<qint64>{});
        auto spoken = daemon.spoken();
        // The wake-up's "." (the daemon may log it as "..").
        spoken.removeIf(
            [](const auto &entry) { return QString(entry.first).remove(u'.').trimmed().isEmpty(); });
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
