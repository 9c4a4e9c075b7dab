#include "tests/support/testmain.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <cstdio>
#include <map>
#include <string>

namespace testing_support {
namespace {
std::map<std::string, Factory> &registry()
{
    static std::map<std::string, Factory> tests;
    return tests;
}
} // namespace

bool registerTest(const char *file, Factory factory)
{
    QString name = QFileInfo(QString::fromUtf8(file)).completeBaseName();
    if (name.startsWith(QLatin1String("test_")))
        name = name.mid(5);
    registry()[name.toStdString()] = std::move(factory);
    return true;
}
} // namespace testing_support

// Usage: orvanta_tests [NAME [QtTest arguments...]]; without NAME every
// registered class runs.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    auto &tests = testing_support::registry();
    if (argc > 1 && argv[1][0] != '-') {
        auto it = tests.find(argv[1]);
        if (it == tests.end()) {
            std::fprintf(stderr, "unknown test %s\n", argv[1]);
            return 2;
        }
        auto object = it->second();
        argv[1] = argv[0];
        return QTest::qExec(object.get(), argc - 1, argv + 1);
    }
    int failed = 0;
    for (auto &[name, factory] : tests) {
        auto object = factory();
        failed += QTest::qExec(object.get(), argc, argv) != 0;
    }
    return failed;
}
