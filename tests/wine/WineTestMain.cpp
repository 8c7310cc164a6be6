#include <gtest/gtest.h>

#include "support/Handles.h"
#include "support/SystemCodePage.h"

int main(int argc, char** argv)
{
    // As the program does at start-up.
    const ComInitialization com;
    UseCodePage(SystemCodePage());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
