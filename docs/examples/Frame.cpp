// The frame and its messages: a game that notes the engine messages of one frame and counts
// its updates while it pauses itself for ten frames. Checks the order of a frame and that
// game updates stop during the pause while UI updates go on.
#include "ExampleHost.h"

#include <vector>

// [game]
class CCountingGame : public CGameEngine {
  public:
    std::vector<UINT> frameMessages; // the engine messages of the third frame, in order
    DWORD uiUpdates = 0, gameUpdates = 0, pauseChanges = 0;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg >= EMSG_EG_INIT && msg <= EMSG_UI_LAST && GetEngineStatus()->nUIUpdateCount == 2)
            frameMessages.push_back(msg);
        switch (msg) {
        case EMSG_EG_UI_UPDATE: // every frame, paused or not
            if (++uiUpdates == 10)
                PauseGame(TRUE); // from the next frame on
            else if (uiUpdates == 20)
                PauseGame(FALSE);
            break;
        case EMSG_EG_GAME_UPDATE: // only while not paused
            ++gameUpdates;
            break;
        case EMSG_EG_PAUSE_CHANGE:
            ++pauseChanges;
            break;
        case EMSG_RS_RENDER_BEGIN:
            GetRenderSystem()->ClearCanvas();
            break;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }
};
// [/game]

int main()
{
    CCountingGame game;
    CExampleHost host;
    if (!host.Start(game) || !host.RunUntil(30))
        return 1;
    host.Close();

    const std::vector<UINT> order = {EMSG_EG_FRAME_BEGIN,      EMSG_IS_UI_MOUSE_INPUT,      EMSG_IS_UI_KEYBOARD_INPUT,
                                     EMSG_IS_GAME_MOUSE_INPUT, EMSG_IS_GAME_KEYBOARD_INPUT, EMSG_EG_UI_UPDATE,
                                     EMSG_EG_GAME_UPDATE,      EMSG_RS_RENDER_BEGIN,        EMSG_RS_RENDER,
                                     EMSG_EG_FRAME_END};
    int failed = Check(game.frameMessages == order, "one frame's messages in order");
    failed += Check(game.uiUpdates == 30, "30 UI updates");
    failed += Check(game.gameUpdates == 20, "20 game updates: 10 frames were paused");
    failed += Check(game.pauseChanges == 2, "two pause changes announced");
    failed += Check(game.GetEngineStatus()->nGameUpdateCount == 20, "the status counts the same");
    return failed;
}
