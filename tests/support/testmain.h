#pragma once
// Registration of the suite's test classes: each tests/test_NAME.cpp ends with
// ORVANTA_TEST(ClassName) and is run as "orvanta_tests NAME".
#include <QObject>
#include <functional>
#include <memory>

namespace testing_support {
using Factory = std::function<std::unique_ptr<QObject>()>;
bool registerTest(const char *file, Factory factory);
} // namespace testing_support

#define ORVANTA_TEST(Class)                                                                        \
    static const bool orvantaRegistered_##Class = testing_support::registerTest(                   \
        __FILE__, [] { return std::unique_ptr<QObject>(new Class); });
