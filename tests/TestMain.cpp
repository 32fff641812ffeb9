#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Pinned, so that no test depends on the caller's locale.
    std::setlocale(LC_ALL, "C");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
