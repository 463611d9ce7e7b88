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
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = L"VireoInputTestHost";
        return RegisterClassExW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    m_hWnd = CreateWindowExW(0, L"VireoInputTestHost", L"game", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    ShowWindow(m_hWnd, SW_SHOW);
    vireo::testing::SetClientSize(m_hWnd, 800, 600);
    SetForeground(true);
    SEngineParam param = {}; // no frame cap
    param.hWnd = m_hWnd;
    param.sizeScene = {800, 600};
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
