// CIniFile: the line parser, lookups and their cursor, key placement, the bytes a save
// writes (comment column, mode 1, encodings), the mirror rule and the line-length cut.
#include "resource/IniFile.h"
#include "resource/TestFiles.h"

#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

void LoadText(CIniFile& ini, const std::string& text)
{
    ini.LoadFromMemory(text.data(), static_cast<DWORD>(text.size()));
}

std::string Saved(CIniFile& ini, int mode = 0)
{
    std::string bytes;
    ini.SaveToBuffer(mode, bytes);
    return bytes;
}

} // namespace

TEST(IniParse, LinesBecomeRecordsByTheirFirstSemicolonEqualsAndBracket)
{
    const std::pair<std::wstring, LineView> cases[] = {
        {L"PictureCount = 3 ;three", {L"", L"PictureCount", L"3", L"three"}},
        {L"a=b;c=d;e", {L"", L"a", L"b", L"c=d;e"}},
        {L"[a]=1", {L"a", L"[a]", L"1", L""}},
        {L"[a;b]", {L"a;b", L"", L"", L"b]"}},
        {L"[a=b]", {L"a=b", L"[a", L"b]", L""}},
        {L"[]", {L"", L"", L"", L""}},
        {L"=", {L"", L"", L"", L""}},
        {L"  [ S ] ;  c ", {L" S ", L"", L"", L"  c "}},
        {L"\tkey \t=\t v w \t; note", {L"", L"key", L"v w", L" note"}},
        {L"\u00A0k\u3000=\u2003v\u0085", {L"", L"k", L"v", L""}}, // the wide white-space list
        {std::wstring(L"a\0b=c\0d", 7), {L"", std::wstring(L"a\0b", 3), std::wstring(L"c\0d", 3), L""}},
    };
    for (const auto& [line, expected] : cases) {
        const SIniLine record = ParseIniLine(line);
        const LineView got{record.strSection, record.strKey, record.strValue, record.strComment};
        EXPECT_EQ(got, expected) << "line '" << std::string(line.begin(), line.end()) << "'";
        EXPECT_EQ(record.bUsed, 0);
    }
}

TEST(IniLookup, CursorPicksTheSectionCopyAtOrAfterTheLastHeaderFoundWithoutModifying)
{
    CIniFile ini;
    LoadText(ini, "k=0\r\n[S]\r\nk=1\r\nk=dup\r\n[T]\r\nk=2\r\n[S]\r\nk=3\r\n");
    EXPECT_EQ(ini.GetInt(L"s", L"K", 0, TRUE), 1); // A-Z fold
    EXPECT_EQ(std::count_if(ini.GetLines().begin(), ini.GetLines().end(), [](const SIniLine& l) { return l.bUsed; }),
              2);
    EXPECT_EQ(ini.GetString(L"S", L"k", L"", FALSE), L"1"); // duplicate key: the first one
    EXPECT_EQ(ini.GetString(L"S", L"k", L"", FALSE), L"1"); // cursor stays on the first [S]
    EXPECT_EQ(ini.GetString(L"T", L"k", L"", FALSE), L"2");
    EXPECT_EQ(ini.GetString(L"S", L"k", L"", FALSE), L"3"); // first copy after the cursor
    EXPECT_EQ(ini.GetString(L"T", L"k", L"", FALSE), L"2"); // wraps around
    // The key above every header is never found, and empty names find nothing.
    EXPECT_EQ(ini.GetString(L"", L"k", L"none", TRUE), L"none");
    EXPECT_EQ(ini.GetString(L"S", L"", L"none", TRUE), L"none");
    EXPECT_FALSE(ini.IsModified());
    // Only A-Z fold: an accented capital is a different name.
    LoadText(ini, "[\xC3\x89t\xC3\xA9]\r\nk=1\r\n");
    EXPECT_EQ(ini.GetString(L"\u00C9T\u00E9", L"K", L"none", FALSE), L"1");
    EXPECT_EQ(ini.GetString(L"\u00E9t\u00E9", L"k", L"none", FALSE), L"none");
}

TEST(IniLookup, AbsentKeysGiveTheDefaultAndWriteItBackOnlyWhenAsked)
{
    CIniFile ini;
    LoadText(ini, "[S]\r\nn= 12abc\r\n");
    EXPECT_EQ(ini.GetInt(L"S", L"n", 5, FALSE), 12); // the runtime's decimal rule
    EXPECT_EQ(ini.GetInt(L"S", L"missing", -5, FALSE), -5);
    EXPECT_FALSE(ini.IsModified());
    EXPECT_EQ(ini.GetInt(L"S", L"count", INT_MIN, TRUE), INT_MIN);
    EXPECT_EQ(ini.GetString(L"New", L"text", nullptr, TRUE), L"");
    EXPECT_TRUE(ini.IsModified());
    EXPECT_EQ(Lines(ini), (std::vector<LineView>{{L"S", L"", L"", L""},
                                                 {L"", L"n", L"12abc", L""},
                                                 {L"", L"count", L"-2147483648", L""},
                                                 {},
                                                 {L"New", L"", L"", L""},
                                                 {L"", L"text", L"", L""}}));
}

