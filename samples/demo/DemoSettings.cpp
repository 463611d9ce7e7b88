// The settings dialog: its layout, F2, and what each control does when it is released.
// The mute check boxes switch the sound system's effect and music pools; the name goes into
// the window's title when the dialog closes.
#include "DemoSettings.h"

#include <vireo/support.h>

namespace {

enum : UINT {
    kTitle = 1,
    kMuteEffects,
    kMuteMusic,
    kNameLabel,
    kName,
    kPause,
    kClose,
};
const tagSIZE4 kEditBorder{3, 3, 3, 3}; // the edit frame's corners and edges

} // namespace

void CDemoSettings::Create(CGameEngine* engine, const std::wstring& dataFolder)
{
    const std::wstring gui = dataFolder + L"/gui/";
    const std::wstring checkBox = gui + L"checkbox", button = gui + L"button";
    m_pDialog = std::make_unique<CGDialog>();
    m_pDialog->Create(engine->GetMainGWnd(), 100, 0, 0, (gui + L"dialog").c_str(), 0, 0);
    m_pDialog->LockPosition(FALSE);
    // The labels are disabled: they still draw, but a press on them reaches the dialog, so the
    // title band drags the dialog as a player expects.
    m_pDialog->AddCtrl(kTitle, GWT_STATIC, 14, 4, nullptr, 0, 120, 26)->SetWindowText(L"Settings  (F2)");
    m_pDialog->AddCtrl(kMuteEffects, GWT_CHECKBOX, 60, 44, checkBox.c_str())->SetWindowText(L"Mute sound effects");
    m_pDialog->AddCtrl(kMuteMusic, GWT_CHECKBOX, 60, 78, checkBox.c_str())->SetWindowText(L"Mute music");
    m_pDialog->AddCtrl(kNameLabel, GWT_STATIC, 24, 120, nullptr, 0, 90, 26)->SetWindowText(L"Player name");
    m_pDialog->GetCtrl(kTitle)->EnableWindow(FALSE);
    m_pDialog->GetCtrl(kNameLabel)->EnableWindow(FALSE);
    m_pDialog->AddCtrl(kName, GWT_EDIT, 114, 120, (gui + L"edit").c_str(), 0, 180, 26, &kEditBorder)
        ->SetWindowText(m_strName.c_str());
    m_pDialog->AddCtrl(kPause, GWT_BUTTON, 40, 180, button.c_str())->SetWindowText(L"Pause");
    m_pDialog->AddCtrl(kClose, GWT_BUTTON, 176, 180, button.c_str(), GWS_DEFBUTTON)->SetWindowText(L"Close");
    m_pDialog->ShowWindow(SW_HIDE);
    m_pDialog->CenterWindow();
}

void CDemoSettings::OnUiKeyboard(CGameEngine* engine)
{
    if (!m_pDialog || engine->GetInputSystem()->CheckKeyEvent(DIK_F2) != KS_DOWN)
        return;
    if (m_pDialog->IsVisible()) {
        Close(engine);
        return;
    }
    m_pDialog->ShowWindow(SW_SHOW);
    m_pDialog->BringWindowToTop();
    m_pDialog->GetCtrl(kName)->SetFocus();
}

void CDemoSettings::OnButtonUp(CGameEngine* engine, UINT id)
{
    if (!m_pDialog)
        return;
    const auto checked = [this](UINT box) { return static_cast<CGButton*>(m_pDialog->GetCtrl(box))->GetCheck() != 0; };
    switch (id) {
    case kMuteEffects:
        engine->GetSoundSystem()->MuteEffect(checked(kMuteEffects));
        WriteLog(1, L"Demo: sound effects %s", checked(kMuteEffects) ? L"muted" : L"on");
        break;
    case kMuteMusic:
        engine->GetSoundSystem()->MuteMusic(checked(kMuteMusic));
        WriteLog(1, L"Demo: music %s", checked(kMuteMusic) ? L"muted" : L"on");
        break;
    case kPause:
        engine->PauseGame(!engine->GetEngineStatus()->bPaused);
        break;
    case kClose:
        Close(engine);
        break;
    default:
        break;
    }
}

void CDemoSettings::OnPauseChange(BOOL paused)
{
    if (m_pDialog)
        m_pDialog->GetCtrl(kPause)->SetWindowText(paused ? L"Resume" : L"Pause");
}

void CDemoSettings::Close(CGameEngine* engine)
{
    m_strName = m_pDialog->GetCtrl(kName)->GetWindowText();
    m_pDialog->ShowWindow(SW_HIDE);
    // Back to the game: keyboard input reaches it only while the main window has the focus.
    engine->GetMainGWnd()->SetFocus();
    const std::wstring title = L"Vireo Demo - " + m_strName;
    SetWindowTextW(engine->GetEngineParam()->hWnd, title.c_str());
    WriteLog(1, L"Demo: settings closed, player '%s'", m_strName.c_str());
}

bool CDemoSettings::HoldsMouse(CGameEngine* engine) const
{
    const CGWnd* capture = engine->GetMainGWnd() ? engine->GetMainGWnd()->GetCapture() : nullptr;
    return capture && capture != engine->GetMainGWnd();
}

bool CDemoSettings::HoldsKeyboard(CGameEngine* engine) const
{
    if (!m_pDialog || !m_pDialog->IsVisible())
        return false;
    for (const CGWnd* w = engine->GetMainGWnd()->GetFocus(); w; w = w->GetParent())
        if (w == m_pDialog.get())
            return true;
    return false;
}

void CDemoSettings::Destroy()
{
    m_pDialog.reset();
}
