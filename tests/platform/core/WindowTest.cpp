// Windows and the message queue on the headless back end: creation and destruction
// messages, queue order and filters, WM_QUIT last, the state changes a user makes (size,
// minimise) arriving as messages, DefWindowProc closing, and destruction from inside a message.
#include "common/LastError.h"

#include <vireo/platform/Testing.h>
#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;
LRESULT g_createAnswer = 0;
LPVOID g_createParam = nullptr;
UINT g_destroyOn = WM_NULL; // the procedure destroys its window inside this message, and in WM_DESTROY again

LRESULT CALLBACK_Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back({hwnd, message, wParam, lParam});
    if (g_destroyOn != WM_NULL && (message == g_destroyOn || message == WM_DESTROY))
        DestroyWindow(hwnd);
    if (message == WM_CREATE) {
        g_createParam = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams;
        return g_createAnswer;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Windows : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &CALLBACK_Record;
        wc.lpszClassName = L"VireoTestWindow";
        ASSERT_NE(RegisterClassExW(&wc), 0);
    }
    void SetUp() override
    {
        g_seen.clear();
        g_createAnswer = 0;
        g_destroyOn = WM_NULL;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override
    {
        for (HWND hwnd : m_made)
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
    }
    // The class is named in another case: its lookup ignores case.
    HWND Make(DWORD style = WS_OVERLAPPEDWINDOW, int width = 816, int height = 639, void* param = nullptr)
    {
        HWND hwnd = CreateWindowExW(0, L"vireotestwindow", L"Test", style, 10, 20, width, height, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), param);
        m_made.push_back(hwnd);
        return hwnd;
    }
    // Dispatches everything queued, as a host's loop would; returns the messages seen.
    std::vector<UINT> Pump()
    {
        g_seen.clear();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::vector<UINT> ids;
        for (const Seen& seen : g_seen)
            ids.push_back(seen.message);
        return ids;
    }
    std::vector<HWND> m_made;
};

TEST_F(Windows, CreationAndDestructionReachTheProcedure)
{
    int createParam = 42;
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, &createParam);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_GE(g_seen.size(), 4u);
    EXPECT_EQ(g_seen[0].message, WM_CREATE);
    EXPECT_EQ(g_createParam, &createParam);
    EXPECT_EQ(std::tuple(g_seen[1].message, LOWORD(g_seen[1].lParam), HIWORD(g_seen[1].lParam)),
              std::tuple(UINT{WM_SIZE}, WORD{300 - 16}, WORD{200 - 39}));
    // WS_VISIBLE shows and activates it.
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetForegroundWindow(), hwnd);
    EXPECT_EQ(g_seen.back().message, WM_ACTIVATE);
    EXPECT_EQ(LOWORD(g_seen.back().wParam), WA_ACTIVE);

    PostMessageW(hwnd, WM_USER, 1, 2);
    g_seen.clear();
    EXPECT_TRUE(DestroyWindow(hwnd));
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].message, WM_DESTROY);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_TRUE(Pump().empty()); // its queued messages went with it
    EXPECT_EQ(ErrorOf(DestroyWindow(hwnd)), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(PostMessageW(hwnd, WM_USER, 0, 0));

    // A procedure answering -1 to WM_CREATE refuses the window.
    g_createAnswer = -1;
    g_seen.clear();
    EXPECT_EQ(Make(), nullptr);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[1].message, WM_DESTROY);
}

TEST_F(Windows, QueueKeepsOrderFiltersAndDeliversQuitLast)
{
    HWND a = Make(), b = Make();
    PostQuitMessage(7);
    PostMessageW(a, WM_USER + 1, 0, 0);
    PostMessageW(b, WM_USER + 2, 0, 0);
    PostMessageW(nullptr, WM_USER + 3, 0, 0);
    PostMessageW(a, WM_USER + 4, 0, 0);

    MSG msg;
    // A window filter sees only that window's messages, and never WM_QUIT.
    ASSERT_TRUE(PeekMessageW(&msg, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    EXPECT_FALSE(PeekMessageW(&msg, b, 0, 0, PM_REMOVE));
    // A range filter; PM_NOREMOVE leaves the message in place.
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 4, WM_USER + 4, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, a);
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 3u);
    EXPECT_EQ(msg.hwnd, nullptr);

    std::vector<UINT> order;
    g_seen.clear();
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        order.push_back(msg.message);
        EXPECT_EQ(DispatchMessageW(&msg), 0);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 4}));
    EXPECT_EQ(std::pair(msg.message, msg.wParam), std::pair(UINT{WM_QUIT}, WPARAM{7}));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)); // quit is delivered once
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].hwnd, a);
}

