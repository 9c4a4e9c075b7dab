#include "app/form1.h"
#include "app/globals.h"
#include "monitor/form5.h"
#include "monitor/form7.h"
#include "monitor/graphiclabel.h"
#include "monitor/meterrules.h"
#include "monitor/soundclip.h"
#include "platform/wait.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QtEndian>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {
const QColor kBlack(0, 0, 0), kRed(255, 0, 0), kGreen(0, 128, 0), kBlue(0, 0, 255),
    kPurple(128, 0, 128);

void startMeter(ProgramFixture &f)
{
    Form1->Edit1->setText(QStringLiteral("11766"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->SpeedButton1->click();
    QVERIFY(Form1->LMDHiTimer1->isActive());
    f.sim.clearJournal();
}

int queries(const ProgramFixture &f)
{
    return int(f.sim.journal().count(QStringLiteral("QuerySignal")));
}
} // namespace

class TestMeter : public QObject
{
    Q_OBJECT
private slots:
    void colourBands_data();
    void colourBands();
    void placing_data();
    void placing();
    void tickShowsReading_data();
    void tickShowsReading();
    void tickWithoutQueryShowsZeros();
    void sounds_data();
    void sounds();
    void clipFormats_data();
    void clipFormats();
    void levelWindowLayout();
    void composedNumbersMatchOutline_data();
    void composedNumbersMatchOutline();
    void partialRepaintsMatchFreshDrawing();
    void stopEndsMeterAndLog();
    void levelWindowCloseEndsAfterFullTick();
    void mainWindowCloseEndsMeter();
    void stopInsideTickWins_data();
    void stopInsideTickWins();
    void closeInsideTickEndsAtSameTick();
};

void TestMeter::colourBands_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QColor>("level");
    QTest::addColumn<QColor>("quality");
    QTest::newRow("-4") << -4 << kBlack << kRed;
    QTest::newRow("0") << 0 << kBlack << kRed;
    QTest::newRow("30") << 30 << kBlack << kRed;
    QTest::newRow("31") << 31 << kRed << kRed;
    QTest::newRow("33") << 33 << kRed << kRed;
    QTest::newRow("34") << 34 << kGreen << kGreen;
    QTest::newRow("49") << 49 << kGreen << kGreen;
    QTest::newRow("50") << 50 << kBlue << kBlue;
    QTest::newRow("57") << 57 << kBlue << kBlue;
    QTest::newRow("58") << 58 << kPurple << kPurple;
    QTest::newRow("99") << 99 << kPurple << kPurple;
    QTest::newRow("100") << 100 << kPurple << kPurple;
}

void TestMeter::colourBands()
{
    QFETCH(int, value);
    QFETCH(QColor, level);
    QFETCH(QColor, quality);
    QCOMPARE(monitor::levelColour(value), level);
    QCOMPARE(monitor::qualityColour(value), quality);
}

void TestMeter::placing_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("levelX");
    QTest::addColumn<int>("qualityX");
    QTest::newRow("-5") << -5 << 50 << 598;
    QTest::newRow("99") << 99 << 50 << 598;
    QTest::newRow("100") << 100 << 10 << 522;
    QTest::newRow("1000") << 1000 << 10 << 522;
}

void TestMeter::placing()
{
    QFETCH(int, value);
    QFETCH(int, levelX);
    QFETCH(int, qualityX);
    QCOMPARE(monitor::levelLeft(value), levelX);
    QCOMPARE(monitor::qualityLeft(value), qualityX);
}

void TestMeter::tickShowsReading_data()
{
    QTest::addColumn<int>("q");
    QTest::addColumn<int>("l");
    QTest::addColumn<QColor>("qColour");
    QTest::addColumn<QColor>("lColour");
    QTest::addColumn<QPoint>("qPos");
    QTest::addColumn<QPoint>("lPos");
    QTest::newRow("45/67") << 45 << 67 << kGreen << kPurple << QPoint(598, -65) << QPoint(50, -56);
    QTest::newRow("100/99") << 100 << 99 << kPurple << kPurple << QPoint(522, -65)
                            << QPoint(50, -56);
    QTest::newRow("31/100") << 31 << 100 << kRed << kPurple << QPoint(598, -65) << QPoint(10, -56);
    QTest::newRow("negative") << -3 << -12 << kRed << kBlack << QPoint(598, -65) << QPoint(50, -56);
}

