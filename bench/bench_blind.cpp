// Points per second of the blind search in its real window (offscreen)
// against a receiver library that does nothing, next to a bare loop that
// looks up and calls the same three operations per point without a window.
//
//   build/bench_blind [frequencies-per-run]
//
// Rates are points per CPU second of this process, so that other work on the
// machine does not skew the ratio; the search's wall-clock rate is shown too.
#include "platform/library.h"
#include "receiver/device.h"
#include "scan/blindsearch.h"
#include "scan/form3.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>

namespace {

using receiver::QuerySignalFn;
using receiver::SetSatPatRateFn;
using receiver::TuneSatChannelFn;

// CPU time of this process (all its threads): other processes on the machine
// do not count.
struct CpuClock
{
    CpuClock() { start = now(); }
    static long long now()
    {
        timespec ts;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec * 1000000000LL + ts.tv_nsec;
    }
    double rate(long long points) const { return points * 1e9 / double(now() - start); }
    long long start;
};

// The program's own lookup (export name to symbol, then dlsym) per operation.
double bareLoopViaLoader(platform::LibraryHandle lib, long long points)
{
    CpuClock t;
    int q = 0, l = 0, u = 0;
    for (long long i = 0; i < points; ++i) {
        int f = 10800 + int(i % 1900);
        reinterpret_cast<SetSatPatRateFn>(
            platform::findExport(lib, receiver::exports::SetSatPatRate))(0);
        reinterpret_cast<TuneSatChannelFn>(
            platform::findExport(lib, receiver::exports::TuneSatChannel))(int(i), &f, 0, 9750);
        reinterpret_cast<QuerySignalFn>(platform::findExport(lib, receiver::exports::QuerySignal))(
            &q, &l, &u);
    }
    return t.rate(points);
}

// dlsym on the plain symbol names: the least any lookup per call can cost.
double bareLoopDlsym(void *lib, long long points)
{
    CpuClock t;
    int q = 0, l = 0, u = 0;
    for (long long i = 0; i < points; ++i) {
        int f = 10800 + int(i % 1900);
        reinterpret_cast<SetSatPatRateFn>(dlsym(lib, "DW_SetSatPatRate"))(0);
        reinterpret_cast<TuneSatChannelFn>(dlsym(lib, "DW_TuneSatChannel"))(int(i), &f, 0, 9750);
        reinterpret_cast<QuerySignalFn>(dlsym(lib, "DW_QuerySignal"))(&q, &l, &u);
    }
    return t.rate(points);
}

struct SearchResult
{
    double pointsPerSecond; // per CPU second
    double wallPointsPerSecond;
    long long points;
};

// One whole search in the window: 2 polarizations x `frequencies` x 44001 symbol rates.
SearchResult windowSearch(TForm3 &w, int frequencies)
{
    w.Edit1->setText(QStringLiteral("10800"));
    w.Edit2->setText(QString::number(10800 + frequencies - 1));
    w.ComboBox1->setCurrentIndex(0);
    w.RadioButton3->setChecked(true);
    w.Edit3->setText(QStringLiteral("1000"));
    w.Edit4->setText(QStringLiteral("45000"));
    w.ComboBox2->setCurrentIndex(0);
    w.LMDTextRadioButton3->setChecked(true);
    const long long points = 2LL * frequencies * 44001;
    QElapsedTimer wall;
    wall.start();
    CpuClock t;
    w.SpeedButton1->click();
    return {t.rate(points), points * 1e9 / double(wall.nsecsElapsed()), points};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int frequencies = argc > 1 ? std::max(1, atoi(argv[1])) : 20;

    platform::setLibrarySearchDirs({QStringLiteral(ORVANTA_BINARY_DIR "/benchlib")});
    platform::LibraryHandle lib = platform::loadLibrary(QStringLiteral("DWUSBAPI.dll"));
    if (!lib || !platform::findExport(lib, receiver::exports::QuerySignal)) {
        std::fprintf(stderr, "null receiver library not found under %s/benchlib\n",
                     ORVANTA_BINARY_DIR);
        return 1;
    }

    TForm3 w;
    w.show();
    // A timer firing during the search keeps the event loop honest.
    QTimer busy;
    busy.start(5);
    QApplication::processEvents();

    // Alternate the three a few times and keep each one's best run.
    const long long barePoints = 2LL * frequencies * 44001;
    double viaLoader = 0, viaDlsym = 0;
    SearchResult search{0, 0, 0};
    for (int round = 0; round < 3; ++round) {
        const SearchResult s = windowSearch(w, frequencies);
        if (s.pointsPerSecond > search.pointsPerSecond)
            search = s;
        viaLoader = std::max(viaLoader, bareLoopViaLoader(lib, barePoints));
        viaDlsym = std::max(viaDlsym, bareLoopDlsym(lib, barePoints));
    }

    std::printf("points per run:              %lld\n", search.points);
    std::printf("bare loop, plain dlsym:      %.0f points/s\n", viaDlsym);
    std::printf("bare loop, program's lookup: %.0f points/s\n", viaLoader);
    std::printf("search in the window:        %.0f points/s (wall clock: %.0f)\n",
                search.pointsPerSecond, search.wallPointsPerSecond);
    std::printf("ratio to plain dlsym loop:   %.2f\n", search.pointsPerSecond / viaDlsym);
    std::printf("ratio to lookup loop:        %.2f\n", search.pointsPerSecond / viaLoader);
    std::printf(
        "lines found: %d, last point shown: %s\n", w.ListBox1->count(),
        qPrintable(w.findChild<QWidget *>(QStringLiteral("Label11"))->property("text").toString()));
    return 0;
}