TEST_F(Windows, IdleWaitSleepsUntilAMessageOrTheTimeIsUp)
{
    vireo::testing::InstallVirtualClock();
    const DWORD start = GetTickCount();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_EQ(GetTickCount() - start, 5u); // headless: the time passes on the platform clock
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT), WAIT_TIMEOUT);
    PostMessageW(Make(), WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(GetTickCount() - start, 5u); // a pending message ends the wait at once
    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    vireo::testing::UninstallVirtualClock();
}

TEST_F(Windows, UserChangesArriveAsMessagesAndClosingGoesThroughDefWindowProc)
{
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), hwnd);

    vireo::testing::SetMinimised(hwnd, true);
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 0); // no client area while minimised
    Pump();
    ASSERT_EQ(g_seen.size(), 2u);
    // WA_INACTIVE with the minimised flag, then the size message
    EXPECT_EQ(std::tuple(g_seen[0].message, g_seen[0].wParam),
              std::tuple(UINT{WM_ACTIVATE}, WPARAM{MAKEWPARAM(WA_INACTIVE, 1)}));
    EXPECT_EQ(std::tuple(g_seen[1].message, g_seen[1].wParam), std::tuple(UINT{WM_SIZE}, WPARAM{SIZE_MINIMIZED}));

    vireo::testing::SetMinimised(hwnd, false);
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_SIZE, WM_ACTIVATE}));
    EXPECT_EQ(g_seen[1].wParam, WPARAM{WA_ACTIVE});

    vireo::testing::SetForeground(hwnd, false);
    vireo::testing::SetForeground(hwnd, false); // no change, no second message
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_ACTIVATE}));

    vireo::testing::SetClientSize(hwnd, 320, 240);
    RECT window;
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.right - window.left, 320 + 16);
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_SIZE}));
    EXPECT_EQ(HIWORD(g_seen[0].lParam), 240);

    vireo::testing::InjectChar(hwnd, L'中');
    vireo::testing::InjectSysKey(hwnd, 'X', true);
    vireo::testing::InjectSysKey(hwnd, 'X', false);
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP}));
    EXPECT_EQ(g_seen[0].wParam, static_cast<WPARAM>(L'中'));
    EXPECT_TRUE(g_seen[1].lParam & (1 << 29));                              // Alt held
    EXPECT_FALSE(g_seen[1].lParam & (1u << 31));                            // key going down
    EXPECT_TRUE(static_cast<std::uint32_t>(g_seen[2].lParam) & (1u << 31)); // key going up
    // Outside the basic plane: two WM_CHAR, high surrogate first, as on Win32.
    vireo::testing::InjectChar(hwnd, static_cast<wchar_t>(0x1F600));
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_CHAR, WM_CHAR}));
    EXPECT_EQ(std::pair(g_seen[0].wParam, g_seen[1].wParam), std::pair(WPARAM{0xD83D}, WPARAM{0xDE00}));

    vireo::testing::InjectSysKey(hwnd, VK_F4, true);
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_SYSKEYDOWN, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(hwnd));
    hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    vireo::testing::CloseWindow(hwnd); // the close box
    EXPECT_TRUE(IsWindow(hwnd));       // nothing happens until the host pumps
    EXPECT_EQ(Pump(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(Windows, DestroyedFromInsideItsOwnMessages)
{
    const auto show = [](HWND hwnd) { ShowWindow(hwnd, SW_SHOW); };
    const auto place = [](HWND hwnd) { SetWindowPos(hwnd, nullptr, 5, 5, 300, 300, SWP_SHOWWINDOW); };
    const auto minimise = [](HWND hwnd) { ShowWindow(hwnd, SW_MINIMIZE); };
    const auto destroy = [](HWND hwnd) { DestroyWindow(hwnd); };
    const std::tuple<UINT, void (*)(HWND)> rows[] = {{WM_SHOWWINDOW, show}, {WM_ACTIVATE, show}, {WM_MOVE, place},
                                                     {WM_SIZE, place},      {WM_SIZE, minimise}, {WM_DESTROY, destroy}};
    for (const auto& [message, action] : rows) {
        SCOPED_TRACE(::testing::Message() << "message " << message);
        g_destroyOn = WM_NULL;
        HWND hwnd = Make(WS_OVERLAPPEDWINDOW, 200, 200);
        g_destroyOn = message;
        g_seen.clear();
        action(hwnd);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(std::count_if(g_seen.begin(), g_seen.end(), [](const Seen& s) { return s.message == WM_DESTROY; }),
                  1);
        EXPECT_NE(GetForegroundWindow(), hwnd);
    }
}

} // namespace
