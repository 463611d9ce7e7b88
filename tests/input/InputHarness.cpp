// The whole-engine input fixture (see the header).
#include "tests/input/InputHarness.h"

namespace inputtest {

void InputEngineTest::SetUp()
{
    EngineTest::SetUp();
    if (HasFatalFailure())
        return;
    vireo::testing::SetClientSize(m_hwnd, 800, 600);
    Start(0);
    vireo::testing::ClearMessageBoxes();
    Frames();
}

void InputEngineTest::TearDown()
{
    if (m_game) {
        m_game->onMessage = nullptr;
        m_game->EngineDestroy();
    }
    EngineTest::TearDown();
}

void InputEngineTest::Frames(int count)
{
    for (int i = 0; i < count; ++i) {
        m_game->seen.clear();
        vireo::testing::AdvanceClock(20);
        m_game->Run();
    }
}

} // namespace inputtest
