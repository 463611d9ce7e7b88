// WriteLog and its file: exact line bytes, the level rules, the cuts of long messages in
// single- and multi-byte code pages, and an unopenable or full log file. Time and thread are fixed
// so whole lines can be compared byte for byte.
#include "common/ScratchDir.h"

#include <vireo/platform/Testing.h>
#include <vireo/support.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

namespace {

using vireo::test::ReadFileBytes;

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        vireo::testing::InstallVirtualClock();
        vireo::testing::SetLocalDateTime(SYSTEMTIME{2026, 12, 6, 5, 14, 3, 7, 123});
        vireo::testing::SetAnsiCodePage("UTF-8");
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "%08x] 2026-12-05 14:03:07.123 > ", GetCurrentThreadId());
        m_tail = prefix;
    }
    void TearDown() override
    {
        vireo::testing::SetAnsiCodePage(nullptr);
        vireo::testing::UninstallVirtualClock();
    }

    // The exact bytes of one line at the fixed time.
    std::string Line(int level, const std::string& text) const
    {
        return std::to_string(level).insert(0, 1, '[') + '.' + m_tail + text + "\r\n";
    }
    std::string LogBytes() const { return ReadFileBytes(m_dir.Path() / "VireoEngine.log"); }

    vireo::test::ScratchDir m_dir;
    std::string m_tail;
};

TEST_F(LogTest, LinesAreByteExact)
{
    WriteLog(0, L"");
    WriteLog(1, L"---- Vireo Engine Init ----");
    WriteLog(2, L"GameUpdateCount set to %d", 0);
    WriteLog(3, L"FMUSIC_LoadSong  failure.  path=%s", L"music\\theme.mid");
    EXPECT_EQ(LogBytes(), Line(1, "---- Vireo Engine Init ----") + Line(2, "GameUpdateCount set to 0") +
                              Line(3, "FMUSIC_LoadSong  failure.  path=music\\theme.mid"));
}

TEST_F(LogTest, LevelZeroEmptiesAndLevelFourIsDiscarded)
{
    WriteLog(1, L"first run");
    WriteLog(4, L"Mouse Event: nIndex=%d, Event=%d", 256, 2);
    EXPECT_EQ(LogBytes(), Line(1, "first run"));

    // A new start empties the file whatever the level-0 text says.
    vireo::ResetLogFileForTesting();
    WriteLog(0, L"this text is never stored");
    EXPECT_EQ(LogBytes(), "");
    WriteLog(1, L"second run");
    EXPECT_EQ(LogBytes(), Line(1, "second run"));

    // Any level byte other than 0 writes; only levels above 3 are dropped.
    WriteLog(-1, L"odd level");
    EXPECT_EQ(LogBytes(), Line(1, "second run") + Line(255, "odd level"));
}

TEST_F(LogTest, LongMessagesAreCutWithoutSplittingCharacters)
{
    // The line buffer holds 1056 bytes with its terminator, so the line is at most 1055 bytes
    // and always ends with CR LF; the text gives way.
    const std::size_t room = 1055 - Line(1, "").size();

    WriteLog(1, L"%s", std::wstring(5000, L'a').c_str());
    EXPECT_EQ(LogBytes(), Line(1, std::string(room, 'a')));

    // 中 is written in the process code page: 2 bytes in GBK (D6 D0) and 3 in UTF-8; one ASCII
    // byte first shifts the UTF-8 cut, which still falls between whole characters.
    for (const auto& [codePage, prefix, unit] :
         {std::tuple{"GBK", "", "\xD6\xD0"}, std::tuple{"UTF-8", "x", "\xE4\xB8\xAD"}}) {
        vireo::testing::SetAnsiCodePage(codePage);
        WriteLog(0, L"");
        WriteLog(1, L"%S%s", prefix, std::wstring(2000, L'中').c_str());
        std::string expected = prefix;
        while (expected.size() + std::strlen(unit) <= room)
            expected += unit;
        EXPECT_EQ(LogBytes(), Line(1, expected)) << codePage;
    }
}

TEST_F(LogTest, UnopenableOrFullLogDropsTheMessageAndRetriesNextCall)
{
    // A directory where the file should be: the open fails (root ignores permissions, so a
    // read-only folder would not).
    std::filesystem::create_directory(m_dir.Path() / "VireoEngine.log");
    WriteLog(1, L"lost");
    std::filesystem::remove(m_dir.Path() / "VireoEngine.log");
    WriteLog(1, L"kept");
    EXPECT_EQ(LogBytes(), Line(1, "kept"));

    // A full disk: one write a line, failed writes not retried, the game not told.
    const std::string line = Line(1, "kept");
    vireo::testing::SetFileFaults({L"VireoEngine.log", false, static_cast<long long>(line.size()), 0});
    for (int i = 0; i < 5; ++i)
        WriteLog(1, L"kept");
    EXPECT_EQ(vireo::testing::FaultyFileWriteCalls(), 5);
    vireo::testing::ClearFileFaults();
    EXPECT_EQ(LogBytes(), line + line);
}

TEST(ShowMessageBox, CutsTheTextAt1023AndWritesNoLogLine)
{
    vireo::test::ScratchDir dir;
    vireo::testing::ClearMessageBoxes();
    EXPECT_EQ(ShowMessageBox(L"%s", std::wstring(3000, L'x').c_str()), IDOK);
    const auto boxes = vireo::testing::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Vireo Engine");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[0].text, std::wstring(1023, L'x'));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "VireoEngine.log"));
}

} // namespace
