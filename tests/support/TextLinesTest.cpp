// Line readers and text writers against real files: line-end rules, code pages, UTF-16
// surrogates and the buffer cuts. The record file's lines are pinned by the replay tests.
#include "common/ScratchDir.h"

#include <vireo/platform/Testing.h>
#include <vireo/support.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vireo::test::ReadFileBytes;
using vireo::test::WriteFileBytes;

class TextLinesTest : public ::testing::Test {
  protected:
    void TearDown() override { vireo::testing::SetAnsiCodePage(nullptr); }

    HANDLE Open(const wchar_t* name, DWORD access, DWORD disposition)
    {
        return CreateFileW(name, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    std::vector<std::wstring> ReadAll(const wchar_t* name, bool unicode)
    {
        std::vector<std::wstring> lines;
        HANDLE file = Open(name, GENERIC_READ, OPEN_EXISTING);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        std::wstring line;
        // Bounded: a reader that never reports the end would fail here, not hang.
        for (int i = 0; i < 100 && (unicode ? ReadLineUnicode(file, line) : ReadLineAnsi(file, line)); ++i)
            lines.push_back(line);
        CloseHandle(file);
        return lines;
    }

    vireo::test::ScratchDir m_dir;
};

TEST_F(TextLinesTest, CutsDropAHalfCharacterAndTheAnsiWriterStopsAt4095Bytes)
{
    // Where a long line is cut (and that the next one survives) is the block-read test's.
    // A cut through a GBK character drops its lone lead byte.
    vireo::testing::SetAnsiCodePage("GBK");
    std::string gbk;
    for (int i = 0; i < 600; ++i)
        gbk += "\xD6\xD0";
    WriteFileBytes("long936.txt", gbk + "\r\n");
    EXPECT_EQ(ReadAll(L"long936.txt", false), (std::vector<std::wstring>{std::wstring(511, L'中')}));
    vireo::testing::SetAnsiCodePage(nullptr);

    // The ANSI writer stops at 4095 bytes.
    HANDLE file = Open(L"big.txt", GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_TRUE(WriteTextAnsi(file, std::wstring(5000, L'q').c_str()));
    CloseHandle(file);
    EXPECT_EQ(ReadFileBytes(m_dir.Path() / "big.txt"), std::string(4095, 'q'));
}

TEST_F(TextLinesTest, Utf16SurrogatesBothWays)
{
    HANDLE file = Open(L"u.ini", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteTextUnicode(file, L"A\U0001F600\r\n"));
    EXPECT_TRUE(WriteTextUnicode(file, L""));
    EXPECT_TRUE(WriteTextUnicode(file, L"\x4E2D"));
    CloseHandle(file);
    EXPECT_EQ(ReadFileBytes(m_dir.Path() / "u.ini"), std::string("A\0\x3D\xD8\x00\xDE\r\0\n\0\x2D\x4E", 12));
    EXPECT_EQ(ReadAll(L"u.ini", true), (std::vector<std::wstring>{L"A\U0001F600", L"\x4E2D"}));

    // An odd last byte is not half a character.
    WriteFileBytes("odd.ini", std::string("a\0b", 3));
    EXPECT_EQ(ReadAll(L"odd.ini", true), (std::vector<std::wstring>{L"a"}));
}

TEST_F(TextLinesTest, BlockReadsLeaveTheFileJustAfterEachLineWhateverTheReadSizes)
{
    // Lines cut at every kind of place: CR LF, LF CR, an empty line, a long line, an odd UTF-16
    // tail. CR ends a line, LF is skipped wherever it is, the last line needs no end.
    const std::string ansi = "first\r\n\nsec\nond\r\r" + std::string(1500, 'L') + "\r\nlast";
    std::string utf16;
    for (char c : ansi)
        utf16 += std::string{c, '\0'};
    utf16 += 'x'; // half a unit at the end
    WriteFileBytes("a.txt", ansi);
    WriteFileBytes("u.txt", utf16);

    for (const bool unicode : {false, true}) {
        const std::string& bytes = unicode ? utf16 : ansi;
        const std::size_t unit = unicode ? 2 : 1;
        // Where a reader of one unit per call stops: just after each CR, then at the end.
        std::vector<long> stops;
        for (std::size_t i = 0; i + unit <= bytes.size(); i += unit)
            if (bytes[i] == '\r')
                stops.push_back(static_cast<long>(i + unit));
        stops.push_back(static_cast<long>(bytes.size()));
        for (const DWORD chunk : {0u, 1u, 3u, 7u, 509u}) {
            vireo::testing::SetFileFaults({unicode ? L"u.txt" : L"a.txt", false, -1, chunk});
            HANDLE file = Open(unicode ? L"u.txt" : L"a.txt", GENERIC_READ, OPEN_EXISTING);
            std::vector<std::wstring> lines;
            std::wstring line;
            for (std::size_t i = 0; i < stops.size(); ++i) {
                ASSERT_TRUE(unicode ? ReadLineUnicode(file, line) : ReadLineAnsi(file, line)) << chunk;
                lines.push_back(line);
                EXPECT_EQ(static_cast<long>(SetFilePointer(file, 0, nullptr, FILE_CURRENT)), stops[i])
                    << "unicode " << unicode << ", chunk " << chunk << ", line " << i;
            }
            EXPECT_FALSE(unicode ? ReadLineUnicode(file, line) : ReadLineAnsi(file, line));
            CloseHandle(file);
            EXPECT_EQ(lines, (std::vector<std::wstring>{L"first", L"second", L"", std::wstring(1023, L'L'), L"last"}))
                << "unicode " << unicode << ", chunk " << chunk;
        }
    }
    vireo::testing::ClearFileFaults();
}

TEST_F(TextLinesTest, ALineCostsAFewCallsNotOnePerByte)
{
    // 200 record lines of 18 bytes: a byte-at-a-time reader makes 3,601 ReadFile calls.
    std::string bytes;
    for (int i = 0; i < 200; ++i)
        bytes += "[00000042] 200=1\r\n";
    WriteFileBytes("Record.dat", bytes);
    vireo::testing::SetFileFaults({L"Record.dat", false, -1, 0});
    HANDLE file = Open(L"Record.dat", GENERIC_READ, OPEN_EXISTING);
    std::wstring line;
    int lines = 0;
    while (ReadLineAnsi(file, line))
        ++lines;
    CloseHandle(file);
    EXPECT_EQ(lines, 200);
    // One read and one seek back per line; at the end, the last LF and the end of the file.
    EXPECT_LE(vireo::testing::FaultyFileReadCalls() + vireo::testing::FaultyFileSeekCalls(), 402);
    vireo::testing::ClearFileFaults();
}

TEST_F(TextLinesTest, InvalidHandleReadsAsEndOfFile)
{
    std::wstring line = L"old";
    EXPECT_FALSE(ReadLineAnsi(INVALID_HANDLE_VALUE, line));
    EXPECT_EQ(line, L"");
    EXPECT_FALSE(ReadLineUnicode(INVALID_HANDLE_VALUE, line));
    EXPECT_FALSE(WriteTextAnsi(INVALID_HANDLE_VALUE, L"x"));
}

} // namespace
