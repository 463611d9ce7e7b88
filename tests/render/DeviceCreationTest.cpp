// Device creation at EngineInit: the HAL device, the fall-back to REF, the D16 retry after a
// refused D24S8 (seen in the presentation parameters that later resets print), and a machine
// where no device can be made.
#include "render/RenderTest.h"

namespace vireo::test {
namespace {

using ::testing::ElementsAreArray;

// The log lines between the engine's parameter line and the input system's first line,
// without the default font's face report (machine-dependent; the font tests check it).
std::vector<std::string> CreationLines(const std::vector<std::string>& log)
{
    const auto end = std::find(log.begin(), log.end(), "ClearAllInputState");
    std::vector<std::string> lines(log.begin() + std::min<long>(2, end - log.begin()), end);
    std::erase_if(lines, [](const std::string& line) { return line.rfind("Font \"", 0) == 0; });
    return lines;
}

TEST_F(RenderTest, DeviceFallbacksCreateAndResetWithTheParametersTheySettledOn)
{
    const std::string halOk = "D3DDeviceType=1(D3DDEVTYPE_HAL), hr=0";
    // HAL unavailable, refused depth format, depth asked for, creation lines, device type, depth
    // format as the reset's parameter line prints it
    const std::tuple<bool, D3DFORMAT, BOOL, std::vector<std::string>, D3DDEVTYPE, D3DFORMAT> rows[] = {
        {false, D3DFMT_UNKNOWN, FALSE, {"MaxSimultaneousTextures=2", halOk}, D3DDEVTYPE_HAL, D3DFMT_D24S8},
        // Both attempts on the HAL fail (D24S8, then D16) before the REF is asked.
        {true,
         D3DFMT_UNKNOWN,
         TRUE,
         {"MaxSimultaneousTextures=0", "D3DDeviceType=1(D3DDEVTYPE_HAL), hr=-2005530518", "MaxSimultaneousTextures=2",
          "D3DDeviceType=2(D3DDEVTYPE_REF), hr=0"},
         D3DDEVTYPE_REF,
         D3DFMT_D24S8},
        {false, D3DFMT_D24S8, TRUE, {"MaxSimultaneousTextures=2", halOk}, D3DDEVTYPE_HAL, D3DFMT_D16},
    };
    for (const auto& [halUnavailable, refused, enableDepth, creationLines, type, depthFormat] : rows) {
        SCOPED_TRACE(::testing::Message() << "HAL unavailable " << halUnavailable << ", refused " << refused);
        Restart();
        vireo::testing::SetHalUnavailable(halUnavailable);
        vireo::testing::RefuseDepthFormat(refused);
        SEngineParam param = Param(0);
        param.bEnableDepth = enableDepth;
        StartWith(param);

        EXPECT_THAT(CreationLines(LogMessages()), ElementsAreArray(creationLines));
        ASSERT_NE(Device(), nullptr);
        D3DCAPS9 caps{};
        Device()->GetDeviceCaps(&caps);
        EXPECT_EQ(caps.DeviceType, type);
        // The clear takes the depth buffer along exactly when one was asked for.
        EXPECT_EQ(Render()->ClearCanvas(0xFF102030), S_OK);

        m_game->Run();
        MarkLog();
        LoseAndReset();
        const std::string parameters =
            "d3dpp: BackBuffer[Width=800,Height=600,Format=0,Count=1]  MultiSample[Type=0,Quality=0]  SwapEffect=1  "
            "hDeviceWindow=" +
            std::to_string(reinterpret_cast<std::intptr_t>(m_hwnd)) +
            "  Windowed=1  EnableAutoDepthStencil=" + std::to_string(enableDepth) +
            "  AutoDepthStencilFormat=" + std::to_string(depthFormat) +
            "  Flags=0  FullScreen_RefreshRateInHz=0  PresentationInterval=-2147483648";
        const auto log = LogSinceMark();
        EXPECT_EQ(Count(log, parameters), 1);
        EXPECT_EQ(Count(log, "Reset Device Success."), 1);
    }
}

TEST_F(RenderTest, NoDeviceOfEitherTypeStopsTheStart)
{
    const auto before = vireo::testing::CountLiveObjects();
    vireo::testing::ClearMessageBoxes();
    SEngineParam param = Param(0);
    // Wider than any back buffer the device takes: every attempt fails.
    param.sizeScene = SIZE{9000, 10};
    EXPECT_FALSE(m_game->EngineInit(&param));

    EXPECT_EQ(Boxes(), std::vector<std::wstring>{L"Vireo Engine: Create Device Failed."});
    const auto log = LogMessages();
    EXPECT_THAT(CreationLines(log),
                ElementsAreArray(std::vector<std::string>{
                    "MaxSimultaneousTextures=2", "D3DDeviceType=1(D3DDEVTYPE_HAL), hr=-2005530516",
                    "MaxSimultaneousTextures=2", "D3DDeviceType=2(D3DDEVTYPE_REF), hr=-2005530516"}));
    EXPECT_EQ(Count(log, "ClearAllInputState"), 0);
    EXPECT_EQ(vireo::testing::CountLiveObjects().devices, before.devices);
}

} // namespace
} // namespace vireo::test
