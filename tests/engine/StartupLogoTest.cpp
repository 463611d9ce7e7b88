// The start-up logo: the frame presented during EngineInit holds the embedded logo centred
// on the scene over the clear colour, it is on screen while the game loads, and the logo's
// picture and texture are gone again before the game's EMSG_EG_INIT.
#include "common/EngineHarness.h"

#include "engine/LogoImage.h"
#include "platform/gfx/image/ImageDecoder.h"

#include <vireo/platform/Testing.h>

#include <cstdlib>
#include <tuple>

namespace vireo::test {
namespace {

TEST_F(EngineTest, LogoIsPresentedCentredDuringInitAndReleasedBeforeTheGameLoads)
{
    vireo::image::Image logo;
    ASSERT_TRUE(vireo::image::DecodeImage(vireo::kLogoPng, vireo::kLogoPngSize, logo, nullptr));
    ASSERT_EQ(logo.width * 1000 + logo.height, 120130) << "the placement below assumes a 120 x 130 logo";
    // A black canvas and an even scene; the light debug canvas and an odd scene, whose centre
    // rounds down.
    const std::tuple<SIZE, BOOL, std::uint32_t> rows[] = {{{800, 600}, FALSE, 0xFF000000},
                                                          {{641, 479}, TRUE, 0xFFCDECFF}};
    for (const auto& [scene, debug, clear] : rows) {
        SCOPED_TRACE(::testing::Message() << scene.cx << " x " << scene.cy);
        Restart();
        SEngineParam param = Param(0);
        param.sizeScene = scene;
        param.bDebugMode = debug;
        vireo::testing::Frame atInit;
        int poolAtInit = -1;
        vireo::testing::ResetPresentCount();
        m_game->onMessage = [&](UINT msg) {
            if (msg == EMSG_EG_INIT) {
                atInit = vireo::testing::LastPresentedFrame();
                poolAtInit = m_game->GetRenderSystem()->GetTexturePoolSize();
            }
            return -1;
        };
        ShowWindow(m_hwnd, SW_SHOW);
        ASSERT_TRUE(m_game->EngineInit(&param));
        EXPECT_EQ(vireo::testing::PresentCount(), 1);
        EXPECT_EQ(poolAtInit, 0);
        ASSERT_EQ(std::pair(atInit.width, atInit.height), std::pair(scene.cx, scene.cy));

        const int left = scene.cx / 2 - 60;
        const int top = scene.cy / 2 - 65;
        const auto at = [&](int x, int y) { return atInit.pixels[static_cast<std::size_t>(y) * atInit.width + x]; };
        const auto channel = [](std::uint32_t p, int shift) { return static_cast<int>(p >> shift & 0xFF); };
        int wrong = 0;
        for (int y = 0; y < logo.height; ++y)
            for (int x = 0; x < logo.width; ++x) {
                // Source-over, as the sprite's SRCALPHA / INVSRCALPHA blend does it.
                const std::uint32_t src = logo.pixels[static_cast<std::size_t>(y) * logo.width + x];
                for (int shift : {0, 8, 16}) {
                    const int over =
                        (channel(src, shift) * channel(src, 24) + channel(clear, shift) * (255 - channel(src, 24))) /
                        255;
                    wrong += std::abs(channel(at(left + x, top + y), shift) - over) > 1;
                }
            }
        EXPECT_EQ(wrong, 0);
        // Just outside the logo, and the scene's far corner: the clear colour.
        for (auto [x, y] : {std::pair{left - 1, top + 60}, std::pair{left + 120, top + 60},
                            std::pair{left + 60, top - 1}, std::pair{left + 60, top + 130},
                            std::pair{static_cast<int>(scene.cx) - 1, static_cast<int>(scene.cy) - 1}})
            EXPECT_EQ(at(x, y), clear) << "at " << x << "," << y;
    }
}

} // namespace
} // namespace vireo::test