TEST(IniSetString, PlacesNewKeysAtTheEndOfTheRunAfterTheHeaderAndChangesOldOnesInPlace)
{
    const LineView s{L"S", L"", L"", L""}, k1{L"", L"k1", L"1", L""}, added{L"", L"new", L"v", L""}, blank{};
    const std::pair<const char*, std::vector<LineView>> cases[] = {
        {"[S]\r\nk1=1\r\nk2=2\r\n\r\n[T]\r\n", {s, k1, {L"", L"k2", L"2", L""}, added, blank, {L"T", L"", L"", L""}}},
        {"[S]\r\n\r\nk1=1\r\n", {s, added, blank, k1}},
        {"[S]\r\nk1=1\r\n[a]=1\r\n", {s, k1, added, {L"a", L"[a]", L"1", L""}}}, // the next header also holds a key
        {"[S]\r\n; only a comment\r\nk1=1\r\n", {s, added, {L"", L"", L"", L" only a comment"}, k1}},
    };
    for (const auto& [text, expected] : cases) {
        CIniFile ini;
        LoadText(ini, text);
        ini.SetString(L"s", L"new", L"v");
        EXPECT_EQ(Lines(ini), expected) << text;
        EXPECT_TRUE(ini.IsModified());
    }
    // An existing key changes in place, keeping its comment; empty names change nothing.
    CIniFile ini;
    LoadText(ini, "[S]\r\nKEY = old ;c\r\n");
    ini.SetString(L"S", L"key", L"new");
    EXPECT_EQ(Lines(ini), (std::vector<LineView>{s, {L"", L"key", L"new", L"c"}}));
    EXPECT_EQ(ini.GetLines().back().bUsed, 0); // a changed line is not a looked-up line

    CIniFile empty;
    empty.SetString(L"", L"k", L"v");
    empty.SetString(L"S", L"", L"v");
    EXPECT_FALSE(empty.IsModified());
    EXPECT_TRUE(empty.GetLines().empty());
}

TEST(IniSave, WritesTheCommentColumnAndModeOne)
{
    const std::pair<std::string, std::string> cases[] = {
        {"k=v;note\r\n", "k=v" + std::string(47, ' ') + "    ;note\r\n"},
        {"[S];c\r\n", "[S]" + std::string(47, ' ') + "    ;c\r\n"},
        {"junk\r\n", "\r\n"},
        {"[a]=1;c\r\n", "[a][a]=1" + std::string(47, ' ') + "    ;c\r\n"},
        // Text of 49 and of 61 characters: padding to column 54, then none.
        {std::string(23, 'k') + "=" + std::string(25, 'v') + ";c\r\n",
         std::string(23, 'k') + "=" + std::string(25, 'v') + " " + "    ;c\r\n"},
        {std::string(30, 'k') + "=" + std::string(30, 'v') + ";c\r\n",
         std::string(30, 'k') + "=" + std::string(30, 'v') + "    ;c\r\n"},
    };
    for (const auto& [text, expected] : cases) {
        CIniFile one;
        LoadText(one, text);
        EXPECT_EQ(Saved(one), expected) << text;
    }
    // Mode 1 keeps only looked-up lines, blank lines and comments.
    CIniFile ini;
    LoadText(ini, "; head\r\n[S]\r\nk=1\r\nj=2 ;jc\r\n\r\n[T]\r\nx=1\r\n;tail\r\n[S2]\r\nk=3\r\n");
    EXPECT_EQ(ini.GetString(L"S", L"k", L"", FALSE), L"1");
    EXPECT_EQ(Saved(ini, 1), "; head\r\n[S]\r\nk=1\r\n\r\n;tail\r\n");
    EXPECT_EQ(Saved(ini, 0), "; head\r\n[S]\r\nk=1\r\nj=2" + std::string(47, ' ') +
                                 "    ;jc\r\n\r\n[T]\r\nx=1\r\n;tail\r\n[S2]\r\nk=3\r\n");
}

