// Folder packages through CRenderSystem::CreateResource: picture files by number and
// extension order, the Desc.ini defaults and what is written back, sequences by the comma
// rule, hit boxes past the pictures, the queries' fallbacks and bounded counts.
#include "resource/PackageTest.h"

#include <climits>
#include <tuple>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(PackageTest, MissingMiddlePictureIsEmptyWithoutBoxOrCentre)
{
    MakeFolder("pk", "[Picture]\r\nPictureCount=3\r\n[CenterPoint]\r\n000=1,2\r\n001=7,7\r\n002=3\r\n",
               {{"000.png", SolidPng(4, 3, 0xFFFF0000)}, {"002.png", SolidPng(5, 6, 0xFF00FF00)}});
    CResource* res = Render()->CreateResource(L"pk");
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
    EXPECT_EQ(res->GetPictureCount(), 3);

    for (int index = -1; index <= 3; ++index)
        EXPECT_EQ(res->IsPictureExist(index), index == 0 || index == 2) << index;
    // Boxes and centre points only for pictures that exist; "3" has no comma, so x is 0.
    const std::tuple<RECT, LONG, LONG> rows[] = {{{0, 0, 4, 3}, 1, 2}, {{0, 0, 0, 0}, 0, 0}, {{0, 0, 5, 6}, 0, 3}};
    for (int i = 0; i < 3; ++i) {
        const auto& [box, x, y] = rows[i];
        SResElem elem{};
        ASSERT_EQ(res->GetResElem(&elem, i), 1);
        EXPECT_EQ(elem.rcPicBox, box) << i;
        EXPECT_EQ(std::pair(elem.ptCenter.x, elem.ptCenter.y), std::pair(x, y)) << i;
    }
    SResElem untouched{};
    EXPECT_EQ(res->GetResElem(&untouched, 3) + res->GetResElem(&untouched, -1), 0);

    MarkLeveledLog();
    EXPECT_EQ(res->GetPicture(1), nullptr);
    EXPECT_EQ(res->GetPicture(-2), nullptr);
    EXPECT_THAT(LeveledLogSinceMark(), ElementsAre("1:CResource::GetPicture return NULL.  index=1, file=pk",
                                                   "1:CResource::GetPicture return NULL.  index=-2, file=pk"));
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
    EXPECT_EQ(res->GetPicture(3), nullptr);
    EXPECT_THAT(TakeBoxes(), ElementsAre("CResource::GetPicture index overflow. Index=3, PictureCount=3, File=pk"));

    // The defaults were written back: the centre point of 001 was never looked up, so mode 1
    // drops it; PicBox defaults are not written.
    const std::string desc = ReadFile("pk/Desc.ini");
    EXPECT_THAT(desc, HasSubstr("PictureCount=3"));
    EXPECT_THAT(desc, HasSubstr("HitBoxCount=1"));
    EXPECT_THAT(desc, Not(HasSubstr("001=7,7")));
    EXPECT_THAT(desc, Not(HasSubstr("PicBox")));
}

TEST_F(PackageTest, PictureFilesFollowTheExtensionOrder)
{
    // jpg before tga, png, dds, dib and bmp; the first one found is the picture.
    MakeFolder("pk", "[Picture]\r\nPictureCount=2\r\n",
               {{"000.png", SolidPng(8, 8, 0xFFFF0000)},
                {"000.jpg", image::fixtures::BuildJpeg({4, 2, 1, 95, false, {}, image::fixtures::Bytes(8, 0x80)})},
                {"001.bmp", image::fixtures::BuildBmp({40, 3, 3, 24, 0, 0, {}, {}, image::fixtures::Bytes(36, 0x40)})},
                {"001.png", SolidPng(6, 5, 0xFF00FF00)}});
    CResource* res = Render()->CreateResource(L"pk");
    ASSERT_NE(res, nullptr);
    ASSERT_NE(res->GetPicture(0), nullptr);
    EXPECT_EQ(res->GetPicture(0)->Height(), 2);
    EXPECT_EQ(res->GetPicture(1)->Width(), 6);
    EXPECT_NE(Render()->FindTexture(L"pk\\000.jpg"), nullptr);
    EXPECT_EQ(Render()->FindTexture(L"pk\\000.png"), nullptr);
}

