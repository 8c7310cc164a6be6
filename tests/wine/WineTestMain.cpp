#include <gtest/gtest.h>

#include "support/LeadBytes.h"

int main(int argc, char** argv)
{
    LoadLeadBytesFromSystem(); // as the program does at start-up
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
