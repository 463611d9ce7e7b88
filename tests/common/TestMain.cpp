// Entry point of every test executable: runs each test on the headless back end so no test
// opens a window or plays sound, whatever the developer's desktop, and keeps every presented
// frame so tests can read it.
#include "common/HostWindow.h"

#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    vireo::test::UseHeadlessBackend();
    vireo::testing::KeepPresentedFrames(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
