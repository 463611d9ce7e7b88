// EngineInit, EngineDestroy and the destructor on the headless back end with the virtual
// clock: start-up order and log, the 1.5 s minimum, the window-size rule, the DirectX
// refusal, and shutdown through EngineDestroy and WM_DESTROY.
#include "common/EngineHarness.h"
#include "support/DxVersion.h"

#include <vireo/platform/Testing.h>

#include <algorithm>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

TEST_F(EngineTest, StartUpOrderAndLog)
{
    ShowWindow(m_hwnd, SW_SHOW);
    vireo::testing::SetForeground(m_hwnd, true);
    bool mainWindowAtInit = false;
    bool activeAtInit = true;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_EG_INIT) {
            mainWindowAtInit = m_game->GetMainGWnd() != nullptr;
            activeAtInit = m_game->IsActive();
            vireo::testing::AdvanceClock(300);
        }
        return -1;
    };
    const SEngineParam param = Param(60);
    ASSERT_TRUE(m_game->EngineInit(&param));

    EXPECT_TRUE(mainWindowAtInit);
    EXPECT_FALSE(activeAtInit);
    EXPECT_TRUE(m_game->IsActive());
    EXPECT_THAT(m_game->Take(), ElementsAre(EMSG_EG_INIT));
    EXPECT_THAT(LogMessages(),
                ElementsAre("---- Vireo Engine Init ----", "FPS=60; SceneSize cx=800, cy=600; WindowSize cx=0, cy=0",
                            "MaxSimultaneousTextures=2", "D3DDeviceType=1(D3DDEVTYPE_HAL), hr=0",
                            // The default font's face: which file depends on the machine.
                            StartsWith("Font \"Times New Roman\" weight 1000: "), "ClearAllInputState",
                            // The logo's picture: loaded from memory, drawn, released.
                            StartsWith("D3DXCreateTextureFromFileInMemoryEx  hr=0(S_OK), Pool=1, "),
                            StartsWith("D3DXReleaseTexture  ref=0, "), "CGameEngine::SendMessage  msg=2001 (EMSG_EG_INIT)",
                            "EMSG_EG_INIT  time cost = 300"));
    // The main window has the scene's size and holds the focus.
    CGWnd* main = m_game->GetMainGWnd();
    RECT rect;
    main->GetWindowRect(&rect);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_EQ(main->GetFocus(), main);
    EXPECT_EQ(m_game->GetSceneSize().cx, 800);
    EXPECT_TRUE(IsWindowVisible(m_hwnd));
}

TEST_F(EngineTest, StartUpLastsAtLeastOneAndAHalfSecondsFromInit)
{
    struct {
        DWORD work;
        DWORD total;
    } rows[] = {{300, 1500}, {0, 1500}, {1499, 1500}, {1500, 1500}, {2000, 2000}};
    for (const auto& row : rows) {
        auto game = std::make_unique<CTestGame>();
        DWORD sentAt = 0;
        game->onMessage = [&](UINT msg) {
            if (msg == EMSG_EG_INIT) {
                sentAt = GetTickCount();
                vireo::testing::AdvanceClock(row.work);
            }
            return -1;
        };
        const SEngineParam param = Param(60);
        ASSERT_TRUE(game->EngineInit(&param));
        EXPECT_EQ(GetTickCount() - sentAt, row.total) << "work " << row.work;
    }
}

TEST_F(EngineTest, WindowSizeIsReplacedOnlyWhenBothMembersAreZero)
{
    SEngineParam param = Param(30);
    ASSERT_TRUE(m_game->EngineInit(&param));
    EXPECT_EQ(m_game->GetEngineParam()->sizeWindow.cx, 640);
    EXPECT_EQ(m_game->GetEngineParam()->sizeWindow.cy, 480);

    CTestGame second;
    param.sizeWindow = SIZE{0, 600};
    ASSERT_TRUE(second.EngineInit(&param));
    EXPECT_EQ(second.GetEngineParam()->sizeWindow.cx, 0);
    EXPECT_EQ(second.GetEngineParam()->sizeWindow.cy, 600);
    EXPECT_EQ(LogMessages()[1], "FPS=30; SceneSize cx=800, cy=600; WindowSize cx=0, cy=600");
}

