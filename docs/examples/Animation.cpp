// Animations: the gem package's sequence 1 (blue, then green) looping on the game clock,
// sequence 0 played once, and a pool of two one-shot effects. Checks which picture each frame
// shows, read back from the scene, that the counted play stops by itself, that the pool drops
// a third effect while two run and reuses a slot once an effect has ended.
#include "ExampleHost.h"

#include <string>

class CSparkleGame : public CGameEngine {
  public:
    std::string colours;     // per frame: 'b' or 'g', the looping animation's pixel
    DWORD onceStoppedAt = 0; // the game update in which the counted play stopped
    std::string effects;     // per effect position, 'x' where one was drawn

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
            m_effects.Create(rs, L"../data/Gems", 2); // a pool of two animations of sequence 0
            break;
        // [/create]
        case EMSG_EG_GAME_UPDATE: {
            const DWORD tick = m_tick = GetEngineStatus()->nGameUpdateCount + 1; // counts completed ones
            if (m_once && !m_once->IsPlaying() && !onceStoppedAt)
                onceStoppedAt = tick;
            // [pool]
            if (tick == 1) {
                m_effects.Play(150, 150);
                m_effects.Play(200, 150);
                m_effects.Play(250, 150); // dropped: both animations are running
            } else if (tick == 10) {
                m_effects.PlayCenter(280, 200); // (272, 192): both ended after one pass
            }
            // [/pool]
            break;
        }
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
            m_effects.Draw(0, 0);       // every running effect, offset by (0, 0)
            rs->EndSprite();
            // [/draw]
            colours += (ReadScenePixel(rs, 50, 50) & 0xFF) ? 'b' : 'g';
            if (m_tick == 1 || m_tick == 10)
                for (POINT at : {POINT{158, 158}, POINT{208, 158}, POINT{258, 158}, POINT{280, 200}})
                    effects += (ReadScenePixel(rs, at.x, at.y) & 0xFFFFFF) ? 'x' : '.';
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
    CAnimationCtrl m_effects; // destroyed before the engine's render system
    DWORD m_tick = 0;
};

int main()
{
    CSparkleGame game;
    CExampleHost host;
    if (!host.Start(game) || !host.RunUntil(12))
        return 1;
    host.Close();
    std::printf("frames: %s, counted play stopped in update %u, effects %s\n", game.colours.c_str(), game.onceStoppedAt,
                game.effects.c_str());
    // FrameDelay=2: a picture shows for three ticks; Play counts as the first picture's first.
    int failed = Check(game.colours == "bbgggbbbgggb", "blue and green for three ticks each");
    failed += Check(game.onceStoppedAt == 6, "a pass of two pictures ends on tick 6");
    // At tick 1 the first two of the three positions, at tick 10 the fourth.
    failed += Check(game.effects == "xx.....x", "two effects of three, later one in a reused slot");
    return failed;
}
