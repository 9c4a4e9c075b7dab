// Closing the main window ends the program even while a long activity runs
// inside a handler: the activity stops at its next message point.
#include "app/form1.h"
#include "app/globals.h"
#include "platform/wait.h"
#include "scan/form3.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testing_support::ProgramFixture;

class TestClosing : public QObject
{
    Q_OBJECT
private slots:
    void closeDuringBlindSearch();
    void closeDuringFecSearch();
};

void TestClosing::closeDuringBlindSearch()
{
    ProgramFixture f;
    Form1->SpeedButton4->click();
    Form3->Edit1->setText("10700");
    Form3->Edit2->setText("12700");
    Form3->RadioButton3->setChecked(true);
    Form3->Edit3->setText("1000");
    Form3->Edit4->setText("45000");
    int points = 0;
    platform::setProcessMessagesHook([&] {
        if (++points == 50)
            Form1->close();
    });
    Form3->SpeedButton1->click();
    platform::setProcessMessagesHook({});
    // Without the end request this search would run for ~88 million points.
    QVERIFY2(points < 60, qPrintable(QString::number(points)));
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestClosing::closeDuringFecSearch()
{
    ProgramFixture f;
    Form1->Edit1->setText("11766");
    Form1->Edit2->setText("27500");
    int points = 0;
    platform::setProcessMessagesHook([&] {
        if (++points == 2)
            Form1->close();
    });
    Form1->SpeedButton7->click();
    platform::setProcessMessagesHook({});
    QCOMPARE(points, 2);
    // The wait of the try in progress is not slept through either.
    QCOMPARE(f.waits.size(), 1);
}

ORVANTA_TEST(TestClosing)
#include "test_closing.moc"
