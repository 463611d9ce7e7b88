// vireo-pack: a packed folder reads back as the folder loader reads it, byte for byte, and the
// description keeps what the folder reader sees.
#include "tools/packer/Packer.h"
#include "resource/IniFile.h"
#include "resource/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {
// The packer's command line entry, run in the scratch folder; output and errors together.
int Pack(const std::vector<std::string>& args, std::string& output)
{
    std::FILE* sink = std::tmpfile();
    const int code = RunPacker(args, sink, sink);
    std::rewind(sink);
    output.assign(1 << 16, '\0');
    output.resize(std::fread(output.data(), 1, output.size(), sink));
    std::fclose(sink);
    return code;
}
} // namespace

TEST(Packer, FolderRoundTripGivesTheSameDescriptionAndPictureBytes)
{
    ScratchDir dir;
    WriteFileBytes(
        dir.Path("hero/Desc.ini"),
        "; hero\r\n[Picture]\r\nPictureCount=4\r\nPicBox001 = 1,2,3,4 ;box\r\n\r\n[Animation]\r\nFrameDelay=2\r\n"
        "SeqCount=1\r\nSeq001=5,2,3\r\n[HitBox]\r\nHitBoxCount=1\r\n000=0,0,8,8"); // no final line end
    WriteFileBytes(dir.Path("hero/000.png"), std::string("\x89PNG\0zero", 9));
    WriteFileBytes(dir.Path("hero/001.png"), "png one");
    WriteFileBytes(dir.Path("hero/001.jpg"), "jpg one"); // jpg comes first
    WriteFileBytes(dir.Path("hero/003.bmp"), "BMthree");
    WriteFileBytes(dir.Path("hero/004.bmp"), "beyond PictureCount");

    std::string output; // the trailing separator below is not part of the output name
    ASSERT_EQ(Pack({"hero/"}, output), 0) << output;
    CPackageFile package;
    ASSERT_EQ(package.Open(dir.Wide("hero.pak").c_str()), 1);
    CIniFile folder, packed;
    ASSERT_EQ(folder.Load(dir.Wide("hero/Desc.ini").c_str(), nullptr), 1);
    packed.LoadFromMemory(package.GetDescText(), package.GetDescLength());
    EXPECT_EQ(Lines(packed), Lines(folder));
    std::vector<std::pair<std::wstring, std::string>> records;
    for (const SPackageRecord& r : package.GetRecords())
        records.push_back(
            {r.strName, std::string(reinterpret_cast<const char*>(package.GetRecordData(r)), r.nDataSize)});
    EXPECT_EQ(records,
              (decltype(records){
                  {L"000.png", std::string("\x89PNG\0zero", 9)}, {L"001.jpg", "jpg one"}, {L"003.bmp", "BMthree"}}));

    // Listing: the records and the description; a cut copy lists its whole records and fails.
    EXPECT_EQ(Pack({"--list", "hero.pak"}, output), 0);
    for (const char* part : {"records: 3", "001.jpg", "PictureCount 4"})
        EXPECT_NE(output.find(part), std::string::npos) << part << "\n" << output;
    const std::string bytes = ReadFileBytes(dir.Path("hero.pak"));
    WriteFileBytes(dir.Path("cut.pak"), bytes.substr(0, bytes.size() - 2));
    EXPECT_EQ(Pack({"--list", "cut.pak"}, output), 1);
    EXPECT_NE(output.find("records: 2"), std::string::npos) << output;
    // Usage errors exit with 2, a missing folder with 1.
    const std::vector<std::string> usage[] = {{}, {"--list"}, {"--bogus", "x"}, {"a", "b", "c"}};
    for (const auto& args : usage)
        EXPECT_EQ(Pack(args, output), 2) << args.size();
    EXPECT_EQ(Pack({"missing-folder"}, output), 1);
}

TEST(Packer, DescriptionTextKeepsWhatTheFolderReaderSees)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a=1\r\n\n\n", "a=1\r\n\n\n"},   // only line feeds after the last CR
        {"a=1\nb=2\n", "a=1\nb=2\n\r\n"}, // LF-only text is one line
        {Utf16Bytes(L"[S]\r\nk=v"), "[S]\r\nk=v\r\n"},
        {Utf16Bytes(L"k=v\r\n") + "x", "k=v\r\n"}, // odd byte count
        {"\xFF\xFE", ""},                          // mark only
    };
    for (const auto& [file, text] : cases)
        EXPECT_EQ(DescToPackageText(std::vector<BYTE>(file.begin(), file.end())), text) << file;
}
