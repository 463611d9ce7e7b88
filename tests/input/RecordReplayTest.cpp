// Recording and replay through the whole engine: the exact bytes written, paused frames,
// the terminator, the end of a file without one, replay in the background, a scripted
// session replayed frame by frame, and damaged or missing record files.
#include "tests/input/InputHarness.h"

#include <vireo/platform/DInput8.h>

#include <array>
#include <fstream>

using namespace inputtest;

namespace {

void WriteFile(const char* name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out << bytes;
}

// Every key's state as the game sees it, taken in each game keyboard message.
using KeyStates = std::array<KEYSTATE, 256>;

}  // namespace

TEST_F(InputEngineTest, RecordWritesEachChangeOnce)
{
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"run.rec"));
    Frames(5);  // counts 0-4
    Key(30, true);
    Frame();  // count 5
    Frames(3);
    Key(30, false);
    Frame();  // count 9
    Frame();  // count 10: back to KS_NONE
    Frames(2);
    ASSERT_TRUE(Input()->RecordInput(FALSE, nullptr));
    EXPECT_EQ(vireo::test::ReadFileBytes("run.rec"),
              "[00000005] 030=1\r\n[00000009] 030=2\r\n[00000010] 030=0\r\n[99999999] 0=0");
    // Stopping twice is harmless and writes nothing more.
    EXPECT_TRUE(Input()->RecordInput(FALSE, nullptr));
    EXPECT_EQ(vireo::test::ReadFileBytes("run.rec").size(), 68u);
}

TEST_F(InputEngineTest, PausedFramesWriteNothing)
{
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"paused.rec"));
    Frames(2);  // counts 0, 1
    Game().PauseGame(TRUE);
    Frame();  // the pause takes effect here; count stays 2
    Key(DIK_X, true);
    Frames(3);
    Game().PauseGame(FALSE);
    Frame();  // count 2 again, and the press happened in a frame that wrote nothing
    Key(DIK_X, false);
    Frame();  // count 3
    Frame();  // count 4
    Game().SendMessage(EMSG_EG_DESTROY, 0, 0);
    EXPECT_EQ(vireo::test::ReadFileBytes("paused.rec"), "[00000003] 045=2\r\n[00000004] 045=0\r\n[99999999] 0=0");
}

TEST_F(InputEngineTest, RecordStartRules)
{
    EXPECT_FALSE(Input()->RecordInput(TRUE, nullptr));
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::wstring>{L"RecordInput(TRUE, NULL)"});

    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"first.rec"));
    Frames(3);
    // Already recording, count no longer 0: the first file is ended, the second refused.
    EXPECT_FALSE(Input()->RecordInput(TRUE, L"second.rec"));
    EXPECT_EQ(vireo::test::ReadFileBytes("first.rec"), "[99999999] 0=0");
    EXPECT_NE(LogText().find("RecordInput(TRUE) failed.  nGameUpdateCount!=0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("second.rec"));

    Game().SetGameUpdateCount(0);
    EXPECT_FALSE(Input()->RecordInput(TRUE, L"no-such-folder/x.rec"));
    EXPECT_NE(LogText().find("open Record file failed."), std::string::npos);

    // Replay asked for while recording: the recording is ended with its terminator first,
    // so a replay of the same file reads it whole.
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"Record.dat"));
    Key(DIK_K, true);
    Frame();  // count 0
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    EXPECT_EQ(vireo::test::ReadFileBytes("Record.dat"), "[00000000] 037=1\r\n[99999999] 0=0");
    Key(DIK_K, false);
    Frame();  // count 0 again, replayed
    EXPECT_EQ(Input()->CheckKeyState(DIK_K), KS_DOWN);
}