TEST(IniRead, LineEndsAreCarriageReturnsAndMemoryLosesItsUnclosedLastLine)
{
    const LineView a{L"", L"a", L"1", L""}, b{L"", L"b", L"2", L""}, blank{};
    const std::pair<std::string, std::vector<LineView>> cases[] = {
        {"a=1\nb=2\r\n", {{L"", L"a", L"1b=2", L""}}}, // LF alone does not end a line
        {"a=1\rb=2\r", {a, b}},
        {"a=1\n\rb=2\n\r", {a, b}},
        {"a=1\r\n\r\nb=2", {a, blank}}, // b=2 is lost
        {"no line end", {}},
        {"\r", {blank}},
    };
    for (const auto& [text, expected] : cases) {
        CIniFile ini;
        LoadText(ini, text);
        EXPECT_EQ(Lines(ini), expected) << text;
    }
    // A file keeps its unclosed last line (the block-read test's last line shows it).
}

TEST(IniFileIo, TextKeepsItsEncodingUtf16OrTheAnsiCodePage)
{
    // A UTF-16 file stays UTF-16; ANSI text is read and written in the process code page: GBK
    // bytes of [资源] / 键=值 ;注释, and 中文 with a Thai letter GBK lacks written back.
    const std::string gbkHead = "[\xD7\xCA\xD4\xB4]\r\n\xBC\xFC=\xD6\xB5";
    const std::wstring utf16Head = L"[\u8D44\u6E90]\r\n\u952E=\u503C";
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"UTF-8", Utf16Bytes(utf16Head + L" ;\u6CE8\r\n"),
         Utf16Bytes(utf16Head + std::wstring(47, L' ') + L"    ;\u6CE8\r\nk=\u4E2D\u6587\u0E01\r\n")},
        {"GBK", gbkHead + " ;\xD7\xA2\xCA\xCD\r\n",
         gbkHead + std::string(47, ' ') + "    ;\xD7\xA2\xCA\xCD\r\nk=\xD6\xD0\xCE\xC4?\r\n"},
    };
    for (const auto& [codePage, before, after] : rows) {
        vireo::testing::SetAnsiCodePage(codePage);
        ScratchDir dir;
        WriteFileBytes(dir.Path("a.ini"), before);
        CIniFile ini;
        ASSERT_EQ(ini.Load(dir.Wide("a.ini").c_str(), nullptr), 1);
        EXPECT_EQ(ini.IsUnicode(), before.rfind("\xFF\xFE", 0) == 0) << codePage;
        EXPECT_EQ(ini.GetString(L"\u8D44\u6E90", L"\u952E", L"", FALSE), L"\u503C") << codePage;
        ini.SetString(L"\u8D44\u6E90", L"k", L"\u4E2D\u6587\u0E01");
        ASSERT_EQ(ini.Save(0, nullptr), 1);
        EXPECT_EQ(ReadFileBytes(dir.Path("a.ini")), after) << codePage;
    }
    // A two-byte character cut by the line limit is dropped whole.
    const std::string cut = "[S]\r\nk=" + std::string(1020, 'x') + "\xD6\xB5\r\n";
    CIniFile cutMemory;
    LoadText(cutMemory, cut);
    EXPECT_EQ(cutMemory.GetString(L"S", L"k", L"", FALSE), std::wstring(1020, L'x'));
    vireo::testing::SetAnsiCodePage(nullptr);

    // A mark alone is an empty UTF-16 file; a save keeps the mark.
    ScratchDir dir;
    WriteFileBytes(dir.Path("bom.ini"), "\xFF\xFE");
    CIniFile bom;
    ASSERT_EQ(bom.Load(dir.Wide("bom.ini").c_str(), nullptr), 1);
    EXPECT_TRUE(bom.GetLines().empty());
    bom.SetString(L"S", L"k", L"v");
    ASSERT_EQ(bom.Save(0, nullptr), 1);
    EXPECT_EQ(ReadFileBytes(dir.Path("bom.ini")), Utf16Bytes(L"\r\n[S]\r\nk=v\r\n"));
}

TEST(IniFileIo, SaveRefusesWhatItCannotWriteAndLeavesNoTemporaryFile)
{
    ScratchDir dir;
    CIniFile untouched;
    LoadText(untouched, "[S]\r\nk=1\r\n");
    EXPECT_EQ(untouched.Save(0, dir.Wide("never.ini").c_str()), 1); // nothing modified
    EXPECT_FALSE(std::filesystem::exists(dir.Path("never.ini")));

    CIniFile memory;
    LoadText(memory, "[S]\r\nk=1\r\n");
    memory.SetString(L"S", L"k", L"2");
    EXPECT_EQ(memory.Save(0, nullptr), 0); // text from memory has no own path
    EXPECT_EQ(memory.Save(0, L""), 0);

    // The target is a folder: the rename fails, the temporary file goes away.
    WriteFileBytes(dir.Path("folder.ini/inside"), "x");
    EXPECT_EQ(memory.Save(0, dir.Wide("folder.ini").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("folder.ini.tmp")));
    // A file stands where a folder of the target should be.
    WriteFileBytes(dir.Path("blocker"), "x");
    EXPECT_EQ(memory.Save(0, dir.Wide("blocker/x.ini").c_str()), 0);
    EXPECT_EQ(ReadFileBytes(dir.Path("blocker")), "x");

    // Missing folders of a good target are created.
    EXPECT_EQ(memory.Save(0, dir.Wide("a/b/c.ini").c_str()), 1);
    EXPECT_EQ(ReadFileBytes(dir.Path("a/b/c.ini")), "[S]\r\nk=2\r\n");
}

