// main() of the tests that talk to a PostgreSQL server: Qt's SQL drivers are
// plugins, which need an application object to be found.
//
// A run with skipped tests (no server could be started) and no failure ends
// with one more line, which ctest's SKIP_REGULAR_EXPRESSION turns into
// Skipped. GoogleTest's own "[  SKIPPED ]" lines are not matched, as they
// would also turn a run with failures into Skipped.
#include <gtest/gtest.h>

#ifdef ZELVARA_PG_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;  // tests that show the desktop program's windows
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <cstdio>

int main(int argc, char** argv) {
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    const int skipped = ::testing::UnitTest::GetInstance()->skipped_test_count();
    if (result == 0 && skipped > 0) std::printf("[  SKIPPED ] %d of these tests, and none failed\n", skipped);
    return result;
}
