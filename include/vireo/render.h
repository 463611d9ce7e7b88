// The render system: one per engine, started and driven through the CEngineSystem protocol.
// It owns the Direct3D device, the sprite and line objects and the presentation parameters,
// runs the frame's scene, clears the canvas and carries the device through loss and reset.
// Pictures, fonts, the camera and the object registries join this class with their own work.
#pragma once

#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3DX9.h>
#include <vireo/types.h>

class CRenderSystem : public CEngineSystem {
  public:
    CRenderSystem();
    ~CRenderSystem() override;

    // ---- CEngineSystem slots -------------------------------------------------------------
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Device (HAL, else REF), sprite and line; FALSE after a box when no device can be made.
    BOOL Init() override;
    // TRUE unless the device is lost and could not be reset this frame.
    BOOL CanUpdate() override;
    // One frame: EMSG_RS_RENDER_BEGIN, the scene with EMSG_RS_RENDER, present. Nothing while
    // the window is minimised.
    void Update() override;

    // ---- canvas --------------------------------------------------------------------------
    // Opaque light blue 0xFFCDECFF in debug mode, else opaque black; always S_OK.
    HRESULT ClearCanvas();
    // E_FAIL when the device refused the clear.
    HRESULT ClearCanvas(DWORD color);

    // ---- sprite batch --------------------------------------------------------------------
    // Opens the engine's one sprite batch (flags 0); the blend colour becomes white.
    HRESULT BeginSprite();
    HRESULT EndSprite();
    // Draws what the batch holds so far.
    HRESULT FlushSprite();
    D3DXCOLOR GetBlendColor() const { return m_colorBlend; }

    // ---- accessors -----------------------------------------------------------------------
    IDirect3DDevice9* GetD3DDevice() { return m_pD3DDevice; }
    ID3DXSprite* GetD3DXSprite() { return m_pD3DXSprite; }
    ID3DXLine* GetD3DXLine() { return m_pD3DXLine; }
    // Back buffer size, taken from SEngineParam.sizeScene at Init.
    SIZE GetSceneSize() const { return m_sizeScene; }

    // ---- internal: engine core and the other rendering parts -----------------------------
    // One device of this type on adapter 0; D24S8 first, then D16. Logs the attempt.
    HRESULT CreateDevice(IDirect3D9* pD3D, D3DDEVTYPE type);
    // Source-alpha blending and wrapping texture addresses, after creation and every reset.
    void SetDefaultRenderStates();
    // Resets with the stored presentation parameters; S_OK, D3DERR_DEVICELOST or E_FAIL.
    HRESULT ResetDevice();
    // Releases, then restores, every device resource before and after a reset. Both are
    // safe to repeat: a failed reset runs the whole sequence again on a later frame.
    void OnLostDevice();
    void OnResetDevice();
    // The frame's scene with the fill mode of SEngineStatus.bWireframe; EndScene presents.
    HRESULT BeginScene();
    HRESULT EndScene();
    // Advances the animations of one clock: usage 1 the UI clock, usage 0 the game clock.
    void UpdateAnimations(int usage);

  private:
    // Everything the system holds, released in the order the device needs; from the
    // destructor.
    void ReleaseAll();

    IDirect3DDevice9* m_pD3DDevice = nullptr;
    // The parameters of CreateDevice, reused unchanged by every reset.
    D3DPRESENT_PARAMETERS* m_pD3DPP = nullptr;
    ID3DXSprite* m_pD3DXSprite = nullptr;
    ID3DXLine* m_pD3DXLine = nullptr;
    // The default font (CEngineFont) and the camera (CCamera) are added here with their
    // classes; Init creates them after the line object.
    BOOL m_bDeviceLost = FALSE;
    BOOL m_bSpriteBegun = FALSE;
    SIZE m_sizeScene{0, 0};
    D3DXCOLOR m_colorBlend{1.0f, 1.0f, 1.0f, 1.0f};
    // The texture pool, the object registries and the animation list are added here with
    // pictures, packages, animations, fonts and 3D objects.
    // Last TestCooperativeLevel result that was logged, so a long loss writes one line.
    HRESULT m_hrLastCooperative = 0;
};
