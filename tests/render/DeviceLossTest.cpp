// A lost device through whole frames: one EMSG_RS_DEVICE_LOST, skipped frames while the
// device says lost, one TestCooperativeLevel line per distinct answer, the reset frame that
// restores and draws, and failed resets that run the whole sequence again.
#include "render/RenderTest.h"

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

class DeviceLossTest : public StartedRenderTest {
  protected:
    // The input messages of a foreground window play no part here.
    static std::vector<UINT> WithoutInput(std::vector<UINT> messages)
    {
        std::erase_if(messages,
                      [](UINT msg) { return msg >= EMSG_IS_UI_KEYBOARD_INPUT && msg <= EMSG_IS_GAME_MOUSE_INPUT; });
        return messages;
    }
};

TEST_F(DeviceLossTest, LossSkipsFramesUntilTheResetFrameRestoresAndDraws)
{
    m_game->Run(); // the first frame's routing lines out of the way
    m_game->Take();
    MarkLog();
    vireo::testing::LoseDeviceOnNextPresent();
    m_game->Run();
    EXPECT_THAT(WithoutInput(m_game->Take()),
                ElementsAre(EMSG_EG_FRAME_BEGIN, EMSG_EG_UI_UPDATE, EMSG_EG_GAME_UPDATE, EMSG_RS_RENDER_BEGIN,
                            EMSG_RS_RENDER, EMSG_RS_DEVICE_LOST, EMSG_EG_FRAME_END));
    const int presented = Presented();

    // Three frames while the device cannot be reset yet: nothing drawn, nothing sent.
    vireo::testing::QueueCooperativeLevelResults({D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICELOST});
    for (int i = 0; i < 3; ++i) {
        m_game->Run();
        EXPECT_THAT(WithoutInput(m_game->Take()),
                    ElementsAre(EMSG_EG_FRAME_BEGIN, EMSG_EG_UI_UPDATE, EMSG_EG_GAME_UPDATE, EMSG_EG_FRAME_END));
    }
    EXPECT_EQ(Presented(), presented);

    // The device's own answer is now "not reset": this frame resets, restores and draws.
    m_game->Run();
    EXPECT_THAT(WithoutInput(m_game->Take()),
                ElementsAre(EMSG_EG_FRAME_BEGIN, EMSG_EG_UI_UPDATE, EMSG_EG_GAME_UPDATE, EMSG_RS_DEVICE_RESET,
                            EMSG_RS_RENDER_BEGIN, EMSG_RS_RENDER, EMSG_EG_FRAME_END));
    EXPECT_EQ(Presented(), presented + 1);
    auto lines = LogSinceMark();
    std::erase_if(lines, [](const std::string& l) { return l.rfind("d3dpp:", 0) == 0; });
    EXPECT_THAT(lines, ElementsAre("EMSG_RS_DEVICE_LOST", "TestCooperativeLevel  hr=0x88760868(D3DERR_DEVICELOST)",
                                   "TestCooperativeLevel  hr=0x88760869(D3DERR_DEVICENOTRESET)",
                                   "pD3DDevice->Reset  hr=0, err=S_OK", "OnResetDevice  restore all resource",
                                   "EMSG_RS_DEVICE_RESET", "Reset Device Success."));

    // The reset took every state back to the device's defaults; the engine's are set again
    // and the sprite, the line, the default font and the main window's font hold their device
    // resources again.
    DWORD blend = FALSE;
    Device()->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, static_cast<DWORD>(TRUE));
    EXPECT_EQ(vireo::testing::ResetBlockers(Device()), 4);

    // Normal frames again.
    m_game->Run();
    EXPECT_EQ(Count(m_game->Take(), EMSG_RS_RENDER), 1);
    EXPECT_EQ(Presented(), presented + 2);
}

TEST_F(DeviceLossTest, FailedResetsRunTheWholeSequenceAgainOnLaterFrames)
{
    // waitMs: Sleep inside ResetDevice (if any) plus the 1 ms of CanUpdate
    std::tuple<HRESULT, const char*, DWORD> rows[] = {
        {D3DERR_DRIVERINTERNALERROR, "pD3DDevice->Reset  hr=-2005530585, err=D3DERR_DRIVERINTERNALERROR", 1001},
        {D3DERR_DEVICELOST, "pD3DDevice->Reset  hr=-2005530520, err=D3DERR_DEVICELOST", 1},
    };
    m_game->Run();
    for (const auto& [failure, resetLine, waitMs] : rows) {
        SCOPED_TRACE(resetLine);
        m_game->Take();
        vireo::testing::LoseDeviceOnNextPresent();
        m_game->Run();
        vireo::testing::QueueResetResults({failure, failure});
        MarkLog();
        for (int i = 0; i < 2; ++i) {
            const DWORD before = GetTickCount();
            m_game->Run();
            EXPECT_EQ(GetTickCount() - before, waitMs);
        }
        EXPECT_EQ(Count(LogSinceMark(), resetLine), 2);
        // Each attempt released the sprite and line again; nothing was left blocking.
        EXPECT_EQ(vireo::testing::ResetBlockers(Device()), 0);
        m_game->Run();
        const auto messages = m_game->Take();
        EXPECT_EQ(Count(messages, EMSG_RS_DEVICE_LOST), 1);
        EXPECT_EQ(Count(messages, EMSG_RS_DEVICE_RESET), 1);
        EXPECT_EQ(Count(messages, EMSG_RS_RENDER), 2); // the losing frame and the reset frame
        EXPECT_EQ(Count(LogSinceMark(), "Reset Device Success."), 1);
    }
}

} // namespace
} // namespace vireo::test
