// The texture pool through the pictures that use it: shared file textures and their counts,
// the first creation's colour key (which the package tests see keyed out), missing and
// undecodable files, and the exact log lines.
#include "render/RenderTest.h"

#include <regex>

namespace vireo::test {
namespace {

using TexturePoolTest = StartedRenderTest;

TEST_F(TexturePoolTest, OneFileIsOneSharedEntryReleasedByItsLastHolder)
{
    WriteFile("a.bmp", Bmp(12, 8, 0xFF336699u));
    MarkLog();
    CPicture* first = Render()->CreatePicture(L"a.bmp", 0);
    CPicture* second = Render()->CreatePicture(L"a.bmp", 0xFF336699u); // the first load decided the key
    ASSERT_NE(first->GetTexture(), nullptr);
    EXPECT_EQ(second->GetTexture(), first->GetTexture());
    EXPECT_EQ(Render()->GetTexturePoolSize(), 1);
    ASSERT_NE(Render()->FindTexture(L"a.bmp"), nullptr);
    EXPECT_EQ(Render()->FindTexture(L"a.bmp")->nRefCount, 2);
    EXPECT_EQ(ComCount(first->GetTexture()), 1u) << "the pool holds the texture once, whatever its count";

    auto lines = LogSinceMark();
    ASSERT_EQ(lines.size(), 1u) << "the second picture is served from the pool";
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("D3DXCreateTextureFromFileInMemoryEx  hr=0\\(S_OK\\), Pool=1, "
                                                      "p=0x[0-9a-f]{8,}, path=a\\.bmp, ColorKey=0x0, TexPoolSize=1")))
        << lines[0];

    MarkLog();
    Render()->ReleasePicture(&first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(Render()->FindTexture(L"a.bmp")->nRefCount, 1);
    Render()->ReleasePicture(&second);
    EXPECT_EQ(Render()->GetTexturePoolSize(), 0);
    lines = LogSinceMark();
    ASSERT_EQ(lines.size(), 1u) << "only the last holder's release is logged";
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("D3DXReleaseTexture  ref=0, p=0x[0-9a-f]{8,}, path=a\\.bmp, "
                                                      "TexPoolSize=1")))
        << lines[0];
    // A released picture's null pointer is nothing to release.
    Render()->ReleasePicture(&second);
    EXPECT_EQ(vireo::testing::CountLiveObjects().texturesManaged, 0);
}

TEST_F(TexturePoolTest, MissingFileShowsOneBoxWithTheFullPathAndGivesAnEmptyPicture)
{
    CPicture* picture = Render()->CreatePicture(L"no/such.png", 0);
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{L"Vireo Engine: CreateTexture  failed. path=" + m_dir.WPath() +
                                                 L"/no/such.png"});
    EXPECT_EQ(picture->Width(), 0);
    EXPECT_EQ(picture->GetTexture(), nullptr);
    // No bytes at all: an empty picture too; neither leaves a pool entry.
    EXPECT_EQ(Render()->CreatePicture(nullptr, 0, 0)->Width(), 0);
    EXPECT_EQ(Render()->GetTexturePoolSize(), 0);
    vireo::testing::ClearMessageBoxes();
    EXPECT_EQ(Drawn(DrawFrame([&] { picture->DrawStretch(0, 0, 50, -1, COORD_CENTER); })), (RECT{0, 0, 0, 0}));
    EXPECT_TRUE(vireo::testing::MessageBoxesShown().empty());
}

TEST_F(TexturePoolTest, UndecodableBytesAreTriedTwentyTimesAndLeaveANullEntry)
{
    const std::string junk = "this is not an image at all";
    WriteFile("junk.png", Bytes(junk.begin(), junk.end()));
    MarkLog();
    const DWORD before = GetTickCount();
    EXPECT_EQ(Render()->CreatePicture(L"junk.png", 0)->GetTexture(), nullptr);
    const auto lines = LogSinceMark();
    ASSERT_EQ(CountPrefix(lines, "D3DXCreateTextureFromFileInMemoryEx  hr=-"), 20);
    EXPECT_EQ(lines.size(), 20u);
    EXPECT_NE(lines.back().find(", p=0x00000000, path=junk.png, ColorKey=0x0"), std::string::npos) << lines.back();
    EXPECT_EQ(GetTickCount() - before, 100000u) << "20 waits of 5 s on the virtual clock";
    EXPECT_TRUE(vireo::testing::MessageBoxesShown().empty());
    ASSERT_NE(Render()->FindTexture(L"junk.png"), nullptr);
    EXPECT_EQ(Render()->FindTexture(L"junk.png")->nRefCount, 1);
}

} // namespace
} // namespace vireo::test
