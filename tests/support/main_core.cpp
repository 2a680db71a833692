#include <QCoreApplication>
#include <clocale>
#include <gtest/gtest.h>

// libzip loads the crypto library, whose one-time global state is never freed.
extern "C" const char* __lsan_default_suppressions() { return "leak:libcrypto.so\n"; }

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