TEST_F(PackageTest, SequencesFollowTheCommaRuleAndOutOfRangeIndicesGetSequenceZero)
{
    // Seq001 as written (null: missing), the sequence read, and the line Desc.ini then holds.
    const std::tuple<const char*, int, int, int, int, const char*> rows[] = {
        {"2,5", 2, 5, 1, 4, "Seq001=2,5,1"},    {"5,2,3", 5, 2, 3, 4, "Seq001=5,2,3"},
        {"7", 0, 7, 1, 8, "Seq001=0,7,1"},      {" 4 , 6 , 0", 4, 6, 0, 3, "Seq001=4 , 6 , 0"},
        {nullptr, 0, 9, 1, 10, "Seq001=0,9,1"},
    };
    int n = 0;
    for (const auto& [text, start, end, loops, frames, written] : rows) {
        const std::string folder = "seq" + std::to_string(n++);
        std::string desc = "[Picture]\r\nPictureCount=10\r\n[Animation]\r\nFrameDelay=3\r\nSeqCount=1\r\n";
        if (text)
            desc += std::string("Seq001=") + text + "\r\n";
        MakeFolder(folder, desc.c_str());
        CResource* res = Render()->CreateResource(W(folder).c_str());
        ASSERT_NE(res, nullptr) << folder;
        const SAniData seq = res->GetAniData(1);
        EXPECT_EQ((std::vector<int>{seq.nSequence, seq.nStartFrame, seq.nEndFrame, seq.nLoopCount, seq.nFrameCount,
                                    seq.nFrameDelay}),
                  (std::vector<int>{1, start, end, loops, frames, 3}))
            << folder;
        EXPECT_THAT(ReadFile(folder + "/Desc.ini"), HasSubstr(std::string(written) + "\r\n")) << folder;
        // Indices past the table get sequence 0: every picture, no loop count (one pass).
        for (int index : {2, -1, INT_MIN}) {
            const SAniData zero = res->GetAniData(index);
            EXPECT_EQ(
                (std::vector<int>{zero.nSequence, zero.nStartFrame, zero.nEndFrame, zero.nLoopCount, zero.nFrameCount}),
                (std::vector<int>{0, 0, 9, 0, 10}))
                << index;
        }
    }
    TakeBoxes(); // each folder has no pictures and says so
}

TEST_F(PackageTest, HitBoxesPastThePicturesShowTheOverflowBoxAndDefaultToZero)
{
    MakeFolder("pk", "[HitBox]\r\nHitBoxCount=3\r\n000=1,2,3,4\r\n", {{"000.png", SolidPng(4, 5, 0xFF0000FF)}});
    CResource* res = Render()->CreateResource(L"pk");
    ASSERT_NE(res, nullptr);
    EXPECT_THAT(TakeBoxes(), ElementsAre("CResource::GetPicture index overflow. Index=1, PictureCount=1, File=pk",
                                         "CResource::GetPicture index overflow. Index=2, PictureCount=1, File=pk"));
    // Past the table (5, -1): 0, 0 and the size of picture 0.
    for (const auto& [index, box] :
         {std::pair{0, RECT{1, 2, 3, 4}}, {1, RECT{}}, {2, RECT{}}, {5, RECT{0, 0, 4, 5}}, {-1, RECT{0, 0, 4, 5}}})
        EXPECT_EQ(res->GetHitBox(index), box) << index;
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
    EXPECT_THAT(ReadFile("pk/Desc.ini"), HasSubstr("001=0,0,0,0\r\n002=0,0,0,0\r\n"));
}

