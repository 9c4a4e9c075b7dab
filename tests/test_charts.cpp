#include "app/globals.h"
#include "scan/chart.h"
#include "scan/form4.h"
#include "scan/scanrules.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QChart>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTest>

using testing_support::ProgramFixture;

namespace {

// Fills the three charts as a scan with `caught` catches would.
void fillCharts(int caught)
{
    scan::BarSeries *series[] = {Form4->Series1, Form4->BarSeries1, Form4->BarSeries2};
    const QList<scan::BarPlace> places = scan::barPlaces(caught);
    for (int j = 0; j < places.size(); ++j) {
        const int quality = 20 + (j * 7) % 80;
        series[places[j].chart - 1]->addBar(places[j].x, quality, QString::number(10700 + j),
                                            scan::barColour(quality));
    }
    CaughtCount = caught;
}

int pixelsOf(const QImage &image, const QColor &colour, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace

class TestCharts : public QObject
{
    Q_OBJECT
private slots:
    void savesImagesByCount_data();
    void savesImagesByCount();
    void cancelledDialogWritesNothing();
    void neverShownChartIsDrawnWithItsBars();
    void everyLabelDrawnInsideTheChart();
};

void TestCharts::savesImagesByCount_data()
{
    QTest::addColumn<int>("caught");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("0") << 0 << "sat.bmp" << QStringList{"sat.bmp"};
    QTest::newRow("60") << 60 << "sat.bmp" << QStringList{"sat.bmp"};
    QTest::newRow("61") << 61 << "sat.bmp" << QStringList{"sat-2.bmp", "sat.bmp"};
    QTest::newRow("120") << 120 << "sat.bmp" << QStringList{"sat-2.bmp", "sat.bmp"};
    QTest::newRow("121") << 121 << "sat.bmp" << QStringList{"sat-2.bmp", "sat-3.bmp", "sat.bmp"};
    QTest::newRow("typed sat") << 121 << "sat" << QStringList{"sat-2.bmp", "sat-3.bmp", "sat.bmp"};
    QTest::newRow("sat.BMP") << 121 << "sat.BMP"
                             << QStringList{"sat-2.bmp", "sat-3.bmp", "sat.BMP"};
    QTest::newRow("a.bmp.bmp") << 121 << "a.bmp.bmp"
                               << QStringList{"a-2.bmp", "a-3.bmp", "a.bmp.bmp"};
}

void TestCharts::savesImagesByCount()
{
    QFETCH(int, caught);
    QFETCH(QString, answer);
    QFETCH(QStringList, files);
    ProgramFixture f;
    const QString dir = f.path(QStringLiteral("out"));
    QDir().mkpath(dir);
    fillCharts(caught);
    f.dialogs.answers << dir + QLatin1Char('/') + answer;
    Form4->SpeedButton1->click();

    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(f.dialogs.requests.size(), 1);
    QCOMPARE(f.dialogs.requests.first().defaultSuffix, QStringLiteral("bmp"));
    QCOMPARE(f.dialogs.requests.first().filter, QStringLiteral("*.bmp"));
    QCOMPARE(QDir(dir).entryList(QDir::Files, QDir::Name), files);
    // Nothing lands beside the program under a bare name.
    QCOMPARE(QDir(f.path(QString())).entryList(QDir::Files), QStringList{});
    for (const QString &name : files) {
        const QString path = dir + QLatin1Char('/') + name;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(2), QByteArray("BM"));
        QCOMPARE(QImage(path, "BMP").size(), QSize(857, 201));
    }
}

void TestCharts::cancelledDialogWritesNothing()
{
    ProgramFixture f;
    fillCharts(130);
    Form4->SpeedButton1->click();
    QCOMPARE(f.dialogs.requests.size(), 1);
    QCOMPARE(QDir(f.path(QString())).entryList(QDir::Files), QStringList{});
}

void TestCharts::neverShownChartIsDrawnWithItsBars()
{
    ProgramFixture f;
    QVERIFY(!Form4->isVisible());
    Form4->Chart2->setTitleLines(QStringLiteral("Спутниковая карта QX"),
                                 QStringLiteral("Спутник: S"));
    Form4->BarSeries1->addBar(1, 30, QStringLiteral("10700"), scan::barColour(30));
    Form4->BarSeries1->addBar(2, 50, QStringLiteral("10800"), scan::barColour(50));
    Form4->BarSeries1->addBar(3, 90, QStringLiteral("10900"), scan::barColour(90));
    const QImage image = Form4->Chart2->renderImage();
    QCOMPARE(image.size(), QSize(857, 201));
    const QRect all = image.rect();
    const QRectF plot = Form4->Chart2->chart()->plotArea();
    // Laid out at the chart's own size, not Qt's default.
    QVERIFY(plot.width() > 700);
    QVERIFY(plot.bottom() < 201);
    QVERIFY(pixelsOf(image, QColor(255, 0, 0), all) > 100);
    QVERIFY(pixelsOf(image, QColor(0, 0, 255), plot.toRect()) > 100);
    // The green bar is the tallest: 90 % of the plot's height, 65 % wide.
    const int green = pixelsOf(image, QColor(0, 128, 0), all);
    const double expected = 0.9 * plot.height() * 0.65 * plot.width() / 3;
    QVERIFY2(green > expected * 0.85 && green < expected * 1.15,
             qPrintable(QStringLiteral("%1 vs %2").arg(green).arg(expected)));
    QCOMPARE(Form4->Chart2->drawnLabels(), (QStringList{"10700", "10800", "10900"}));
    QCOMPARE(Form4->Chart2->drawnMarks(), 3);
}

void TestCharts::everyLabelDrawnInsideTheChart()
{
    ProgramFixture f;
    fillCharts(1000);
    for (scan::BarChart *chart : {Form4->Chart1, Form4->Chart2, Form4->Chart3}) {
        chart->renderImage();
        const QList<scan::Bar> &bars = chart->series()->bars();
        QStringList labels;
        for (const scan::Bar &b : bars)
            labels << b.label;
        QCOMPARE(chart->drawnLabels(), labels);
        const QRectF plot = chart->chart()->plotArea();
        const QRectF own(QPointF(0, 0), QSizeF(chart->size()));
        for (const QRectF &r : chart->labelRects()) {
            QVERIFY(own.contains(r));
            QVERIFY(r.top() > plot.bottom());
            QVERIFY(r.height() > r.width()); // turned upright
        }
    }
}

ORVANTA_TEST(TestCharts)
#include "test_charts.moc"
