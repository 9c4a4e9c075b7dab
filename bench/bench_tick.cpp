// Cost of one live-meter tick (query, colours, placing, repaint) next to the
// bare signal query through the loader, with the simulated receiver.
//
//   build/bench_tick [ticks] [--page] [--screenshot file.png]
//
// --page ticks "Передавать в сеть" so each tick also rewrites level.html.
// --screenshot saves the level window drawn afresh after the last tick, and
// next to it (name-screen.png) what the window shows after the ticks'
// partial repaints; the two should not differ.
#include "app/form1.h"
#include "app/globals.h"
#include "monitor/form5.h"
#include "platform/dialogs.h"
#include "platform/library.h"
#include "platform/wait.h"
#include "receiver/device.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <dlfcn.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    int ticks = 2000;
    bool page = false;
    QString screenshot;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--page"))
            page = true;
        else if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size())
            screenshot = QFileInfo(args[++i]).absoluteFilePath();
        else
            ticks = args[i].toInt();
    }

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QDir().mkdir(QStringLiteral("Transponders"));
    platform::setLibrarySearchDirs({QStringLiteral(ORVANTA_BINARY_DIR)});
    platform::RecordingDialogs dialogs;
    createForms();
    if (!DeviceLibrary) {
        std::fprintf(stderr, "simulated receiver not found in %s\n", ORVANTA_BINARY_DIR);
        return 1;
    }
    auto push = reinterpret_cast<void (*)(int, int)>(dlsym(DeviceLibrary, "Sim_PushReading"));
    auto clear = reinterpret_cast<void (*)()>(dlsym(DeviceLibrary, "Sim_ClearJournal"));

    // Bare query through the loader: look-up and call, as every tick does.
    const int queries = 20000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < queries; ++i) {
        receiver::Reading r;
        receiver::QuerySignal(DeviceLibrary, r);
        if (clear && i % 1000 == 0)
            clear();
    }
    const double queryUs = double(t.nsecsElapsed()) / 1000.0 / queries;

    Form1->Edit1->setText(QStringLiteral("11766"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->CheckBox5->setChecked(false); // no page server in this bench
    Form1->SpeedButton1Click();
    Form1->CheckBox5->setChecked(page);
    QApplication::processEvents();

    // Readings that change every tick, so that colours, places and texts change
    // and the window repaints each time.
    const int values[] = {29, 45, 55, 99, 100, 31, 60, 120};
    t.restart();
    for (int i = 0; i < ticks; ++i) {
        if (push)
            push(values[i % 8], values[(i + 3) % 8]);
        Form1->LMDHiTimer1Timer();
        if (clear && i % 1000 == 0)
            clear();
    }
    const double tickUs = double(t.nsecsElapsed()) / 1000.0 / ticks;
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("bare DW_QuerySignal through the loader: %.2f us (%d calls)\n", queryUs, queries);
    std::printf("one meter tick%s: %.1f us (%d ticks; period 800000 us)\n",
                page ? " with page file" : "", tickUs, ticks);

    if (!screenshot.isEmpty()) {
        if (push)
            push(45, 67);
        Form1->LMDHiTimer1Timer();
        QApplication::processEvents();
        Form5->grab().save(screenshot);
        std::printf("level window saved to %s\n", qPrintable(screenshot));
        const QImage shown = Form5->screen()->grabWindow(Form5->winId()).toImage();
        if (!shown.isNull()) {
            const QFileInfo info(screenshot);
            const QString name = info.path() + QLatin1Char('/') + info.completeBaseName() +
                                 QStringLiteral("-screen.png");
            shown.save(name);
            std::printf("window as shown saved to %s\n", qPrintable(name));
        }
    }
    Form1->LMDHiTimer1->stop();
    destroyForms();
    return 0;
}