TEST(IniFileIo, MirrorIsRefreshedUnlessItAlreadyDiffersInSize)
{
    // The mirror's text before (null: no mirror file), and 1 when the mirror is refreshed.
    const std::pair<const char*, BOOL> cases[] = {{"[S]\r\nk=1\r\n", 1}, {nullptr, 1}, {"[S]\r\nk=100\r\n", 0}};
    for (const auto& [mirrorBefore, result] : cases) {
        ScratchDir dir;
        WriteFileBytes(dir.Path("own.ini"), "[S]\r\nk=1\r\n");
        if (mirrorBefore)
            WriteFileBytes(dir.Path("mirror.ini"), mirrorBefore);
        CIniFile ini;
        ASSERT_EQ(ini.Load(dir.Wide("own.ini").c_str(), dir.Wide("mirror.ini").c_str()), 1);
        ini.SetString(L"S", L"k", L"2");
        const std::string name = mirrorBefore ? mirrorBefore : "no mirror";
        EXPECT_EQ(ini.Save(0, nullptr), result) << name;
        EXPECT_EQ(ReadFileBytes(dir.Path("own.ini")), "[S]\r\nk=2\r\n") << name;
        EXPECT_EQ(ReadFileBytes(dir.Path("mirror.ini")), result ? "[S]\r\nk=2\r\n" : mirrorBefore) << name;
    }
}

TEST(IniFileIo, DiskFullDuringASaveLeavesThePreviousFileIntact)
{
    // A child process writes with its file size limited to k bytes (as a full disk would
    // stop it) for every k short of the whole text; the old file must survive each time.
    ScratchDir dir;
    const std::string before = "; keep me\r\n[Picture]\r\nPictureCount=2\r\n";
    WriteFileBytes(dir.Path("Desc.ini"), before);
    CIniFile probe;
    ASSERT_EQ(probe.Load(dir.Wide("Desc.ini").c_str(), nullptr), 1);
    probe.GetInt(L"Animation", L"FrameDelay", 0, TRUE);
    std::string full;
    probe.SaveToBuffer(1, full);
    for (std::size_t limit = 0; limit < full.size(); limit += 7) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            setrlimit(RLIMIT_FSIZE, &size);
            CIniFile ini;
            ini.Load(dir.Wide("Desc.ini").c_str(), nullptr);
            ini.GetInt(L"Animation", L"FrameDelay", 0, TRUE);
            _exit(ini.Save(1, nullptr) == 0 ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << limit;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "Save reported success with " << limit << " bytes";
        EXPECT_EQ(ReadFileBytes(dir.Path("Desc.ini")), before) << limit;
        EXPECT_FALSE(std::filesystem::exists(dir.Path("Desc.ini.tmp"))) << limit;
    }
}

TEST(IniFileIo, AFileLoadsInAFewBlockReads)
{
    // 300 lines, about 6 KB: a byte-at-a-time reader makes one call per byte. The line rules
    // under short reads are the line reader's own (TextLinesTest).
    std::wstring text = L"[Picture]\r\n";
    for (int i = 0; i < 300; ++i)
        text += L"Pic" + std::to_wstring(i) + L"Box=0,0,64,64 ;\u6CE8\r\n";
    text += L"last=1"; // no line end
    ScratchDir dir;
    std::string ansi;
    for (wchar_t c : text)
        ansi += c < 0x80 ? static_cast<char>(c) : '?';
    WriteFileBytes(dir.Path("ansi.ini"), ansi);
    WriteFileBytes(dir.Path("utf16.ini"), Utf16Bytes(text));
    for (const char* name : {"ansi.ini", "utf16.ini"}) {
        vireo::testing::SetFileFaults({L".ini", false, -1, 0});
        CIniFile ini;
        ASSERT_EQ(ini.Load(dir.Wide(name).c_str(), nullptr), 1);
        EXPECT_EQ(ini.GetLines().size(), 302u) << name;
        EXPECT_EQ(ini.GetString(L"Picture", L"last", L"", FALSE), L"1") << name;
        // The mark, one block and the read that finds the end.
        EXPECT_LE(vireo::testing::FaultyFileReadCalls() + vireo::testing::FaultyFileSeekCalls(), 4) << name;
    }
    vireo::testing::ClearFileFaults();
}
