// The whole-engine input harness: a host window on the headless back end, EngineInit with an
// 800 x 600 scene and no frame cap, and frames on the virtual clock.
#include "tests/input/InputHarness.h"

#include <vireo/platform/Testing.h>

namespace inputtest {
namespace {

LRESULT HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(const wchar_t* title)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = L"VireoInputTestHost";
        RegisterClassExW(&wc);
        registered = true;
    }
    return CreateWindowExW(0, L"VireoInputTestHost", title, WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                           nullptr, nullptr);
}

}  // namespace

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
    m_hWnd = MakeWindow(L"game");
    ASSERT_NE(m_hWnd, nullptr);
    ShowWindow(m_hWnd, SW_SHOW);
    SetClientSize(800, 600);
    SetForeground(true);

    SEngineParam param = {};
    param.hWnd = m_hWnd;
    param.sizeScene = {800, 600};
    param.wFPS = 0;
    ASSERT_TRUE(m_game.EngineInit(&param));
    TakeMessageBoxes();
    Frame();
}

void InputEngineTest::TearDown()
{
    m_game.onMessage = nullptr;
    m_game.EngineDestroy();
    DestroyWindow(m_hWnd);
    vireo::testing::UninstallVirtualClock();
}

void InputEngineTest::Frame()
{
    m_game.inputMessages.clear();
    vireo::testing::AdvanceClock(20);
    m_game.Run();
}

void InputEngineTest::Frames(int count)
{
    for (int i = 0; i < count; ++i)
        Frame();
}

std::string InputEngineTest::LogText() const { return vireo::test::ReadFileBytes("VireoEngine.log"); }

}  // namespace inputtest

namespace inputtest {

void Key(int dik, bool down) { vireo::testing::InjectKey(dik, down); }
void Tap(int dik)
{
    Key(dik, true);
    Key(dik, false);
}
void MouseButton(int button, bool down) { vireo::testing::InjectMouseButton(button, down); }
void MouseMove(int dx, int dy) { vireo::testing::InjectMouseMotion(dx, dy); }
void Wheel(int delta) { vireo::testing::InjectWheel(delta); }

void InputEngineTest::SetForeground(bool gameInFront) { vireo::testing::SetForeground(m_hWnd, gameInFront); }

void InputEngineTest::SetMinimized(bool minimized)
{
    vireo::testing::SetMinimised(m_hWnd, minimized);
    ASSERT_EQ(IsIconic(m_hWnd) != FALSE, minimized);
}

void InputEngineTest::SetClientSize(int width, int height)
{
    vireo::testing::SetClientSize(m_hWnd, width, height);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    ASSERT_EQ(client.right, width);
    ASSERT_EQ(client.bottom, height);
}

void InputEngineTest::SetCursorClientPos(int x, int y) { vireo::testing::SetCursorClientPos(m_hWnd, x, y); }

std::vector<std::wstring> InputEngineTest::TakeMessageBoxes()
{
    std::vector<std::wstring> texts;
    for (const vireo::testing::MessageBoxRecord& box : vireo::testing::MessageBoxesShown())
        texts.push_back(box.text);
    vireo::testing::ClearMessageBoxes();
    return texts;
}

}  // namespace inputtest
