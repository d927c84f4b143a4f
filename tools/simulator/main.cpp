// kavri-sim: a stand-in for the shop web service, for tests and the demo.
#include "Certificate.h"
#include "Listener.h"
#include "Options.h"
#include "Service.h"
#include "ShopState.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri::sim;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the event loop through a socket pair, the only safe way out of a handler.
void quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "kavri-sim: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    quitOnSignals(app);

    Options options;
    QString error;
    if (!parseOptions(app.arguments(), &options, &error))
        return fail(error);

    ShopState state;
    for (const Shop &shop : options.shops)
        state.addShop(shop);
    state.setStateFile(options.stateFile);
    if (!state.load(&error))
        return fail(error);
    if (options.demo) {
        const bool hasDemoRequests =
            std::any_of(state.allRequests().begin(), state.allRequests().end(),
                        [](const CustomerRequest &r) { return r.shopId == u"demo"_s; });
        if (!hasDemoRequests) {
            for (const CustomerRequest &r : demoRequests())
                state.addRequest(r);
        }
    }

    QTemporaryDir certFolder;
    QString certPath = options.certPath;
    QString keyPath = options.keyPath;
    if (certPath.isEmpty()) {
        if (!certFolder.isValid())
            return fail(u"임시 폴더를 만들 수 없습니다."_s);
        if (!makeSelfSignedCertificate(certFolder.path(), &certPath, &keyPath, &error))
            return fail(error);
        std::fprintf(stderr, "kavri-sim: self-signed certificate %s\n", certPath.toLocal8Bit().constData());
    }
    QSslConfiguration tls;
    if (!loadServerConfiguration(certPath, keyPath, &tls, &error))
        return fail(error);

    Service service(state, options.patchFolder);
    Listener listener(service, options.maxConnections);
    if (!listener.listenPlain(quint16(options.httpPort), &error) ||
        !listener.listenTls(quint16(options.httpsPort), tls, &error))
        return fail(error);

    std::printf("READY http=%u https=%u\n", unsigned(listener.plainPort()), unsigned(listener.tlsPort()));
    std::fflush(stdout);
    return app.exec();
}