TEST_F(InputEngineTest, RecordedSessionReplaysFrameByFrame)
{
    // A scripted session: which keys go down or up before each frame.
    struct Event {
        int frame;
        int key;
        bool down;
    };
    const Event script[] = {
        {1, DIK_LEFT, true},  {3, DIK_SPACE, true}, {3, DIK_SPACE, false}, {4, DIK_UP, true},
        {6, DIK_LEFT, false}, {7, DIK_A, true},     {7, DIK_S, true},      {9, DIK_UP, false},
        {12, DIK_A, false},   {12, DIK_S, false},   {14, DIK_LEFT, true},  {17, DIK_LEFT, false},
    };
    constexpr int kFrames = 20;

    std::vector<KeyStates> seen;
    Game().onMessage = [&](UINT msg) {
        if (msg == EMSG_IS_GAME_KEYBOARD_INPUT) {
            KeyStates states;
            for (int key = 0; key < 256; ++key)
                states[key] = Input()->CheckKeyState(key);
            seen.push_back(states);
        }
        return 0;
    };

    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->RecordInput(TRUE, L"Record.dat"));
    for (int frame = 0; frame < kFrames; ++frame) {
        for (const Event& e : script)
            if (e.frame == frame)
                Key(e.key, e.down);
        Frame();
    }
    ASSERT_TRUE(Input()->RecordInput(FALSE, nullptr));
    const std::vector<KeyStates> recorded = seen;
    ASSERT_EQ(recorded.size(), static_cast<size_t>(kFrames));

    // Replay with no keyboard at all, and in the background.
    seen.clear();
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    SetForeground(false);
    Frames(kFrames);
    ASSERT_EQ(seen.size(), recorded.size());
    for (int frame = 0; frame < kFrames; ++frame)
        for (int key = 0; key < 256; ++key)
            ASSERT_EQ(seen[frame][key], recorded[frame][key]) << "frame " << frame << " key " << key;

    // The terminator is never reached: the replay holds and the game is not paused.
    Frames(3);
    EXPECT_FALSE(Game().GetEngineStatus()->bPaused);
    EXPECT_TRUE(Input()->ReplayInput(FALSE));
}

TEST_F(InputEngineTest, ReplayTakesOverOnlyTheGameSide)
{
    WriteFile("Record.dat", "[00000001] 030=1\r\n[00000003] 030=2\r\n[00000004] 030=0\r\n[99999999] 0=0");
    KEYSTATE uiState = KS_NONE;
    KEYSTATE gameState = KS_NONE;
    Game().onMessage = [&](UINT msg) {
        if (msg == EMSG_IS_UI_KEYBOARD_INPUT)
            uiState = Input()->CheckKeyState(30);
        if (msg == EMSG_IS_GAME_KEYBOARD_INPUT)
            gameState = Input()->CheckKeyState(30);
        return 0;
    };
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    Frame();  // count 0
    EXPECT_EQ(gameState, KS_NONE);
    Key(DIK_Z, true);
    Frame();  // count 1
    EXPECT_EQ(gameState, KS_DOWN);
    EXPECT_EQ(uiState, KS_NONE);
    EXPECT_EQ(Input()->CheckKeyEvent(30), KS_NONE);  // replayed blocks carry no events
    EXPECT_EQ(Input()->CheckKeyState(DIK_Z), KS_NONE);
    Frames(2);  // counts 2, 3
    EXPECT_EQ(gameState, KS_UP);

    // Stopping: everything reads the live block again.
    EXPECT_TRUE(Input()->ReplayInput(FALSE));
    Frame();
    EXPECT_EQ(Input()->CheckKeyState(DIK_Z), KS_DOWN);
    EXPECT_EQ(gameState, KS_NONE);
    Key(DIK_Z, false);
}

TEST_F(InputEngineTest, ReplayEndsAndPausesWithoutTerminator)
{
    WriteFile("Record.dat", "[00000000] 200=1\r\n[00000002] 200=2\r\n");
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    Frames(3);  // counts 0, 1, 2: the last line is read in the frame of count 2
    EXPECT_FALSE(Game().GetEngineStatus()->bPaused);
    Frame();  // the pause shows at the start of the next frame
    EXPECT_TRUE(Game().GetEngineStatus()->bPaused);
    EXPECT_EQ(Game().GetEngineStatus()->nGameUpdateCount, 3u);
}

TEST_F(InputEngineTest, ReplayStartRules)
{
    // Missing file, a folder of that name, an empty file: refused.
    Game().SetGameUpdateCount(0);
    EXPECT_FALSE(Input()->ReplayInput(TRUE));
    EXPECT_NE(LogText().find("open Record file failed."), std::string::npos);
    std::filesystem::create_directory("Record.dat");
    EXPECT_FALSE(Input()->ReplayInput(TRUE));
    std::filesystem::remove("Record.dat");
    WriteFile("Record.dat", "");
    EXPECT_FALSE(Input()->ReplayInput(TRUE));
    WriteFile("Record.dat", "\r\n[00000000] 030=1");
    EXPECT_FALSE(Input()->ReplayInput(TRUE));  // the first line is empty

    // Only the terminator: replay starts and nothing ever changes.
    WriteFile("Record.dat", "[99999999] 0=0");
    Frame();
    EXPECT_FALSE(Input()->ReplayInput(TRUE));  // the count is no longer 0
    Game().SetGameUpdateCount(0);
    ASSERT_TRUE(Input()->ReplayInput(TRUE));
    Frames(5);
    for (int key = 0; key < 256; ++key)
        ASSERT_EQ(Input()->CheckKeyState(key), KS_NONE);
    EXPECT_FALSE(Game().GetEngineStatus()->bPaused);
}

