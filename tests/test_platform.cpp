#include "platform/convert.h"
#include "platform/errors.h"
#include "tests/support/testmain.h"

#include <QTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void wholeNumbers_data();
    void wholeNumbers();
};

void TestPlatform::wholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "11766" << true << 11766;
    QTest::newRow("leading blanks") << "  4800" << true << 4800;
    QTest::newRow("sign") << "-3" << true << -3;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("above max") << "2147483648" << false << 0;
    QTest::newRow("far beyond") << "99999999999999999999" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank only") << "   " << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("letters") << "27500,34" << false << 0;
    QTest::newRow("tab") << "\t5" << false << 0;
}

void TestPlatform::wholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    if (ok) {
        QCOMPARE(platform::StrToInt(text), value);
    } else {
        try {
            platform::StrToInt(text);
            QFAIL("no conversion error");
        } catch (const platform::ConvertError &e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
}

ORVANTA_TEST(TestPlatform)
#include "test_platform.moc"
