// vireo-pack: a folder packed and read back gives the description the folder loader reads
// and the picture files byte for byte; folder quirks (extension order, gaps, missing or
// absurd Desc.ini) and the command line itself.
#include "Packer.h"
#include "resource/IniFile.h"
#include "resource/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string DataOf(const CPackageFile& package, const SPackageRecord& record)
{
    return std::string(reinterpret_cast<const char*>(package.GetRecordData(record)), record.nDataSize);
}

// Packs the folder through the command line entry and opens the result.
bool PackAndOpen(const CTempDir& dir, const std::string& folder, CPackageFile& package)
{
    const std::string output = dir.Path(folder + ".pak").string();
    std::FILE* sink = std::tmpfile();
    const int code = RunPacker({dir.Path(folder).string(), output}, sink, sink);
    std::fclose(sink);
    return code == 0 && package.Open(std::filesystem::path(output).wstring().c_str()) == 1;
}

std::string RunCommand(const std::string& command, int& exitCode)
{
    std::string output;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        exitCode = -1;
        return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof(buffer), pipe))
        output += buffer;
    const int status = pclose(pipe);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

}  // namespace

TEST(Packer, FolderRoundTripGivesTheSameDescriptionAndPictureBytes)
{
    CTempDir dir;
    const std::string desc =
        "; hero\r\n[Picture]\r\nPictureCount=4\r\nPicBox001 = 1,2,3,4 ;box\r\n\r\n[Animation]\r\nFrameDelay=2\r\n"
        "SeqCount=1\r\nSeq001=5,2,3\r\n[HitBox]\r\nHitBoxCount=1\r\n000=0,0,8,8";  // no final line end
    WriteBytes(dir.Path("hero/Desc.ini"), desc);
    WriteBytes(dir.Path("hero/000.png"), std::string("\x89PNG\0zero", 9));
    WriteBytes(dir.Path("hero/001.png"), "png one");
    WriteBytes(dir.Path("hero/001.jpg"), "jpg one");  // jpg comes first
    WriteBytes(dir.Path("hero/003.bmp"), "BMthree");
    WriteBytes(dir.Path("hero/004.bmp"), "beyond PictureCount");

    CPackageFile package;
    ASSERT_TRUE(PackAndOpen(dir, "hero", package));

    CIniFile folder;
    ASSERT_EQ(folder.Load(dir.Wide("hero/Desc.ini").c_str(), nullptr), 1);
    CIniFile packed;
    packed.LoadFromMemory(package.GetDescText(), package.GetDescLength());
    EXPECT_EQ(Lines(packed), Lines(folder));
    EXPECT_EQ(packed.GetString(L"HitBox", L"000", L"", FALSE), L"0,0,8,8");

    const std::vector<std::pair<std::wstring, std::string>> expected = {
        {L"000.png", std::string("\x89PNG\0zero", 9)}, {L"001.jpg", "jpg one"}, {L"003.bmp", "BMthree"}};
    ASSERT_EQ(package.GetRecords().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(package.GetRecords()[i].strName, expected[i].first);
        EXPECT_EQ(DataOf(package, package.GetRecords()[i]), expected[i].second);
    }
}

TEST(Packer, DescriptionTextKeepsWhatTheFolderReaderSees)
{
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        std::string text;
    };
    auto bytes = [](const std::string& s) { return std::vector<BYTE>(s.begin(), s.end()); };
    const Case cases[] = {
        {"closed", bytes("a=1\r\n"), "a=1\r\n"},
        {"unclosed last line", bytes("a=1\r\nb=2"), "a=1\r\nb=2\r\n"},
        {"only line feeds after the last CR", bytes("a=1\r\n\n\n"), "a=1\r\n\n\n"},
        {"LF-only text is one line", bytes("a=1\nb=2\n"), "a=1\nb=2\n\r\n"},
        {"empty", bytes(""), ""},
        {"UTF-16 with mark", bytes(Utf16Bytes(L"[S]\r\nk=v")), "[S]\r\nk=v\r\n"},
        {"UTF-16 odd byte count", bytes(Utf16Bytes(L"k=v\r\n") + "x"), "k=v\r\n"},
        {"mark only", bytes("\xFF\xFE"), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescToPackageText(c.file), c.text) << c.name;
}

