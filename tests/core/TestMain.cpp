#include <clocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Take the locale of the environment, as the desktop application does at start-up, so a
    // run under a comma locale catches any number written or read through the C locale.
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
