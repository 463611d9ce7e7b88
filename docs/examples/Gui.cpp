// GUI: a dialog with an edit box and an OK button. The user is played by the platform's
// testing controls (cursor, mouse button, typed characters): click the box, type a name,
// click OK. Checks that the game got the name through the button's notification.
#include "ExampleHost.h"

#include <memory>
#include <string>
#include <vireo/platform/Testing.h>

enum : UINT { kNameDialog = 100, kName = 1, kOk = 2 };

class CNameGame : public CGameEngine {
  public:
    std::wstring name;
    bool dialogHidden = false;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        // [create]
        case EMSG_EG_INIT:
            // The game owns its dialogs, a dialog the controls it adds. A size of 0 takes the
            // size of the package's picture 0, which is also the background.
            m_dialog = std::make_unique<CGDialog>();
            m_dialog->Create(GetMainGWnd(), kNameDialog, 80, 60, L"../data/Panel", 0, 0);
            m_dialog->AddCtrl(kName, GWT_EDIT, 16, 16, nullptr, 0, 128, 24);
            m_dialog->AddCtrl(kOk, GWT_BUTTON, 48, 64, L"../data/Button", GWS_DEFBUTTON)->SetWindowText(L"OK");
            break;
        // [/create]
        // [notify]
        case EMSG_UI_BUTTON_UP: // from the button, through its dialog, when nobody consumed it
            if (wParam == kOk) {
                name = m_dialog->GetCtrl(kName)->GetWindowText();
                m_dialog->ShowWindow(SW_HIDE);
                GetMainGWnd()->SetFocus(); // keyboard input goes back to the game
                dialogHidden = !m_dialog->IsVisible();
            }
            break;
        // [/notify]
        case EMSG_RS_RENDER_BEGIN:
            GetRenderSystem()->ClearCanvas();
            break;
        case EMSG_EG_DESTROY:
            m_dialog.reset();
            break;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam); // draws the GUI over the scene
    }

  private:
    std::unique_ptr<CGDialog> m_dialog;
};

int main()
{
    namespace user = vireo::testing;
    CNameGame game;
    CExampleHost host;
    if (!host.Start(game))
        return 1;
    DWORD frame = 2;
    const auto click = [&](int x, int y) {
        user::SetCursorClientPos(host.Window(), x, y);
        host.RunUntil(frame += 2);
        user::InjectMouseButton(0, true);
        host.RunUntil(frame += 2);
        user::InjectMouseButton(0, false);
        host.RunUntil(frame += 2);
    };
    host.RunUntil(frame);
    click(80 + 16 + 10, 60 + 16 + 10); // into the edit box: it takes the focus
    for (wchar_t c : std::wstring(L"Ada"))
        user::InjectChar(host.Window(), c);
    host.RunUntil(frame += 2);
    click(80 + 48 + 10, 60 + 64 + 10); // OK
    host.Close();
    int failed = Check(game.name == L"Ada", "the name typed into the edit box reached the game");
    failed += Check(game.dialogHidden, "OK closed the dialog");
    return failed;
}
