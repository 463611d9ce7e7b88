// Single-file packages through CreateResource: records matched to picture numbers, a
// description that is never written back, damaged files, and the rebuild of package-file
// pictures from the file's bytes after a device reset.
#include "resource/PackageTest.h"

namespace vireo::test {
namespace {

TEST_F(PackageTest, PackageFileRecordsMatchPictureNumbersAndSkipMissingOnes)
{
    const std::string desc = "[Picture]\r\nPictureCount=3\r\nPicBox002=1,1,2,2\r\n";
    MakePackageFile("art.pak", desc,
                    {{L"000.png", SolidPng(4, 4, 0xFFFF0000)}, {L"002.png", SolidPng(2, 3, 0xFF00FF00)}});
    const std::string before = ReadFile("art.pak");
    CResource* res = Render()->CreateResource(L"art.pak");
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
    for (int index = 0; index < 3; ++index)
        EXPECT_EQ(res->IsPictureExist(index), index != 1) << index;
    SResElem elem{};
    ASSERT_EQ(res->GetResElem(&elem, 2), 1);
    EXPECT_EQ(elem.rcPicBox, (RECT{1, 1, 2, 2}));
    EXPECT_EQ(elem.pPicture->Height(), 3);
    // Pool keys are the package path and the picture number.
    EXPECT_NE(Render()->FindTexture(L"art.pak;002"), nullptr);
    EXPECT_EQ(Render()->FindTexture(L"art.pak;001"), nullptr);
    // Defaults were added in memory only: the package file is never written.
    EXPECT_EQ(ReadFile("art.pak"), before);
}

TEST_F(PackageTest, DamagedPackageFilesGiveThePicturesTheirRecordsHold)
{
    // The reader's checks and log lines are PackageFileTest's; here, what the package shows.
    const std::string desc = "[Picture]\r\nPictureCount=3\r\n";
    const std::vector<std::uint8_t> pngBytes = SolidPng(2, 2, 0xFF0000FF);
    const std::string png(pngBytes.begin(), pngBytes.end());
    const std::string header(32, 'H');
    const std::string head = header + Le32(static_cast<std::uint32_t>(desc.size())) + desc;
    // IsPictureExist of every picture; empty: refused
    std::tuple<const char*, std::string, std::vector<int>> rows[] = {
        {"empty file", "", {}},
        {"record data past the end", head + Record(L"000", png) + Record(L"001", png, 0xFFFFFFF0u), {1, 0, 0}},
        {"record without bytes", head + Record(L"000", "") + Record(L"001", png), {0, 1, 0}},
        // A description without any closed line gives every default: one picture.
        {"description without a line end", header + Le32(14) + "PictureCount=3" + Record(L"000", png), {1}},
    };
    int n = 0;
    for (const auto& [name, bytes, rowExist] : rows) {
        const std::string file = "bad" + std::to_string(n++) + ".pak";
        WriteFile(file, bytes);
        CResource* res = Render()->CreateResource(W(file).c_str());
        std::vector<int> exist;
        for (int i = 0; res && i < res->GetPictureCount(); ++i)
            exist.push_back(res->IsPictureExist(i));
        EXPECT_EQ(exist, rowExist) << name;
        if (res)
            Render()->ReleaseResource(res);
        TakeBoxes();
    }
}

class PackageResetTest : public PackageTest {
  protected:
    // Draws a picture of the package at (10, 10) in every frame's render step.
    void DrawEveryFrame(CResource* res, int index = 0)
    {
        DrawEachFrame([res, index] {
            if (CPicture* picture = res->GetPicture(index))
                picture->Draw(10, 10);
        });
    }
    std::uint32_t DrawnPixel() { return Pixel(11, 11); }
};

TEST_F(PackageResetTest, ResetsKeepPackagePicturesDrawableWithoutExtraPoolHolds)
{
    MakePackageFile("art.pak", "[Picture]\r\nPictureCount=1\r\n", {{L"000.png", SolidPng(4, 4, 0xFFFF0000)}});
    MakeFolder("dir", "[Picture]\r\nPictureCount=1\r\n", {{"000.png", SolidPng(4, 4, 0xFF00FF00)}});
    CResource* file = Render()->CreateResource(L"art.pak");
    CResource* folder = Render()->CreateResource(L"dir");
    ASSERT_TRUE(file && folder);

    DrawEveryFrame(file);
    m_game->Run();
    EXPECT_EQ(DrawnPixel(), 0xFFFF0000u);
    for (int reset = 1; reset <= 3; ++reset) {
        LoseAndReset();
        EXPECT_EQ(DrawnPixel(), 0xFFFF0000u) << "after reset " << reset;
        for (const wchar_t* key : {L"art.pak;000", L"dir\\000.png"})
            EXPECT_EQ(Render()->FindTexture(key)->nRefCount, 1) << "after reset " << reset;
    }
    DrawEveryFrame(folder);
    m_game->Run();
    EXPECT_EQ(DrawnPixel(), 0xFF00FF00u);

    // Releasing the packages leaves nothing of theirs in the pool.
    m_game->onMessage = nullptr;
    Render()->ReleaseResource(file);
    Render()->ReleaseResource(folder);
    for (const wchar_t* key : {L"art.pak;000", L"dir\\000.png"})
        EXPECT_EQ(Render()->FindTexture(key), nullptr);
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
}

TEST_F(PackageResetTest, ARestoreReadsThePackageAsItIsNowAndKeepsThePicturesDrawable)
{
    // A restore opens the package again and takes its boxes as they are on disk now; a file
    // that is gone or damaged leaves the loaded pictures and boxes as they were.
    const auto png = SolidPng(4, 4, 0xFF0000FF);
    const auto package = [&](const char* desc, int pictures) {
        std::vector<SPackagePicture> records;
        for (int i = 0; i < pictures; ++i)
            records.push_back({CPackageFile::FormatNumber(i) + L".png", std::vector<BYTE>(png.begin(), png.end())});
        std::vector<BYTE> bytes;
        EXPECT_TRUE(CPackageFile::Build(desc, records, bytes));
        return std::string(bytes.begin(), bytes.end());
    };
    // replacement (empty: the file is deleted); the left of picture 0's box after the restore;
    // the boxes shown (a package without pictures says so)
    std::tuple<const char*, std::string, LONG, std::size_t> rows[] = {
        {"deleted", "", 0, 0},
        {"truncated to its header", std::string(36, '\0'), 0, 1},
        // The same package grown to 50 pictures: a restore walks only the table it was loaded into.
        {"grown", package("[Picture]\r\nPictureCount=50\r\n", 50), 0, 0},
        {"boxes changed", package("[Picture]\r\nPictureCount=1\r\nPicBox000=9,9,9,9\r\n", 1), 9, 0},
    };
    for (const auto& [name, replacement, boxLeft, boxes] : rows) {
        MakePackageFile("art.pak", "[Picture]\r\nPictureCount=1\r\n", {{L"000.png", SolidPng(4, 4, 0xFFFF0000)}});
        CResource* res = Render()->CreateResource(L"art.pak");
        ASSERT_NE(res, nullptr) << name;
        if (replacement.empty())
            std::filesystem::remove(At("art.pak"));
        else
            WriteFile("art.pak", replacement);
        DrawEveryFrame(res);
        LoseAndReset();
        EXPECT_EQ(std::pair(DrawnPixel(), res->GetPictureCount()), std::pair(0xFFFF0000u, 1)) << name;
        SResElem elem{};
        ASSERT_EQ(res->GetResElem(&elem, 0), 1);
        EXPECT_EQ(elem.rcPicBox.left, boxLeft) << name;
        m_game->onMessage = nullptr;
        Render()->ReleaseResource(res);
        EXPECT_EQ(TakeBoxes().size(), boxes) << name;
    }
}

TEST_F(PackageResetTest, ColourKeyComponentsCountModulo256)
{
    // 300 is 44 and -1 is 255: pixels of (44, 0, 255) are the key and vanish; (45, 0, 255) stays.
    const char* desc = "[Picture]\r\nPictureCount=2\r\nColorKey_R=300\r\nColorKey_G=256\r\nColorKey_B=-1\r\n";
    MakePackageFile("key.pak", desc,
                    {{L"000.png", SolidPng(4, 4, 0xFF2C00FF)}, {L"001.png", SolidPng(4, 4, 0xFF2D00FF)}});
    CResource* res = Render()->CreateResource(L"key.pak");
    ASSERT_NE(res, nullptr);
    DrawEveryFrame(res);
    m_game->Run();
    EXPECT_EQ(DrawnPixel(), 0xFF000000u);
    DrawEveryFrame(res, 1);
    m_game->Run();
    EXPECT_EQ(DrawnPixel(), 0xFF2D00FFu);
}

} // namespace
} // namespace vireo::test
