#include <QApplication>
#include <QSurfaceFormat>
#include <clocale>
#include <cstring>
#include <gtest/gtest.h>

// Mesa and dbus leak on their own; suites that open a display run without leak detection.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0)
            return RUN_ALL_TESTS();  // listing needs no display
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
