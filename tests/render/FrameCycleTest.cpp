// The render system's frame inside the engine's: the canvas colours on the back buffer, the
// wire-frame rule, a BeginScene that fails, and a sprite batch opened twice.
#include "render/RenderTest.h"

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

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
    std::tuple<BOOL, DWORD, std::uint32_t> rows[] = {
        {TRUE, 0, 0xFFCDECFF}, {FALSE, 0, 0xFF000000}, {TRUE, 0xFF123456, 0xFF123456}, {TRUE, 0, 0xFFCDECFF}};
    for (const auto& [debug, rowExplicitColor, expected] : rows) {
        m_game->SetDebugMode(debug);
        explicitColor = rowExplicitColor;
        m_game->Run();
        EXPECT_EQ(clearResult, S_OK);
        const auto frame = vireo::testing::ReadBackBuffer(Device());
        for (auto [x, y] : {std::pair{0, 0}, std::pair{400, 300}, std::pair{799, 599}})
            EXPECT_EQ(Pixel(frame, x, y), expected) << "debug " << debug << " at " << x << "," << y;
    }
}

using FrameCycleTest = StartedRenderTest;

TEST_F(FrameCycleTest, WireframeToggleLogsOneFillModeLinePerChangeOnlyAfterBeginScene)
{
    m_game->Run();
    DWORD fillDuringRender = 0;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_RS_RENDER)
            Device()->GetRenderState(D3DRS_FILLMODE, &fillDuringRender);
        return -1;
    };
    std::tuple<bool, std::vector<std::string>, DWORD> rows[] = {
        {false, {}, D3DFILL_SOLID},
        {true, {"SetRenderState  D3DRS_FILLMODE=2"}, D3DFILL_WIREFRAME},
        {true, {}, D3DFILL_WIREFRAME},
        {false, {"SetRenderState  D3DRS_FILLMODE=3"}, D3DFILL_SOLID},
        {false, {}, D3DFILL_SOLID}};
    // Ctrl+F11 of the default message procedure toggles this live status field; here it is set.
    BOOL& wire = const_cast<SEngineStatus*>(m_game->GetEngineStatus())->bWireframe;
    for (const auto& [wireframe, lines, fill] : rows) {
        wire = wireframe;
        MarkLog();
        m_game->Run();
        EXPECT_EQ(LogSinceMark(), lines) << "wireframe " << wireframe;
        EXPECT_EQ(fillDuringRender, fill);
    }

    // The game opening the scene itself makes the engine's BeginScene fail: the frame still
    // draws and presents, and BeginScene returned before the fill-mode rule.
    wire = TRUE;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_RS_RENDER_BEGIN)
            Device()->BeginScene();
        return -1;
    };
    const int before = Presented();
    MarkLog();
    m_game->Take();
    m_game->Run();
    EXPECT_EQ(Count(m_game->Take(), EMSG_RS_RENDER), 1);
    EXPECT_EQ(Presented(), before + 1);
    EXPECT_TRUE(LogSinceMark().empty());
}

TEST_F(FrameCycleTest, SecondBeginSpriteComplainsAndLeavesTheBatchOpen)
{
    std::vector<HRESULT> results;
    DrawFrame([&] { results = {Render()->BeginSprite(), Render()->BeginSprite(), Render()->EndSprite()}; }, false);
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{L"Vireo Engine: CRenderSystem::BeginSprite 没有配对的 EndSprite"});
    // The sprite refuses the second Begin; End closes the batch the first one opened.
    EXPECT_EQ(results, (std::vector<HRESULT>{D3D_OK, D3DERR_INVALIDCALL, D3D_OK}));
}

} // namespace
} // namespace vireo::test