void TestMeter::tickShowsReading()
{
    QFETCH(int, q);
    QFETCH(int, l);
    QFETCH(QColor, qColour);
    QFETCH(QColor, lColour);
    QFETCH(QPoint, qPos);
    QFETCH(QPoint, lPos);
    ProgramFixture f;
    startMeter(f);
    f.sim.pushReading(q, l);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(f.sim.journal(), QStringList{QStringLiteral("QuerySignal")});
    QCOMPARE(Form5->LMDGraphicLabel2->text(), QString::number(q));
    QCOMPARE(Form5->LMDGraphicLabel1->text(), QString::number(l));
    QCOMPARE(Form5->LMDGraphicLabel2->color(), qColour);
    QCOMPARE(Form5->LMDGraphicLabel1->color(), lColour);
    QCOMPARE(Form5->LMDGraphicLabel2->pos(), qPos);
    QCOMPARE(Form5->LMDGraphicLabel1->pos(), lPos);
    QCOMPARE(Form5->LMDGraphicLabel1->size(), QSize(457, 490));
    // The tick switched its timer on again.
    QVERIFY(Form1->LMDHiTimer1->isActive());
    QVERIFY(Form5->isVisible());
}

void TestMeter::tickWithoutQueryShowsZeros()
{
    FixtureOptions o;
    o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    startMeter(f);
    f.dialogs.messages.clear();
    Form5->LMDGraphicLabel1->setText(QStringLiteral("77"));
    Form1->LMDHiTimer1Timer();
    QCOMPARE(f.dialogs.messages, QStringList{QStringLiteral("Функция не найдена")});
    QCOMPARE(Form5->LMDGraphicLabel1->text(), QStringLiteral("0"));
    QCOMPARE(Form5->LMDGraphicLabel2->text(), QStringLiteral("0"));
    QCOMPARE(Form5->LMDGraphicLabel1->color(), kBlack);
    QCOMPARE(Form5->LMDGraphicLabel2->color(), kRed);
    QVERIFY(Form1->LMDHiTimer1->isActive());
}

void TestMeter::sounds_data()
{
    QTest::addColumn<int>("q");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QStringList>("started");
    const QString fair = QStringLiteral("LMDWaveComp1"), good = QStringLiteral("LMDWaveComp2");
    QTest::newRow("31") << 31 << true << QStringList{};
    QTest::newRow("32") << 32 << true << QStringList{fair};
    QTest::newRow("50") << 50 << true << QStringList{fair};
    QTest::newRow("51: both, the second last") << 51 << true << QStringList{fair, good};
    QTest::newRow("52") << 52 << true << QStringList{good};
    QTest::newRow("120") << 120 << true << QStringList{good};
    QTest::newRow("32 unticked") << 32 << false << QStringList{};
    QTest::newRow("51 unticked") << 51 << false << QStringList{};
    QTest::newRow("52 unticked") << 52 << false << QStringList{};
}

void TestMeter::sounds()
{
    QFETCH(int, q);
    QFETCH(bool, ticked);
    QFETCH(QStringList, started);
    ProgramFixture f;
    startMeter(f);
    Form1->CheckBox3->setChecked(ticked);
    monitor::SoundClip::clearStartedClips();
    f.sim.pushReading(q, 10);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(monitor::SoundClip::startedClips(), started);
    // The level plays no part.
    monitor::SoundClip::clearStartedClips();
    f.sim.pushReading(q, 99);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(monitor::SoundClip::startedClips(), started);
}

void TestMeter::clipFormats_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("dataBytes");
    QTest::newRow("fair") << ":/sounds/quality_fair.wav" << 1 << 11025 << 8 << 5167;
    QTest::newRow("good") << ":/sounds/quality_good.wav" << 2 << 22050 << 16 << 55684;
}

void TestMeter::clipFormats()
{
    QFETCH(QString, resource);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(int, dataBytes);
    ProgramFixture f; // brings the resources in
    QFile file(resource);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    auto u32 = [&](int at) { return int(qFromLittleEndian<quint32>(b.constData() + at)); };
    auto u16 = [&](int at) { return int(qFromLittleEndian<quint16>(b.constData() + at)); };
    QCOMPARE(b.left(4), QByteArray("RIFF"));
    QCOMPARE(u32(4), int(b.size()) - 8);
    QCOMPARE(b.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(u16(20), 1); // PCM
    QCOMPARE(u16(22), channels);
    QCOMPARE(u32(24), rate);
    QCOMPARE(u32(28), rate * channels * bits / 8);
    QCOMPARE(u16(32), channels * bits / 8);
    QCOMPARE(u16(34), bits);
    QCOMPARE(b.mid(36, 4), QByteArray("data"));
    QCOMPARE(u32(40), dataBytes);
    QCOMPARE(int(b.size()), 44 + dataBytes + dataBytes % 2);
}

void TestMeter::composedNumbersMatchOutline_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("baseline");
    const QFont number = monitor::numberFont(320);
    for (const char *t : {"0", "7", "45", "100", "-12", "1234567890"})
        QTest::newRow(t) << QString::fromLatin1(t) << number << 4 << 323;
    QTest::newRow("small face, flat")
        << QStringLiteral("3019") << monitor::titleFont(32) << 0 << 29;
    QTest::newRow("odd face") << QStringLiteral("-876") << monitor::titleFont(37) << 2 << 31;
}

