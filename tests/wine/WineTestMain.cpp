#include <gtest/gtest.h>

#include "support/SystemCodePage.h"

int main(int argc, char** argv)
{
    UseCodePage(SystemCodePage()); // as the program does at start-up
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
