// Recording and replay through the whole engine: the exact bytes written, the start rules, a
// scripted session replayed frame by frame, and damaged or unterminated record files.
#include "tests/input/InputHarness.h"

#include <vireo/platform/DInput8.h>

#include <array>
#include <tuple>

using namespace inputtest;
using vireo::test::ReadFileBytes;
using vireo::test::WriteFileBytes;

TEST_F(InputEngineTest, RecordWritesEachChangeOnceAndNothingInPausedFrames)
{
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"run.rec"));
    Frames(5); // counts 0-4
    InjectKey(30, true);
    Frames(4); // the press at count 5
    InjectKey(30, false);
    Frames(4); // the release at 9, KS_NONE at 10
    Game().PauseGame(TRUE);
    Frames(); // the pause takes effect here; the count stays 13
    InjectKey(DIK_X, true);
    Frames(3);
    Game().PauseGame(FALSE);
    Frames(); // count 13 again; the press came in a frame that wrote nothing
    InjectKey(DIK_X, false);
    Frames(2); // counts 14, 15
    ASSERT_TRUE(Input()->RecordInput(FALSE, nullptr));
    const std::string expected = "[00000005] 030=1\r\n[00000009] 030=2\r\n[00000010] 030=0\r\n"
                                 "[00000014] 045=2\r\n[00000015] 045=0\r\n[99999999] 0=0";
    EXPECT_EQ(ReadFileBytes("run.rec"), expected);
    EXPECT_TRUE(Input()->RecordInput(FALSE, nullptr)); // stopping twice writes nothing more
    EXPECT_EQ(ReadFileBytes("run.rec"), expected);
}

TEST_F(InputEngineTest, RecordAndReplayStartRules)
{
    EXPECT_FALSE(Input()->RecordInput(TRUE, nullptr));
    EXPECT_EQ(vireo::testing::MessageBoxesShown().at(0).text, L"RecordInput(TRUE, NULL)");
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"first.rec"));
    Frames(3);
    // Already recording, count no longer 0: the first file is ended, the second refused.
    EXPECT_FALSE(Input()->RecordInput(TRUE, L"second.rec"));
    EXPECT_EQ(ReadFileBytes("first.rec"), "[99999999] 0=0");
    EXPECT_NE(LogText().find("RecordInput(TRUE) failed.  nGameUpdateCount!=0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("second.rec"));
    Game().SetGameUpdateCount(0);
    EXPECT_FALSE(Input()->RecordInput(TRUE, L"no-such-folder/x.rec"));
    EXPECT_NE(LogText().find("open Record file failed."), std::string::npos);
    // Replay refuses a missing file, a folder, an empty file and an empty first line.
    EXPECT_FALSE(Input()->ReplayInput(TRUE));
    std::filesystem::create_directory("Record.dat");
    EXPECT_FALSE(Input()->ReplayInput(TRUE));
    std::filesystem::remove("Record.dat");
    for (const char* bytes : {"", "\r\n[00000000] 030=1"}) {
        WriteFileBytes("Record.dat", bytes);
        EXPECT_FALSE(Input()->ReplayInput(TRUE)) << bytes;
    }
    // Replay asked for while recording: the recording is ended with its terminator first, so
    // a replay of the same file reads it whole; only at count 0.
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"Record.dat"));
    InjectKey(DIK_K, true);
    Frames();
    EXPECT_FALSE(Input()->ReplayInput(TRUE));
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    EXPECT_EQ(ReadFileBytes("Record.dat"), "[00000000] 037=1\r\n[99999999] 0=0");
    InjectKey(DIK_K, false);
    Frames();
    EXPECT_EQ(Input()->CheckKeyState(DIK_K), KS_DOWN);
}