// The number drawn from kept per-character masks covers the same pixels as
// the whole outline drawn at once; only where glyphs touch may the sum of
// their edges differ a little from the union's edge.
void TestMeter::composedNumbersMatchOutline()
{
    QFETCH(QString, text);
    QFETCH(QFont, font);
    QFETCH(int, depth);
    QFETCH(int, baseline);
    for (int pass = 0; pass < 2; ++pass) { // making the masks, then reusing them
        const monitor::TextMasks composed =
            monitor::textMasksFromGlyphs(font, text, depth, baseline);
        const monitor::TextMasks outline = monitor::textMasksFromPath(font, text, depth, baseline);
        QVERIFY(!composed.isNull());
        QVERIFY(!outline.isNull());
        QVERIFY(qAbs(composed.bounds.left() - outline.bounds.left()) < 0.05);
        QVERIFY(qAbs(composed.bounds.right() - outline.bounds.right()) < 0.05);
        QVERIFY(qAbs(composed.bounds.top() - outline.bounds.top()) < 0.05);
        QVERIFY(qAbs(composed.bounds.bottom() - outline.bounds.bottom()) < 0.05);
        auto at = [](const QImage &mask, const QPoint &origin, int x, int y) {
            const QPoint p = QPoint(x, y) - origin;
            return mask.rect().contains(p) ? int(mask.constScanLine(p.y())[p.x()]) : 0;
        };
        const QRect all = composed.rect() | outline.rect();
        int covered = 0, off = 0, worst = 0;
        for (int y = all.top(); y <= all.bottom(); ++y) {
            for (int x = all.left(); x <= all.right(); ++x) {
                for (const auto mask : {&monitor::TextMasks::body, &monitor::TextMasks::side}) {
                    const int a = at(composed.*mask, composed.at, x, y);
                    const int b = at(outline.*mask, outline.at, x, y);
                    covered += b > 0;
                    worst = std::max(worst, qAbs(a - b));
                    off += qAbs(a - b) > 2;
                }
            }
        }
        QVERIFY(covered > 0);
        QVERIFY2(
            worst <= 32 && off * 1000 < covered,
            qPrintable(
                QStringLiteral("worst %1, %2 of %3 pixels off").arg(worst).arg(off).arg(covered)));
    }
    // Other characters are left to the whole outline.
    QVERIFY(monitor::textMasksFromGlyphs(font, QStringLiteral("4a"), depth, baseline).isNull());
}

// Each tick repaints only what changed; what the window then shows is what
// drawing it afresh gives.
void TestMeter::partialRepaintsMatchFreshDrawing()
{
    ProgramFixture f;
    startMeter(f);
    QVERIFY(Form5->isVisible());
    // Moves, colour changes, and last a number that shrinks in place and colour.
    const int readings[][2] = {{45, 67}, {100, 99}, {31, 100}, {-3, -12}, {120, 5},
                               {7, 120}, {52, 58},  {-12, 77}, {5, 60}};
    for (const auto &r : readings) {
        f.sim.pushReading(r[0], r[1]);
        Form1->LMDHiTimer1Timer();
        QApplication::processEvents();
    }
    const QImage shown = Form5->screen()->grabWindow(Form5->winId()).toImage();
    const QImage fresh = Form5->grab().toImage();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.size(), fresh.size());
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
             fresh.convertToFormat(QImage::Format_RGB32));
}