TEST_F(EngineTest, CentringPlacesTheWindowInTheWorkArea)
{
    SEngineParam param = Param(60);
    param.bCenterWindow = TRUE;
    RECT before;
    GetWindowRect(m_hwnd, &before);
    ASSERT_TRUE(m_game->EngineInit(&param));
    RECT after;
    GetWindowRect(m_hwnd, &after);
    const int width = GetSystemMetrics(SM_CXMAXIMIZED) - 2 * GetSystemMetrics(SM_CXFRAME);
    const int height = GetSystemMetrics(SM_CYMAXIMIZED) - 2 * GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(after.left, (width - (before.right - before.left)) / 2);
    EXPECT_EQ(after.top, (height - (before.bottom - before.top)) / 2);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

class OldDirectX : public vireo::DxVersionSource {
  public:
    explicit OldDirectX(ULONGLONG ddraw) : m_ddraw(ddraw) {}
    bool QueryDxDiag(DWORD&, DWORD&, wchar_t&) override { return false; }
    bool GetSystemFileVersion(const wchar_t* file, ULONGLONG& version) override
    {
        if (std::wstring(file) != L"ddraw.dll")
            return false;
        version = m_ddraw;
        return true;
    }

  private:
    ULONGLONG m_ddraw;
};

TEST_F(EngineTest, DirectXBelowNineRefusesBeforeAnySystemStarts)
{
    OldDirectX old(vireo::MakeFileVersion(4, 7, 0, 700));
    vireo::DxVersionSource* previous = vireo::SetDxVersionSource(&old);
    vireo::testing::ClearMessageBoxes();
    const SEngineParam param = Param(60);
    const BOOL started = m_game->EngineInit(&param);
    vireo::SetDxVersionSource(previous);

    EXPECT_FALSE(started);
    EXPECT_FALSE(m_game->IsActive());
    EXPECT_EQ(m_game->GetMainGWnd(), nullptr);
    EXPECT_TRUE(m_game->Take().empty());
    const auto boxes = vireo::testing::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Vireo Engine");
    EXPECT_EQ(boxes[0].text, L"您当前 DirectX 版本为 7.0\n请安装 DirectX 9.0 以上版本来运行本游戏");
    // The input system never started, so its first log line is missing.
    const auto log = LogMessages();
    EXPECT_EQ(std::count(log.begin(), log.end(), "ClearAllInputState"), 0);
    // Run does nothing on an engine that did not start.
    m_game->Run();
    EXPECT_TRUE(m_game->Take().empty());
}

TEST_F(EngineTest, PlatformWithoutDxDiagDecidesByFiles)
{
    vireo::testing::DxDiagSystemInfo info;
    info.providerAvailable = false;
    vireo::testing::SetDxDiagSystemInfo(info);
    vireo::testing::ClearMessageBoxes();
    const SEngineParam param = Param(60);
    // No provider and no DirectX files: 0.0, refused.
    EXPECT_FALSE(m_game->EngineInit(&param));
    // d3d9.dll present: 9.0, started.
    vireo::testing::SetFileVersion(L"d3d9.dll", 5, 3, 2600, 2180);
    CTestGame second;
    EXPECT_TRUE(second.EngineInit(&param));

    const auto boxes = vireo::testing::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"您当前 DirectX 版本为 0.0\n请安装 DirectX 9.0 以上版本来运行本游戏");
}

TEST_F(EngineTest, NoParametersOrASecondStartAreRefused)
{
    CTestGame unstarted;
    EXPECT_FALSE(unstarted.EngineInit(nullptr));
    EXPECT_FALSE(unstarted.IsActive());

    Start(60);
    CGWnd* main = m_game->GetMainGWnd();
    const SEngineParam param = Param(30);
    EXPECT_FALSE(m_game->EngineInit(&param));
    EXPECT_EQ(LogMessages().back(), "EngineInit  called twice; ignored");
    EXPECT_TRUE(m_game->IsActive());
    EXPECT_EQ(m_game->GetMainGWnd(), main);
    EXPECT_EQ(m_game->GetEngineParam()->wFPS, 60);
}

TEST_F(EngineTest, EngineDestroyPostsQuitAndStopsFrames)
{
    Start(0);
    DrainQueue();
    m_game->EngineDestroy();
    EXPECT_FALSE(m_game->IsActive());
    EXPECT_FALSE(IsWindowVisible(m_hwnd));
    EXPECT_THAT(m_game->Take(), ElementsAre(EMSG_EG_DESTROY));
    const auto queued = DrainQueue();
    EXPECT_NE(std::find(queued.begin(), queued.end(), WM_QUIT), queued.end());
    m_game->Run();
    EXPECT_TRUE(m_game->Take().empty());
    EXPECT_EQ(LogMessages().back(), "RecordInput(0)");
}

TEST_F(EngineTest, WmDestroyFromTheWindowEndsTheEngine)
{
    Start(0);
    DrainQueue();
    m_game->seen.clear();
    EXPECT_EQ(m_game->SendMessage(WM_DESTROY, 0, 0), 1);
    EXPECT_FALSE(m_game->IsActive());
    ASSERT_FALSE(m_game->seen.empty());
    EXPECT_EQ(m_game->seen.front(), WM_DESTROY);
    EXPECT_THAT(m_game->Take(), ElementsAre(EMSG_EG_DESTROY));
    const auto queued = DrainQueue();
    EXPECT_NE(std::find(queued.begin(), queued.end(), WM_QUIT), queued.end());
}

TEST_F(EngineTest, SysKeysAreSwallowedAndDestructorLogs)
{
    Start(0);
    EXPECT_EQ(m_game->SendMessage(WM_SYSKEYDOWN, 0, 0), 1);
    EXPECT_EQ(m_game->SendMessage(WM_SYSKEYUP, 0, 0), 1);
    EXPECT_EQ(m_game->SendMessage(WM_KEYDOWN, 0, 0), 0);
    m_game.reset();
    EXPECT_EQ(LogMessages().back(), "~CGameEngine");
}

} // namespace
} // namespace vireo::test
