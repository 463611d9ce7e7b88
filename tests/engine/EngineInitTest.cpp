// EngineInit and EngineDestroy on the headless back end with the virtual clock: start-up
// order and log (routing lines up to the first frame's end), the 1.5 s minimum, the
// window-size rule, refusals, and shutdown.
#include "common/EngineHarness.h"

#include <vireo/platform/Testing.h>

#include <tuple>

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
                            StartsWith("D3DXReleaseTexture  ref=0, "),
                            // The main window's own font.
                            StartsWith("Font \"Tahoma\" weight 3: "),
                            "CGameEngine::SendMessage  msg=2001 (EMSG_EG_INIT)", "EMSG_EG_INIT  time cost = 300"));
    EXPECT_EQ(m_game->GetMainGWnd()->GetFocus(), m_game->GetMainGWnd());
    // Both members zero: the window size becomes the client's.
    EXPECT_EQ(m_game->GetEngineParam()->sizeWindow.cx, 640);
    EXPECT_EQ(m_game->GetEngineParam()->sizeWindow.cy, 480);

    // Routed messages are logged until the first frame ends: EMSG_EG_INIT and that frame's ten.
    const auto routedLines = [this] {
        auto lines = LogMessages();
        std::erase_if(lines, [](const std::string& l) { return l.rfind("CGameEngine::SendMessage", 0) != 0; });
        return lines;
    };
    m_game->Run();
    const auto firstFrame = routedLines();
    m_game->Run();
    m_game->SendMessage(WM_DESTROY, 0, 0);
    EXPECT_EQ(routedLines(), firstFrame);
    ASSERT_EQ(firstFrame.size(), 11u);
    EXPECT_EQ(firstFrame[3], "CGameEngine::SendMessage  msg=5001 (EMSG_IS_UI_KEYBOARD_INPUT)");
    EXPECT_EQ(firstFrame[10], "CGameEngine::SendMessage  msg=2008 (EMSG_EG_FRAME_END)");
}

TEST_F(EngineTest, StartUpLastsAtLeastOneAndAHalfSecondsFromInit)
{
    std::tuple<DWORD, DWORD> rows[] = {{300, 1500}, {0, 1500}, {1499, 1500}, {1500, 1500}, {2000, 2000}};
    for (const auto& [work, total] : rows) {
        auto game = std::make_unique<CTestGame>();
        DWORD sentAt = 0;
        game->onMessage = [&](UINT msg) {
            if (msg == EMSG_EG_INIT) {
                sentAt = GetTickCount();
                vireo::testing::AdvanceClock(work);
            }
            return -1;
        };
        const SEngineParam param = Param(60);
        ASSERT_TRUE(game->EngineInit(&param));
        EXPECT_EQ(GetTickCount() - sentAt, total) << "work " << work;
    }
}

TEST_F(EngineTest, DirectXBelowNineRefusesBeforeAnySystemStarts)
{
    // No DxDiag; the newest DirectX file is the ddraw.dll of DirectX 7.
    vireo::testing::DxDiagSystemInfo info;
    info.providerAvailable = false;
    vireo::testing::SetDxDiagSystemInfo(info);
    vireo::testing::SetFileVersion(L"ddraw.dll", 4, 7, 0, 700);
    vireo::testing::ClearMessageBoxes();
    const SEngineParam param = Param(60);
    EXPECT_FALSE(m_game->EngineInit(&param));
    EXPECT_EQ(m_game->GetMainGWnd(), nullptr);
    EXPECT_TRUE(m_game->Take().empty());
    const auto boxes = vireo::testing::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Vireo Engine");
    EXPECT_EQ(boxes[0].text, L"您当前 DirectX 版本为 7.0\n请安装 DirectX 9.0 以上版本来运行本游戏");
    EXPECT_THAT(LogMessages(), ::testing::Not(::testing::Contains("ClearAllInputState"))); // input never started
}

TEST_F(EngineTest, NoParametersOrASecondStartAreRefusedAndOneWindowSizeMemberIsKept)
{
    EXPECT_FALSE(m_game->EngineInit(nullptr));
    // One window-size member set: both are kept as given.
    SEngineParam param = Param(60);
    param.sizeWindow = SIZE{0, 600};
    StartWith(param);
    EXPECT_EQ(LogMessages()[1], "FPS=60; SceneSize cx=800, cy=600; WindowSize cx=0, cy=600");
    EXPECT_EQ(m_game->GetEngineParam()->sizeWindow.cx, 0);
    CGWnd* main = m_game->GetMainGWnd();
    param.wFPS = 30;
    EXPECT_FALSE(m_game->EngineInit(&param));
    EXPECT_EQ(LogMessages().back(), "EngineInit  called twice; ignored");
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
    EXPECT_THAT(DrainQueue(), ::testing::Contains(WM_QUIT));
    m_game->Run();
    EXPECT_TRUE(m_game->Take().empty());
    EXPECT_EQ(LogMessages().back(), "RecordInput(0)");
}

} // namespace
} // namespace vireo::test
