// The demo's settings dialog, made of the engine's GUI: check boxes to mute sound effects
// and music, an edit box for the player's name, a button that pauses the game and a default
// button that closes the dialog. F2 opens and closes it; it can be dragged by its title band
// or any other spot that is not a button, check box or edit box. It only keeps and applies
// the settings; the engine draws it with the GUI.
#pragma once

#include <vireo/engine.h>

#include <memory>
#include <string>

class CDemoSettings {
  public:
    // Builds the (hidden) dialog under the main window from the data folder's gui packages.
    void Create(CGameEngine* engine, const std::wstring& dataFolder);
    // F2 while the UI keyboard message is handled; shows or hides the dialog.
    void OnUiKeyboard(CGameEngine* engine);
    // A control's release (EMSG_UI_BUTTON_UP, wParam = control id) that reached the game.
    void OnButtonUp(CGameEngine* engine, UINT id);
    // The pause button's caption follows the game's pause state.
    void OnPauseChange(BOOL paused);
    // True while a press that began on the dialog is held: the game leaves the mouse alone.
    bool HoldsMouse(CGameEngine* engine) const;
    // True while the keyboard focus is in the shown dialog: keys typed are text, not hot keys.
    bool HoldsKeyboard(CGameEngine* engine) const;
    void Destroy();

    const std::wstring& PlayerName() const { return m_strName; }

  private:
    void Close(CGameEngine* engine);

    std::unique_ptr<CGDialog> m_pDialog;
    std::wstring m_strName = L"Player";
};
