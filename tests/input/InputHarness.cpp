// The whole-engine input harness: a plain host window on the headless back end, EngineInit
// with an 800 x 600 scene on an 800 x 600 client and no frame cap.
#include "tests/input/InputHarness.h"

namespace inputtest {

int CTestGame::MessageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= EMSG_IS_UI_KEYBOARD_INPUT && msg <= EMSG_IS_GAME_MOUSE_INPUT)
        inputMessages.push_back(msg);
    if (onMessage)
        if (int result = onMessage(msg))
            return result;
    return CGameEngine::MessageProc(msg, wParam, lParam);
}

void InputEngineTest::SetUp()
{
    vireo::testing::InstallVirtualClock();
    m_hWnd = vireo::test::CreateHostWindow(800, 600);
    ASSERT_NE(m_hWnd, nullptr);
    ShowWindow(m_hWnd, SW_SHOW);
    vireo::testing::SetClientSize(m_hWnd, 800, 600);
    SetForeground(true);
    const SEngineParam param = vireo::test::SceneParam(m_hWnd); // no frame cap
    ASSERT_TRUE(m_game.EngineInit(&param));
    vireo::testing::ClearMessageBoxes();
    Frames();
}

void InputEngineTest::TearDown()
{
    m_game.onMessage = nullptr;
    m_game.EngineDestroy();
    DestroyWindow(m_hWnd);
    vireo::testing::UninstallVirtualClock();
}

void InputEngineTest::Frames(int count)
{
    for (int i = 0; i < count; ++i) {
        m_game.inputMessages.clear();
        vireo::testing::AdvanceClock(20);
        m_game.Run();
    }
}

} // namespace inputtest
