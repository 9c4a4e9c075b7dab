// Report save of a 5000-line list against cp of the same bytes, and the time
// to put 1000 caught bars on the charts and draw them once.
//   build/bench_report [folder for the chart images]
#include "app/globals.h"
#include "platform/dialogs.h"
#include "scan/chart.h"
#include "scan/form2.h"
#include "scan/form4.h"
#include "scan/scanrules.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace {

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    platform::RecordingDialogs dialogs;

    TForm2 report;
    TForm4 charts;
    Form2 = &report;
    Form4 = &charts;

    // The report: 5000 result lines, then each run adds its information block.
    QStringList lines;
    for (int i = 0; i < 5000; ++i)
        lines << scan::resultLine(QStringLiteral("%1,H,27500,34,DVB-S").arg(10700 + i), i % 90,
                                  i % 70);
    report.ListBox1->addItems(lines);
    report.Label6->setText(QStringLiteral("Hot Bird 13E"));

    QList<double> saveMs, cpMs;
    for (int run = 0; run < 7; ++run) {
        const QString target = dir.filePath(QStringLiteral("report%1.txt").arg(run));
        dialogs.answers << target;
        QElapsedTimer t;
        t.start();
        report.SpeedButton1Click();
        saveMs << t.nsecsElapsed() / 1e6;

        t.restart();
        QProcess::execute(QStringLiteral("cp"), {target, target + QStringLiteral(".copy")});
        cpMs << t.nsecsElapsed() / 1e6;
    }
    const qint64 bytes = QFileInfo(dir.filePath(QStringLiteral("report6.txt"))).size();
    out << "report save, " << report.ListBox1->count() << " lines, " << bytes << " bytes: median "
        << median(saveMs) << " ms (cp of the same file: median " << median(cpMs)
        << " ms, process start included)\n";

    // Charts: 1000 bars added one at a time with messages let through between
    // them, as the scan does, on a shown window; then one drawing of each.
    const QString map = QStringLiteral("Спутниковая карта QX");
    charts.Chart1->setTitleLines(map, QStringLiteral("Спутник: Hot Bird 13E"));
    charts.Chart2->setTitleLines(map, QStringLiteral("Спутник: Hot Bird 13E вторая часть"));
    charts.Chart3->setTitleLines(map, QStringLiteral("Спутник: Hot Bird 13E третья часть"));
    charts.show();
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    scan::BarSeries *series[] = {charts.Series1, charts.BarSeries1, charts.BarSeries2};
    const QList<scan::BarPlace> places = scan::barPlaces(1000);
    QElapsedTimer step;
    double worstStepMs = 0;
    for (int j = 0; j < places.size(); ++j) {
        step.start();
        QCoreApplication::processEvents();
        const int quality = 20 + (j * 7) % 80;
        series[places[j].chart - 1]->addBar(places[j].x, quality, QString::number(10700 + j),
                                            scan::barColour(quality));
        worstStepMs = std::max(worstStepMs, step.nsecsElapsed() / 1e6);
    }
    const double addMs = t.nsecsElapsed() / 1e6;
    // The charts take the new bars a moment later, in one go.
    t.restart();
    charts.Chart1->syncNow();
    charts.Chart2->syncNow();
    charts.Chart3->syncNow();
    QCoreApplication::processEvents();
    const double syncMs = t.nsecsElapsed() / 1e6;
    t.restart();
    const QPixmap shown = charts.grab();
    const double grabMs = t.nsecsElapsed() / 1e6;
    t.restart();
    const QImage i1 = charts.Chart1->renderImage();
    const QImage i2 = charts.Chart2->renderImage();
    const QImage i3 = charts.Chart3->renderImage();
    const double renderMs = t.nsecsElapsed() / 1e6;
    out << "charts, 1000 bars: added in " << addMs << " ms (slowest step " << worstStepMs
        << " ms), handed to the charts in " << syncMs << " ms, window drawn in " << grabMs
        << " ms, three images drawn in " << renderMs << " ms\n";

    if (argc > 1) {
        const QString folder = QString::fromLocal8Bit(argv[1]);
        i1.save(folder + QStringLiteral("/chart1.png"));
        i2.save(folder + QStringLiteral("/chart2.png"));
        i3.save(folder + QStringLiteral("/chart3.png"));
        shown.save(folder + QStringLiteral("/form4.png"));
    }
    Form2 = nullptr;
    Form4 = nullptr;
    return 0;
}
