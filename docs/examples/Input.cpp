// Input with recording and replay: a dot that moves right while the Right arrow is held.
// A first run records the keyboard (the key presses come from the platform's testing
// controls), a second plays the recording back with no keys pressed. Checks that the dot
// ends where it ended in the recorded run.
#include "ExampleHost.h"

#include <vireo/platform/Testing.h>

class CDotGame : public CGameEngine {
  public:
    int x = 0, presses = 0;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        CInputSystem* input = GetInputSystem();
        switch (msg) {
        // [keys]
        case EMSG_IS_GAME_KEYBOARD_INPUT: // this frame's keys, unless paused or the GUI took them
            if (input->CheckKeyEvent(DIK_RIGHT) == KS_DOWN)
                ++presses; // an event: pressed in this frame (not replayed)
            break;
        case EMSG_EG_GAME_UPDATE:
            if (input->CheckKeyState(DIK_RIGHT) == KS_DOWN)
                x += 2; // a state: held (replayed)
            break;
        // [/keys]
        case EMSG_RS_RENDER_BEGIN:
            GetRenderSystem()->ClearCanvas();
            break;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }
};

int main()
{
    CDotGame game;
    CExampleHost host;
    if (!host.Start(game))
        return 1;
    // [record]
    game.GetInputSystem()->RecordInput(TRUE, L"Run.rec"); // at game update count 0
    // [/record]
    host.RunUntil(5);
    vireo::testing::InjectKey(DIK_RIGHT, true);
    host.RunUntil(15);
    vireo::testing::InjectKey(DIK_RIGHT, false);
    host.RunUntil(30);
    game.GetInputSystem()->RecordInput(FALSE, nullptr);
    const int recordedX = game.x, recordedPresses = game.presses;

    // [replay]
    CopyFileW(L"Run.rec", L"Record.dat", FALSE); // replay always reads Record.dat
    game.SetGameUpdateCount(0);                  // both modes start at count 0
    game.GetInputSystem()->ReplayInput(TRUE);
    // [/replay]
    game.x = game.presses = 0;
    host.RunUntil(60);
    host.Close();
    std::printf("recorded x=%d, replayed x=%d\n", recordedX, game.x);
    int failed = Check(recordedX == 20 && recordedPresses == 1, "held for ten updates while recording");
    failed += Check(game.x == recordedX, "the replay moves the dot as far");
    failed += Check(game.presses == 0, "a replay gives key states, not key events");
    return failed;
}
