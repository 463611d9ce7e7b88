// The picture registry through device loss and shutdown: render targets dropped at loss and
// recreated empty at their size, file and memory textures kept, nothing leaking across many
// resets, and every texture, the device, the sprite and the line gone with the engine.
#include "render/RenderTest.h"

namespace vireo::test {
namespace {

class PictureRegistryTest : public RenderTest {
  protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        SEngineParam param = Param(0);
        param.sizeScene = SIZE{64, 48};
        StartWith(param);
        m_game->Run();
    }
};

TEST_F(PictureRegistryTest, RenderTargetIsDroppedAtLossAndComesBackEmptyAtItsSize)
{
    WriteFile("file.bmp", Bmp(6, 4, 0xFF00FF00u));
    CPicture* file = Render()->CreatePicture(L"file.bmp", 0);
    CPicture* target = Render()->CreateDynamicPicture(30, 20);
    IDirect3DTexture9* fileTexture = file->GetTexture();
    ASSERT_EQ(target->ColorFill(nullptr, 0xFFFF0000u), S_OK);
    const std::wstring key = target->GetKey();

    MarkLog();
    vireo::testing::LoseDeviceOnNextPresent();
    vireo::testing::QueueCooperativeLevelResults({D3DERR_DEVICELOST});
    m_game->Run(); // presents and loses
    m_game->Run(); // still lost: nothing released yet
    EXPECT_NE(target->GetTexture(), nullptr);
    m_game->Run(); // not reset: release, reset, restore
    EXPECT_EQ(Count(LogSinceMark(), "ReleaseTextureForced  \"" + std::string(key.begin(), key.end()) + "\""), 1);

    ASSERT_NE(target->GetTexture(), nullptr);
    D3DSURFACE_DESC desc{};
    target->GetTexture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(std::pair(desc.Width, desc.Height), std::pair(30u, 20u));
    EXPECT_EQ(Render()->FindTexture(key.c_str())->pTexture, target->GetTexture());
    EXPECT_EQ(file->GetTexture(), fileTexture) << "a managed texture survives the reset";

    // The content was not kept: the game repaints on EMSG_RS_DEVICE_RESET, and can.
    const auto frame = DrawFrame([&] { target->Draw(0, 0); });
    EXPECT_NE(Pixel(frame, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(target->ColorFill(nullptr, 0xFF0000FFu), S_OK);
}

TEST_F(PictureRegistryTest, AThousandResetsLeakNothingAndShutdownReleasesEverything)
{
    WriteFile("shared.bmp", Bmp(5, 5, 0xFF123456u));
    CPicture* a = Render()->CreatePicture(L"shared.bmp", 0);
    CPicture* b = Render()->CreatePicture(L"shared.bmp", 0);
    CPicture* memory = FromBytes(Bmp(3, 3, 0xFF654321u));
    CPicture* target = Render()->CreateDynamicPicture(9, 7);
    WriteFile("broken.png", Bytes{1, 2, 3});
    CPicture* broken = Render()->CreatePicture(L"broken.png", 0);
    ASSERT_EQ(broken->GetTexture(), nullptr);

    const int poolSize = Render()->GetTexturePoolSize();
    const auto live = vireo::testing::CountLiveObjects();
    const ULONG sharedCom = ComCount(a->GetTexture());
    const ULONG memoryCom = ComCount(memory->GetTexture());
    MarkLog();
    for (int i = 0; i < 1000; ++i)
        LoseAndReset();
    EXPECT_EQ(Count(LogSinceMark(), "Reset Device Success."), 1000);

    EXPECT_EQ(Render()->GetTexturePoolSize(), poolSize);
    EXPECT_EQ(Render()->FindTexture(L"shared.bmp")->nRefCount, 2);
    EXPECT_EQ(Render()->FindTexture(L"broken.png")->nRefCount, 1);
    EXPECT_EQ(Render()->FindTexture(target->GetKey().c_str())->nRefCount, 1);
    EXPECT_EQ(ComCount(a->GetTexture()), sharedCom);
    EXPECT_EQ(ComCount(memory->GetTexture()), memoryCom);
    EXPECT_EQ(ComCount(target->GetTexture()), 1u);
    EXPECT_EQ(b->GetTexture(), a->GetTexture());
    const auto after = vireo::testing::CountLiveObjects();
    EXPECT_EQ(after.texturesDefault, live.texturesDefault);
    EXPECT_EQ(after.texturesManaged, live.texturesManaged);

    MarkLog();
    m_game.reset();
    const auto gone = vireo::testing::CountLiveObjects();
    EXPECT_EQ(gone.texturesDefault + gone.texturesManaged, 0);
    EXPECT_EQ(gone.devices + gone.sprites + gone.lines, 0);
    // The shared file, the memory picture and the render target once each; the broken
    // file's entry had no texture to release.
    EXPECT_EQ(CountPrefix(LogSinceMark(), "D3DXReleaseTexture  ref=0, "), 3);
    EXPECT_EQ(CountPrefix(LogSinceMark(), "D3DXReleaseTexture  "), 3);
}

TEST_F(PictureRegistryTest, PictureReleasedWhileTheBatchStillQueuesItIsDrawnThenFreed)
{
    WriteFile("queued.bmp", Bmp(4, 4, 0xFF0000FFu));
    CPicture* queued = Render()->CreatePicture(L"queued.bmp", 0);
    const int managed = vireo::testing::CountLiveObjects().texturesManaged;
    std::vector<std::string> atRelease;
    const auto frame = DrawFrame([&] {
        queued->Draw(2, 2);
        MarkLog();
        Render()->ReleasePicture(&queued);
        atRelease = LogSinceMark();
        EXPECT_EQ(Render()->FindTexture(L"queued.bmp"), nullptr);
        EXPECT_EQ(vireo::testing::CountLiveObjects().texturesManaged, managed) << "the batch still holds it";
    });
    ASSERT_EQ(atRelease.size(), 1u);
    EXPECT_EQ(atRelease[0].rfind("D3DXReleaseTexture  ref=1, ", 0), 0u) << atRelease[0];
    EXPECT_EQ(queued, nullptr);
    EXPECT_EQ(Pixel(frame, 3, 3), 0xFF0000FFu);
    EXPECT_EQ(vireo::testing::CountLiveObjects().texturesManaged, managed - 1);
    m_game.reset(); // nothing left in the pool to release twice
    EXPECT_EQ(vireo::testing::CountLiveObjects().texturesManaged, 0);
}

} // namespace
} // namespace vireo::test