TEST_F(InputEngineTest, DamagedRecordFiles)
{
    // Each file is replayed for six frames (counts 0-5); `expect` lists the game-side states
    // of keys 30 and 31 after each frame, and whether the replay ran out and paused.
    struct Row {
        const char* what;
        std::string bytes;
        std::array<std::array<KEYSTATE, 2>, 6> expect;
        bool paused;
    };
    const KEYSTATE N = KS_NONE, D = KS_DOWN, U = KS_UP;
    const std::string tail = "[00000004] 031=1\r\n[99999999] 0=0";
    const Row rows[] = {
        {"well formed", "[00000001] 030=1\r\n[00000003] 030=2\r\n" + tail,
         {{{N, N}, {D, N}, {D, N}, {U, N}, {U, D}, {U, D}}}, false},
        {"short line takes its turn, changes nothing", "[00000001] 03\r\n[00000002] 030=1\r\n" + tail,
         {{{N, N}, {N, N}, {D, N}, {D, N}, {D, D}, {D, D}}}, false},
        {"garbled count is skipped", "[0000x001] 030=1\r\n[00000002] 030=1\r\n" + tail,
         {{{N, N}, {N, N}, {D, N}, {D, N}, {D, D}, {D, D}}}, false},
        {"scan code out of range", "[00000001] 999=1\r\n[00000001] -01=1\r\n[00000001] abc=1\r\n" + tail,
         {{{N, N}, {N, N}, {N, N}, {N, N}, {N, D}, {N, D}}}, false},
        {"state out of range", "[00000001] 030=7\r\n[00000001] 030=-\r\n[00000002] 030=\r\n" + tail,
         {{{N, N}, {N, N}, {N, N}, {N, N}, {N, D}, {N, D}}}, false},
        {"count goes backwards and holds the rest", "[00000002] 030=1\r\n[00000001] 030=2\r\n" + tail,
         {{{N, N}, {N, N}, {D, N}, {D, N}, {D, N}, {D, N}}}, false},
        // A line feed does not end a line: both lines are one, and the file ends with it. The
        // frame that reaches the end reads the live block again.
        {"line feeds only", "[00000001] 030=1\n[00000002] 031=1\n",
         {{{N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}}}, true},
        {"over-long line is cut, its change still read", "[00000001] 030=1" + std::string(5000, 'x') + "\r\n" + tail,
         {{{N, N}, {D, N}, {D, N}, {D, N}, {D, D}, {D, D}}}, false},
        {"NUL bytes and junk", std::string("[00000001] 030=1\0\0\r\n\x01\x02\r\n", 24) + tail,
         {{{N, N}, {D, N}, {D, N}, {D, N}, {D, D}, {D, D}}}, false},
        {"only junk after the first line", "[00000001] 030=1\r\nxx\r\n\r\nyy",
         {{{N, N}, {N, N}, {N, N}, {N, N}, {N, N}, {N, N}}}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Game().PauseGame(FALSE);
        Frame();
        WriteFile("Record.dat", row.bytes);
        Game().SetGameUpdateCount(0);
        ASSERT_TRUE(Input()->ReplayInput(TRUE));
        for (int frame = 0; frame < 6; ++frame) {
            Frame();
            if (Game().GetEngineStatus()->bPaused)
                break;
            EXPECT_EQ(Input()->CheckKeyState(30), row.expect[frame][0]) << "frame " << frame;
            EXPECT_EQ(Input()->CheckKeyState(31), row.expect[frame][1]) << "frame " << frame;
        }
        Frame();
        EXPECT_EQ(Game().GetEngineStatus()->bPaused != FALSE, row.paused);
        Input()->ReplayInput(FALSE);
    }
}