void TestMeter::levelWindowLayout()
{
    ProgramFixture f;
    QVERIFY(!Form5->isVisible());
    QCOMPARE(Form5->windowTitle(), QStringLiteral("Уровни сигнала"));
    QVERIFY(Form5->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(Form5->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(!(Form5->windowFlags() & Qt::WindowMaximizeButtonHint));
    Form5->show();
    QCOMPARE(Form5->frameGeometry().size(), QSize(1014, 483));
    QCOMPARE(Form5->Shape1->geometry(), Form5->rect());
    QCOMPARE(Form5->Shape1->palette().color(QPalette::Window), QColor(240, 251, 255));
    QCOMPARE(Form5->Panel3->geometry(), QRect(494, 8, 9, 409));
    QCOMPARE(Form5->Panel3->palette().color(QPalette::Window), QColor(192, 220, 192));
    QCOMPARE(Form5->LMDGraphicLabel1->geometry(), QRect(10, -56, 457, 490));
    QCOMPARE(Form5->LMDGraphicLabel2->geometry(), QRect(510, -65, 457, 490));
    QCOMPARE(Form5->LMDGraphicLabel3->geometry(), QRect(120, 376, 177, 38));
    QCOMPARE(Form5->LMDGraphicLabel4->geometry(), QRect(656, 376, 233, 38));
    QCOMPARE(Form5->LMDGraphicLabel1->text(), QStringLiteral("100"));
    QCOMPARE(Form5->LMDGraphicLabel1->color(), QColor(0, 0, 128));
    QCOMPARE(Form5->LMDGraphicLabel3->text(), QStringLiteral("СИГНАЛ (L)"));
    QCOMPARE(Form5->LMDGraphicLabel4->text(), QStringLiteral("КАЧЕСТВО (Q)"));
    // The numbers' face draws digits, not the symbol font some systems map "Impact" to.
    const QFont number = monitor::numberFont(320);
    QVERIFY(QFontMetrics(number).inFont(QLatin1Char('7')));
    QVERIFY2(QFontInfo(number).family() != QLatin1String("D050000L"),
             qPrintable(QFontInfo(number).family()));
    QCOMPARE(number.pixelSize(), 320);
}

void TestMeter::stopEndsMeterAndLog()
{
    ProgramFixture f;
    startMeter(f);
    Form1->LMDHiTimer2->start();
    Form7->show();
    Form1->SpeedButton2->click();
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(!Form1->LMDHiTimer2->isActive());
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(Form1->SpeedButton3->isEnabled());
    QVERIFY(!Form5->isVisible());
    QVERIFY(Form7->isVisible());
    QCOMPARE(MeterState, 1);
    QVERIFY(f.sim.journal().isEmpty());
}

void TestMeter::levelWindowCloseEndsAfterFullTick()
{
    ProgramFixture f;
    startMeter(f);
    Form1->CheckBox3->setChecked(true);
    monitor::SoundClip::clearStartedClips();
    Form5->close();
    QCOMPARE(MeterState, 5);
    QVERIFY(!Form5->isVisible());
    QVERIFY(Form1->LMDHiTimer1->isActive());
    // The next tick still runs completely, then the meter ends.
    f.sim.pushReading(52, 40);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(queries(f), 1);
    QCOMPARE(Form5->LMDGraphicLabel2->text(), QStringLiteral("52"));
    QCOMPARE(monitor::SoundClip::startedClips(), QStringList{QStringLiteral("LMDWaveComp2")});
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(Form1->SpeedButton3->isEnabled());
    QVERIFY(!Form5->isVisible());
    // A new lock sets the state back to running.
    startMeter(f);
    QCOMPARE(MeterState, 1);
    QVERIFY(Form5->isVisible());
}

void TestMeter::mainWindowCloseEndsMeter()
{
    ProgramFixture f;
    startMeter(f);
    Form1->LMDHiTimer2->start();
    Form1->close();
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(!Form1->LMDHiTimer2->isActive());
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(Form1->SpeedButton3->isEnabled());
    QCOMPARE(f.sim.journal(), QStringList{QStringLiteral("ReleaseDevCtl")});
}

void TestMeter::stopInsideTickWins_data()
{
    QTest::addColumn<int>("point"); // 1: before the query, 2: after the numbers
    QTest::addColumn<int>("expectedQueries");
    QTest::newRow("before the query") << 1 << 0;
    QTest::newRow("at the repaint") << 2 << 1;
}

void TestMeter::stopInsideTickWins()
{
    QFETCH(int, point);
    QFETCH(int, expectedQueries);
    ProgramFixture f;
    startMeter(f);
    Form1->CheckBox3->setChecked(true);
    monitor::SoundClip::clearStartedClips();
    int n = 0;
    platform::setProcessMessagesHook([&] {
        if (++n == point)
            Form1->SpeedButton2->click();
    });
    f.sim.pushReading(45, 45);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(queries(f), expectedQueries);
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(!Form5->isVisible());
    QVERIFY(Form1->SpeedButton1->isEnabled());
    // Nothing sounds after the user stopped.
    QVERIFY(monitor::SoundClip::startedClips().isEmpty());
}

void TestMeter::closeInsideTickEndsAtSameTick()
{
    ProgramFixture f;
    startMeter(f);
    int n = 0;
    platform::setProcessMessagesHook([&] {
        if (++n == 1)
            Form5->close();
    });
    f.sim.pushReading(45, 45);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(queries(f), 1);
    QCOMPARE(Form5->LMDGraphicLabel2->text(), QStringLiteral("45"));
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(!Form5->isVisible());
    QVERIFY(Form1->SpeedButton1->isEnabled());
}

ORVANTA_TEST(TestMeter)
#include "test_meter.moc"