TEST(Packer, FolderQuirksAndAbsurdCounts)
{
    CTempDir dir;
    SPackerInput input;
    std::wstring error;

    // No Desc.ini: one picture by default, with a warning.
    WriteBytes(dir.Path("plain/000.tga"), "t");
    WriteBytes(dir.Path("plain/001.tga"), "not counted");
    ASSERT_EQ(CollectPackageFolder(dir.Wide("plain"), input, error), 1);
    ASSERT_EQ(input.pictures.size(), 1u);
    EXPECT_EQ(input.pictures[0].strName, L"000.tga");
    EXPECT_EQ(input.warnings.size(), 1u);

    // A gap at 100 with picture 1000 present: the loader would take 1000.png for 100.
    WriteBytes(dir.Path("gap/Desc.ini"), "[Picture]\r\nPictureCount=1001\r\n");
    for (int i = 0; i < 100; ++i)
        WriteBytes(dir.Path("gap/" + std::string(i < 10 ? "00" : "0") + std::to_string(i) + ".dds"), "d");
    WriteBytes(dir.Path("gap/1000.png"), "p");
    ASSERT_EQ(CollectPackageFolder(dir.Wide("gap"), input, error), 1);
    EXPECT_EQ(input.pictures.size(), 101u);
    ASSERT_EQ(input.warnings.size(), 1u);
    EXPECT_NE(input.warnings[0].find(L"picture 100 "), std::wstring::npos);

    const std::pair<const char*, BOOL> counts[] = {
        {"100000000", 0}, {"10001", 0}, {"10000", 1}, {"-5", 1}, {"0", 1}, {"abc", 1}};
    for (const auto& [count, result] : counts) {
        WriteBytes(dir.Path("count/Desc.ini"), std::string("[Picture]\r\nPictureCount=") + count + "\r\n");
        WriteBytes(dir.Path("count/000.png"), "p");
        EXPECT_EQ(CollectPackageFolder(dir.Wide("count"), input, error), result) << count;
        if (result)
            EXPECT_EQ(input.pictures.size(), 1u) << count;
        else
            EXPECT_NE(error.find(L"PictureCount"), std::wstring::npos) << count;
    }

    EXPECT_EQ(CollectPackageFolder(dir.Wide("missing"), input, error), 0);
    EXPECT_EQ(CollectPackageFolder(dir.Wide("plain/000.tga"), input, error), 0);
}

TEST(Packer, CommandLinePacksListsAndRejectsBadUsage)
{
    CTempDir dir;
    WriteBytes(dir.Path("pkg/Desc.ini"), "[Picture]\r\nPictureCount=2\r\n");
    WriteBytes(dir.Path("pkg/000.png"), "zero");
    WriteBytes(dir.Path("pkg/001.bmp"), "one!");
    int code = -1;
    auto run = [&](const std::string& args) {
        return RunCommand("cd '" + dir.Path().string() + "' && '" VIREO_PACK_EXE "' " + args, code);
    };

    std::string output = run("pkg/");  // the trailing separator is not part of the output name
    EXPECT_EQ(code, 0) << output;
    EXPECT_TRUE(std::filesystem::exists(dir.Path("pkg.pak"))) << output;
    output = run("--list pkg.pak");
    EXPECT_EQ(code, 0) << output;
    for (const char* part : {"records: 2", "000.png", "001.bmp", "PictureCount 2"})
        EXPECT_NE(output.find(part), std::string::npos) << part << "\n" << output;

    // A damaged copy: listed up to its last whole record, with a non-zero exit code.
    const std::string bytes = ReadBytes(dir.Path("pkg.pak"));
    WriteBytes(dir.Path("cut.pak"), bytes.substr(0, bytes.size() - 2));
    output = run("--list cut.pak");
    EXPECT_EQ(code, 1) << output;
    EXPECT_NE(output.find("records: 1"), std::string::npos) << output;

    for (const char* args : {"", "--list", "--bogus x", "a b c"}) {
        run(args);
        EXPECT_EQ(code, 2) << args;
    }
    run("missing-folder");
    EXPECT_EQ(code, 1);
}
