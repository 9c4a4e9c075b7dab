#include "app/form1.h"
#include "app/globals.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QComboBox>
#include <QTest>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initialisesReceiverAndFillsList();
    void missingLibraryComplainsOnlyAtClose();
};

void TestStartup::initialisesReceiverAndFillsList()
{
    FixtureOptions o;
    o.lists[QStringLiteral("a.ini")] = "[SATTYPE]\r\n1=0130\r\n2=Hot Bird\r\n[DVB]\r\n0=1\r\n1=10719,V,27500,34\r\n";
    ProgramFixture f(o);
    QCOMPARE(Form1->ComboBox3->count(), 1);
    QCOMPARE(Form1->ComboBox3->itemText(0), QStringLiteral("Hot Bird"));
    QVERIFY(DeviceLibrary != nullptr);
    QCOMPARE(f.sim.journal(), QStringList{QStringLiteral("InitDevCtl")});
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestStartup::missingLibraryComplainsOnlyAtClose()
{
    FixtureOptions o;
    o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    QVERIFY(DeviceLibrary == nullptr);
    QVERIFY(f.dialogs.messages.isEmpty());
    Form1->close();
    QCOMPARE(f.dialogs.messages, QStringList{QStringLiteral("Функция не найдена")});
}

ORVANTA_TEST(TestStartup)
#include "test_startup.moc"
