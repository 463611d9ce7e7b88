// Device loss: a picture the game paints itself (a render target) must be painted again after
// the device is reset. The platform's testing control makes one present report a lost
// device, as a screen-mode change or a locked desktop would. Checks that the loss and the
// reset were announced and that the picture shows its colour again afterwards.
#include "ExampleHost.h"

#include <vireo/platform/D3D9Testing.h>

class CPaintGame : public CGameEngine {
  public:
    int lost = 0, reset = 0;
    DWORD before = 0, after = 0; // the picture's pixel before the loss and at the end

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        CRenderSystem* rs = GetRenderSystem();
        switch (msg) {
        // [paint]
        case EMSG_EG_INIT:
            m_canvas = rs->CreateDynamicPicture(64, 64);
            m_canvas->ColorFill(nullptr, 0xFF00A0FF);
            break;
        case EMSG_RS_DEVICE_LOST: // frames are skipped until the device can be reset
            ++lost;
            break;
        case EMSG_RS_DEVICE_RESET: // pictures from files come back by themselves, painted ones not
            ++reset;
            m_canvas->ColorFill(nullptr, 0xFF00A0FF);
            break;
        // [/paint]
        case EMSG_RS_RENDER_BEGIN:
            rs->ClearCanvas(0xFF000000);
            break;
        case EMSG_RS_RENDER:
            rs->BeginSprite();
            m_canvas->Draw(8, 8);
            rs->EndSprite();
            (reset ? after : before) = ReadScenePixel(rs, 40, 40);
            break;
        case EMSG_EG_DESTROY:
            rs->ReleasePicture(&m_canvas);
            break;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    CPicture* m_canvas = nullptr;
};

int main()
{
    CPaintGame game;
    CExampleHost host;
    if (!host.Start(game) || !host.RunUntil(5))
        return 1;
    vireo::testing::LoseDeviceOnNextPresent();
    host.RunUntil(12);
    host.Close();
    int failed = Check(game.lost == 1 && game.reset == 1, "one loss and one reset announced");
    failed += Check(game.before == 0xFF00A0FF, "the painted picture before the loss");
    failed += Check(game.after == 0xFF00A0FF, "painted again after the reset");
    return failed;
}
