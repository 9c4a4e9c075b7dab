// The page server alone, for bench/bench_http.sh: serves level.html of the
// given directory on the given port until killed.
//
//   build/bench_http_server DIR PORT [--block-gui]
//
// --block-gui keeps the main thread asleep, as a scan's receiver waits do.
#include "monitor/pageserver.h"
#include "platform/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_http_server DIR PORT [--block-gui]\n");
        return 2;
    }
    QDir::setCurrent(args[1]);
    monitor::PageServer server;
    try {
        server.start(quint16(args[2].toUInt()));
    } catch (const platform::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("listening on %u\n", server.port());
    std::fflush(stdout);
    if (args.contains(QLatin1String("--block-gui"))) {
        for (;;)
            QThread::sleep(3);
    }
    return app.exec();
}
