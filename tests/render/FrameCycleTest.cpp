// The render system's frame inside the engine's: the render messages around the scene and
// the present, minimised frames, the canvas colours on the back buffer, the wire-frame rule,
// a BeginScene that fails, and the sprite batch the game draws through.
#include "render/RenderTest.h"

#include <vireo/platform/Testing.h>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

std::uint32_t Pixel(const vireo::testing::Frame& frame, int x, int y)
{
    return frame.pixels[static_cast<std::size_t>(y) * frame.width + x];
}

TEST_F(RenderTest, SceneIsPresentedAfterTheGameDrewAndNotWhileMinimised)
{
    Start(0);
    std::vector<std::pair<UINT, int>> presentedAt;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_RS_RENDER_BEGIN || msg == EMSG_RS_RENDER || msg == EMSG_EG_FRAME_END)
            presentedAt.emplace_back(msg, Presented());
        return -1;
    };
    const int start = Presented();
    m_game->Run();
    EXPECT_THAT(presentedAt, ElementsAre(std::pair<UINT, int>{EMSG_RS_RENDER_BEGIN, start},
                                         std::pair<UINT, int>{EMSG_RS_RENDER, start},
                                         std::pair<UINT, int>{EMSG_EG_FRAME_END, start + 1}));

    vireo::testing::SetMinimised(m_hwnd, true);
    m_game->Take();
    m_game->Run();
    m_game->Run();
    const auto minimised = m_game->Take();
    EXPECT_EQ(Count(minimised, EMSG_RS_RENDER_BEGIN), 0);
    EXPECT_EQ(Count(minimised, EMSG_RS_RENDER), 0);
    EXPECT_EQ(Presented(), start + 1);

    vireo::testing::SetMinimised(m_hwnd, false);
    m_game->Run();
    EXPECT_EQ(Presented(), start + 2);
}

TEST_F(RenderTest, ClearCanvasColoursFollowTheLiveDebugMode)
{
    SEngineParam param = Param(0);
    param.bDebugMode = TRUE;
    param.bEnableDepth = TRUE;
    StartWith(param);
    DWORD explicitColor = 0;
    HRESULT clearResult = E_FAIL;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_RS_RENDER_BEGIN)
            clearResult = explicitColor ? Render()->ClearCanvas(explicitColor) : Render()->ClearCanvas();
        return -1;
    };
    struct {
        BOOL debug;
        DWORD explicitColor;
        std::uint32_t expected;
    } rows[] = {{TRUE, 0, 0xFFCDECFF}, {FALSE, 0, 0xFF000000}, {TRUE, 0xFF123456, 0xFF123456}, {TRUE, 0, 0xFFCDECFF}};
    for (const auto& row : rows) {
        m_game->SetDebugMode(row.debug);
        explicitColor = row.explicitColor;
        m_game->Run();
        EXPECT_EQ(clearResult, S_OK);
        const auto frame = vireo::testing::ReadBackBuffer(Device());
        ASSERT_EQ(frame.width, 800);
        ASSERT_EQ(frame.height, 600);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{799, 0}, std::pair{400, 300}, std::pair{0, 599}, std::pair{799, 599}})
            EXPECT_EQ(Pixel(frame, x, y), row.expected) << "debug " << row.debug << " at " << x << "," << y;
    }
}

TEST_F(RenderTest, WireframeToggleLogsOneFillModeLinePerChange)
{
    Start(0);
    m_game->Run();
    DWORD fillDuringRender = 0;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_RS_RENDER)
            Device()->GetRenderState(D3DRS_FILLMODE, &fillDuringRender);
        return -1;
    };
    struct {
        bool wireframe;
        std::vector<std::string> lines;
        DWORD fill;
    } rows[] = {{false, {}, D3DFILL_SOLID},
                {true, {"SetRenderState  D3DRS_FILLMODE=2"}, D3DFILL_WIREFRAME},
                {true, {}, D3DFILL_WIREFRAME},
                {false, {"SetRenderState  D3DRS_FILLMODE=3"}, D3DFILL_SOLID},
                {false, {}, D3DFILL_SOLID}};
    for (const auto& row : rows) {
        SetWireframe(row.wireframe);
        MarkLog();
        m_game->Run();
        EXPECT_EQ(LogSinceMark(), row.lines) << "wireframe " << row.wireframe;
        EXPECT_EQ(fillDuringRender, row.fill);
    }
}

TEST_F(RenderTest, FailedBeginSceneStillDrawsAndPresents)
{
    Start(0);
    m_game->Run();
    SetWireframe(true);
    // The game opening the scene itself makes the engine's BeginScene fail.
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_RS_RENDER_BEGIN)
            Device()->BeginScene();
        return -1;
    };
    const int before = Presented();
    MarkLog();
    m_game->Take();
    m_game->Run();
    const auto messages = m_game->Take();
    EXPECT_EQ(Count(messages, EMSG_RS_RENDER), 1);
    EXPECT_EQ(Presented(), before + 1);
    // BeginScene returned before the fill-mode rule.
    EXPECT_TRUE(LogSinceMark().empty());
}

TEST_F(RenderTest, SpriteBatchDrawsAndComplainsWhenOpenedTwice)
{
    Start(0);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTexture(Device(), 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            static_cast<std::uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] = 0xFF00C000u + x;
    texture->UnlockRect(0);

    vireo::testing::ClearMessageBoxes();
    HRESULT second = E_FAIL;
    HRESULT end = E_FAIL;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_RS_RENDER_BEGIN)
            Render()->ClearCanvas(0xFF000080);
        if (msg == EMSG_RS_RENDER) {
            Render()->BeginSprite();
            const D3DXVECTOR3 position(10, 20, 0);
            Render()->GetD3DXSprite()->Draw(texture, nullptr, nullptr, &position, 0xFFFFFFFF);
            second = Render()->BeginSprite();
            end = Render()->EndSprite();
        }
        return -1;
    };
    m_game->Run();
    m_game->onMessage = nullptr;
    texture->Release();

    const auto boxes = vireo::testing::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"CRenderSystem::BeginSprite 没有配对的 EndSprite");
    // The open batch refuses a second Begin; End still closes it and draws the queue.
    EXPECT_EQ(second, D3DERR_INVALIDCALL);
    EXPECT_EQ(end, D3D_OK);
    const auto frame = vireo::testing::ReadBackBuffer(Device());
    EXPECT_EQ(Pixel(frame, 10, 20), 0xFF00C000u);
    EXPECT_EQ(Pixel(frame, 13, 23), 0xFF00C003u);
    EXPECT_EQ(Pixel(frame, 14, 20), 0xFF000080u);
    EXPECT_EQ(Pixel(frame, 10, 19), 0xFF000080u);
    EXPECT_EQ(Render()->GetBlendColor(), D3DXCOLOR(1, 1, 1, 1));
}

} // namespace
} // namespace vireo::test
