// kavri-speak: reads one Korean text aloud and exits.
//
// The speech engine's client library waits for the daemon's answers without a
// time limit, so a daemon that is alive but silent would hold whoever calls it
// for good. The program therefore speaks through this helper, which it can
// abandon and kill; the helper never outlives the program nor its own bound.
//
//   kavri-speak [text...]     the text from the arguments, else UTF-8 on standard input
// Exit codes: see SpeakExit in platform/SpeechLimits.h.

#include "platform/SpeechLimits.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTextToSpeech>
#include <QTimer>
#include <QVoice>

#include <algorithm>
#include <cstdio>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using kavri::platform::SpeakExit;

namespace {

// Destructors are skipped on purpose: closing the engine's connection waits
// for the daemon, which may be the one that stopped answering.
[[noreturn]] void leave(SpeakExit code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(int(code));
}

bool readText(const QStringList &arguments, QString *text)
{
    if (arguments.size() > 1) {
        *text = arguments.mid(1).join(u' ');
        return text->toUtf8().size() <= kavri::platform::SpeechMaxTextBytes;
    }
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.read(kavri::platform::SpeechMaxTextBytes + 1);
    if (bytes.size() > kavri::platform::SpeechMaxTextBytes)
        return false;
    *text = QString::fromUtf8(bytes);
    return true;
}

/// Selects a Korean locale and a Korean voice; false when the engine has none.
bool selectKorean(QTextToSpeech &tts)
{
    const QList<QLocale> locales = tts.availableLocales();
    const auto locale = std::find_if(locales.begin(), locales.end(),
                                     [](const QLocale &l) { return l.language() == QLocale::Korean; });
    if (locale == locales.end())
        return false;
    tts.setLocale(*locale);
    if (tts.locale().language() != QLocale::Korean)
        return false;
    const QList<QVoice> voices = tts.availableVoices();
    const auto voice = std::find_if(voices.begin(), voices.end(),
                                    [](const QVoice &v) { return v.locale().language() == QLocale::Korean; });
    if (voice == voices.end())
        return false;
    tts.setVoice(*voice);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Ends with the program that started it, even when that one is killed.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A backstop that also holds while a call never returns: first for the longest
    // text, then (below) for this one. The program's own limit comes first.
    ::alarm((kavri::platform::SpeechReadyLimitMs + kavri::platform::SpeechCapMs) / 1000 + 2);
    QCoreApplication app(argc, argv);

    QString text;
    if (!readText(app.arguments(), &text) || text.trimmed().isEmpty())
        leave(SpeakExit::NoText);
    const quint32 bound = kavri::platform::speechBoundMs(text);
    ::alarm((kavri::platform::SpeechReadyLimitMs + bound) / 1000 + 2);

    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty())
        leave(SpeakExit::NoEngine);
    QTextToSpeech tts(engines.contains(u"speechd"_s) ? u"speechd"_s : QString());
    if (tts.state() == QTextToSpeech::Error)
        leave(SpeakExit::NoEngine);
    if (!selectKorean(tts))
        leave(SpeakExit::NoKoreanVoice); // a Korean text is never read by another language's voice
    std::fputs(kavri::platform::SpeakReadyLine, stdout);
    std::fflush(stdout);

    bool started = false;
    QObject::connect(&tts, &QTextToSpeech::stateChanged, [&](QTextToSpeech::State state) {
        if (state == QTextToSpeech::Speaking)
            started = true;
        else if (state == QTextToSpeech::Error)
            leave(SpeakExit::EngineError);
        else if (started && state == QTextToSpeech::Ready)
            leave(SpeakExit::Spoken);
    });
    QTimer::singleShot(kavri::platform::SpeechStartLimitMs, [&] {
        if (!started)
            leave(SpeakExit::TooLong);
    });
    QTimer::singleShot(bound, [&] {
        tts.stop(); // not heard to the end; the alarm above ends a stop that hangs
        leave(SpeakExit::TooLong);
    });
    tts.say(text);
    return app.exec();
}