TEST_F(PackageTest, DescIniIsWrittenOnlyWhenADefaultWasMissing)
{
    // Every key the loader looks up is present: the file is not touched, unused keys stay.
    const char* complete =
        "; art\r\n[Picture]\r\nPictureCount=1\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n"
        "[Animation]\r\nFrameDelay=0\r\nSeqCount=0\r\n[HitBox]\r\nHitBoxCount=1\r\n000=0,0,2,2\r\n"
        "[CenterPoint]\r\n000=1,1\r\n[Extra]\r\nNote=kept\r\n";
    MakeFolder("full", complete, {{"000.png", SolidPng(2, 2, 0xFF102030)}});
    ASSERT_NE(Render()->CreateResource(L"full"), nullptr);
    EXPECT_EQ(ReadFile("full/Desc.ini"), complete);

    // FrameDelay missing: written back, and the keys never looked up are dropped.
    std::string partial = complete;
    partial.erase(partial.find("FrameDelay=0\r\n"), 14);
    MakeFolder("part", partial.c_str(), {{"000.png", SolidPng(2, 2, 0xFF102030)}});
    ASSERT_NE(Render()->CreateResource(L"part"), nullptr);
    const std::string written = ReadFile("part/Desc.ini");
    EXPECT_THAT(written,
                ::testing::AllOf(HasSubstr("FrameDelay=0\r\n"), HasSubstr("; art\r\n"), Not(HasSubstr("Note=kept"))));

    // A folder without Desc.ini loads with every default and gets one.
    MakeFolder("bare", nullptr, {{"000.png", SolidPng(3, 2, 0xFF102030)}});
    CResource* bare = Render()->CreateResource(L"bare");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetPictureCount(), 1);
    EXPECT_EQ(bare->GetHitBox(0), (RECT{0, 0, 3, 2}));
    const std::string defaults = ReadFile("bare/Desc.ini");
    for (const char* line : {"PictureCount=1", "ColorKey_R=255", "ColorKey_G=0", "ColorKey_B=255", "FrameDelay=0",
                             "SeqCount=0", "HitBoxCount=1", "000=0,0,3,2", "000=0,0"})
        EXPECT_THAT(defaults, HasSubstr(std::string(line) + "\r\n")) << line;
}

TEST_F(PackageTest, BadFolderInputGivesAClearMessageAndBoundedTables)
{
    // A path that does not exist: the box with the full path, no package, nothing registered.
    EXPECT_EQ(Render()->CreateResource(L"nowhere"), nullptr);
    EXPECT_THAT(TakeBoxes(), ElementsAre("file not exist.  " + (m_dir.Path() / "nowhere").string()));
    EXPECT_EQ(Render()->CreateResource(L""), nullptr);
    TakeBoxes();

    // No picture at all: the package is made, with its box.
    MakeFolder("empty", "[Picture]\r\nPictureCount=2\r\n");
    CResource* empty = Render()->CreateResource(L"empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_THAT(TakeBoxes(), ElementsAre("资源包中没有 000.png 或 000.bmp  FileName=empty"));

    // logged: part of the level-3 line.
    const std::tuple<const char*, int, int, int, const char*> rows[] = {
        {"[Picture]\r\nPictureCount=100000000\r\n[HitBox]\r\nHitBoxCount=0\r\n", CResource::kMaxPictures, 1, 0,
         "PictureCount=100000000 is out of range"},
        {"[Animation]\r\nSeqCount=-3\r\n", 1, 1, 1, "SeqCount=-3 is out of range"},
        {"[HitBox]\r\nHitBoxCount=5000\r\n", 1, 1, CResource::kMaxHitBoxes, "HitBoxCount=5000 is out of range"},
    };
    int n = 0;
    for (const auto& [desc, pictures, sequences, hitBoxes, logged] : rows) {
        const std::string folder = "bad" + std::to_string(n++);
        MakeFolder(folder, desc);
        MarkLeveledLog();
        CResource* res = Render()->CreateResource(W(folder).c_str());
        ASSERT_NE(res, nullptr) << desc;
        EXPECT_EQ(res->GetPictureCount(), pictures) << desc;
        EXPECT_EQ(res->GetSeqCount(), sequences) << desc;
        EXPECT_EQ(res->GetHitBoxCount(), hitBoxes) << desc;
        EXPECT_THAT(LeveledLogSinceMark(), ::testing::Contains(HasSubstr(std::string("3:Desc.ini ") + logged))) << desc;
        // Whatever the counts, the fallbacks hold.
        EXPECT_EQ(res->GetAniData(sequences).nSequence, 0);
        EXPECT_EQ(res->GetHitBox(hitBoxes), (RECT{0, 0, 0, 0}));
        TakeBoxes();
        Render()->ReleaseResource(res);
    }
}

} // namespace
} // namespace vireo::test
