// Animations: the gem package's sequence 1 (blue, then green) looping on the game clock, and
// sequence 0 played once. Checks which picture each frame shows, read back from the scene,
// and that the counted play stops by itself.
#include "ExampleHost.h"

#include <string>

class CSparkleGame : public CGameEngine {
  public:
    std::string colours;     // per frame: 'b' or 'g', the looping animation's pixel
    DWORD onceStoppedAt = 0; // the game update in which the counted play stopped

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        CRenderSystem* rs = GetRenderSystem();
        switch (msg) {
        // [create]
        case EMSG_EG_INIT:
            m_loop = rs->CreateAnimation(L"../data/Gems", 1); // sequence 1 of Desc.ini's [Animation]
            m_once = rs->CreateAnimation(L"../data/Gems", 0); // sequence 0: every picture in order
            if (m_loop && m_once) {
                m_loop->Play(0); // 0: forever
                m_once->Play(1); // one counted play, then it stops by itself
            }
            break;
        // [/create]
        case EMSG_EG_GAME_UPDATE:
            if (m_once && !m_once->IsPlaying() && !onceStoppedAt)
                onceStoppedAt = GetEngineStatus()->nGameUpdateCount + 1; // counts completed ones
            break;
        case EMSG_RS_RENDER_BEGIN:
            rs->ClearCanvas(0xFF000000);
            break;
        case EMSG_RS_RENDER:
            if (!m_loop)
                break;
            // [draw]
            rs->BeginSprite();
            m_loop->DrawCenter(50, 50); // the current frame; the render system advanced it
            m_once->Draw(100, 50);      // draws nothing once stopped
            rs->EndSprite();
            // [/draw]
            colours += (ReadScenePixel(rs, 50, 50) & 0xFF) ? 'b' : 'g';
            break;
        // [release]
        case EMSG_EG_DESTROY:
            rs->ReleaseAnimation(m_loop); // the package goes with its last user
            rs->ReleaseAnimation(m_once);
            break;
            // [/release]
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    CAnimation* m_loop = nullptr;
    CAnimation* m_once = nullptr;
};

int main()
{
    CSparkleGame game;
    CExampleHost host;
    if (!host.Start(game) || !host.RunUntil(12))
        return 1;
    host.Close();
    std::printf("frames: %s, counted play stopped in update %u\n", game.colours.c_str(), game.onceStoppedAt);
    // FrameDelay=2: a picture shows for three ticks; Play counts as the first picture's first.
    int failed = Check(game.colours == "bbgggbbbgggb", "blue and green for three ticks each");
    failed += Check(game.onceStoppedAt == 6, "a pass of two pictures ends on tick 6");
    return failed;
}