TEST_F(InputEngineTest, RecordedSessionReplaysOnTheGameSideFrameByFrame)
{
    const std::tuple<int, int, bool> script[] = {{1, DIK_LEFT, true}, {3, DIK_SPACE, true}, {3, DIK_SPACE, false},
                                                 {4, DIK_UP, true},   {6, DIK_LEFT, false}, {7, DIK_A, true},
                                                 {9, DIK_UP, false},  {12, DIK_A, false}};
    constexpr int kFrames = 14;
    using KeyStates = std::array<KEYSTATE, 256>;
    std::vector<KeyStates> seen; // every key as the game side sees it, frame by frame
    KEYSTATE uiZ = KS_NONE;
    Game().onMessage = [&](UINT msg) {
        if (msg == EMSG_IS_UI_KEYBOARD_INPUT)
            uiZ = Input()->CheckKeyState(DIK_Z);
        if (msg == EMSG_IS_GAME_KEYBOARD_INPUT) {
            seen.emplace_back();
            for (int key = 0; key < 256; ++key)
                seen.back()[key] = Input()->CheckKeyState(key);
        }
        return -1;
    };
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"Record.dat"));
    for (int frame = 0; frame < kFrames; ++frame) {
        for (const auto& [at, key, down] : script)
            if (at == frame)
                InjectKey(key, down);
        Frames();
    }
    ASSERT_TRUE(Input()->RecordInput(FALSE, nullptr));
    const std::vector<KeyStates> recorded = std::move(seen);

    // The game side replays while a live key is held (the UI side still sees it), half of
    // it in the background.
    seen.clear();
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    InjectKey(DIK_Z, true);
    Frames(kFrames / 2);
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_LEFT), KS_NONE); // replayed blocks carry no events
    EXPECT_EQ(uiZ, KS_DOWN);
    SetForeground(false);
    Frames(kFrames - kFrames / 2);
    EXPECT_TRUE(seen == recorded);
    // The terminator is never reached: the replay holds and the game is not paused.
    Frames(3);
    EXPECT_FALSE(Game().GetEngineStatus()->bPaused);
    InjectKey(DIK_Z, false);
}

TEST_F(InputEngineTest, DamagedRecordFiles)
{
    // Each file is replayed for six frames (counts 0-5); `expect` shows the game-side states of
    // keys 30 and 31 after each frame (N none, D down, U up), and whether the replay ran out and paused.
    const std::string tail = "[00000004] 031=1\r\n[99999999] 0=0";
    const std::tuple<const char*, std::string, std::string, bool> rows[] = {
        {"short line takes its turn, changes nothing", "[00000001] 03\r\n[00000002] 030=1\r\n" + tail,
         "NN NN DN DN DD DD", false},
        {"key or state out of range",
         "[00000001] 256=1\r\n[00000001] -01=1\r\n[00000001] 030=3\r\n[00000001] 030=\r\n" + tail, "NN NN NN NN ND ND",
         false},
        {"count goes backwards and holds the rest", "[00000002] 030=1\r\n[00000001] 030=2\r\n" + tail,
         "NN NN DN DN DN DN", false},
        // A line feed does not end a line: the file is one line and ends with it. The frame that
        // reaches the end of a file reads the live block again, and the next one is paused.
        {"line feeds only", "[00000001] 030=1\n[00000002] 031=1\n", "NN NN", true},
        {"over-long line is cut, its change still read", "[00000001] 030=1" + std::string(5000, 'x') + "\r\n" + tail,
         "NN DN DN DN DD DD", false},
        {"no terminator", "[00000000] 030=1\r\n[00000002] 030=2\r\n", "DN DN NN", true},
    };
    const auto shown = [this](int key) { return "NDU"[Input()->CheckKeyState(key)]; };
    for (const auto& [what, bytes, expect, paused] : rows) {
        SCOPED_TRACE(what);
        Game().PauseGame(FALSE);
        Frames();
        WriteFileBytes("Record.dat", bytes);
        Game().SetGameUpdateCount(0);
        ASSERT_TRUE(Input()->ReplayInput(TRUE));
        std::string seen;
        for (int frame = 0; frame < 6; ++frame) {
            Frames();
            if (Game().GetEngineStatus()->bPaused)
                break;
            seen += {shown(30), shown(31), ' '};
        }
        EXPECT_EQ(seen, expect + ' ');
        EXPECT_EQ(Game().GetEngineStatus()->bPaused != FALSE, paused);
        Input()->ReplayInput(FALSE);
    }
}

TEST_F(InputEngineTest, ReplayReadsTheFileInBlocks)
{
    // 200 lines of 18 bytes at count 0, one more and the terminator: one ReadFile per byte
    // would be 3,633 calls; the replay must need at most a tenth of that, seeks included.
    std::string bytes;
    for (int i = 0; i < 200; ++i)
        bytes += i % 2 ? "[00000000] 030=1\r\n" : "[00000000] 030=0\r\n";
    WriteFileBytes("Record.dat", bytes + "[00000001] 031=1\r\n[99999999] 0=0");
    vireo::testing::SetFileFaults({L"Record.dat", false, -1, 0});
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    Frames(2);
    EXPECT_EQ(Input()->CheckKeyState(30), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyState(31), KS_DOWN);
    EXPECT_LE(vireo::testing::FaultyFileReadCalls() + vireo::testing::FaultyFileSeekCalls(), 361);
    vireo::testing::ClearFileFaults();
}
