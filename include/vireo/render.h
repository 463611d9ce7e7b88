// The render system and the 2D objects it makes: CRenderSystem (device, frame, sprite batch,
// primitives, texture pool, object registries), CPicture (one drawable image) and CEngineFont
// (text through the same sprite batch). Packages and animations are in resource.h; the
// camera, geometry and meshes in scene3d.h.
#pragma once

#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3DX9.h>
#include <vireo/platform/D3DX9Font.h>
#include <vireo/types.h>

#include <list>
#include <map>
#include <set>
#include <string>

class CRenderSystem;
class CResource;
class CAnimation;
class CCamera;
class CGeometry;
class CMesh;

// How DrawStretch / DrawStretchEx read their point. Any value other than COORD_CENTER acts
// as COORD_LEFTTOP.
enum COORD_DESC { COORD_LEFTTOP = 0, COORD_CENTER = 1 };

// Which fields of SDrawParam count besides fRotation and bCenter.
constexpr DWORD DPF_ALPHA = 0x1; // the top byte of dwColor
constexpr DWORD DPF_COLOR = 0x2; // the low 24 bits of dwColor
constexpr DWORD DPF_RECT = 0x4;  // rcSrc

// A drawing parameter block that callers (and animations) keep between draws.
struct SDrawParam {
    float fRotation; // radians; 0 = none
    BOOL bCenter;    // the position is the picture's centre
    DWORD dwColor;   // ARGB
    DWORD dwFlags;   // DPF_*
    RECT rcSrc;
};

// Fills a zeroed record from the draw family's three optional pointers.
void MakeDrawParam(SDrawParam* p, const RECT* pSrcRect, const BYTE* pAlpha, const DWORD* pColor);

// One drawable image: a pooled texture and its size, drawn through the render system's
// sprite batch. Made and destroyed only by the render system (and packages through it).
// Optional pointers of the draw family: source rectangle (null = whole picture), alpha
// (null = opaque), colour (low 24 bits; null = the render system's blend colour).
class CPicture {
  public:
    virtual ~CPicture();
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    IDirect3DTexture9* GetTexture() { return m_pTexture; }

    void Draw(POINT pt) const;
    void Draw(int x, int y, const RECT* pSrcRect = nullptr, const BYTE* pAlpha = nullptr,
              const DWORD* pColor = nullptr) const;
    void Draw(const SDrawParam* pParam, int x, int y) const;
    void DrawCenter(int x, int y, const RECT* pSrcRect = nullptr, const BYTE* pAlpha = nullptr,
                    const DWORD* pColor = nullptr) const;
    void DrawStretch(int x, int y, int cx, int cy, COORD_DESC cd = COORD_LEFTTOP) const;
    void DrawStretch(int x, int y, int cx, int cy, const RECT* pSrcRect) const;
    void DrawStretchEx(int x, int y, int cx, int cy, const RECT* pSrcRect, COORD_DESC cd) const;
    void DrawRotation(int x, int y, float fAngle, const RECT* pSrcRect = nullptr, const BYTE* pAlpha = nullptr,
                      const DWORD* pColor = nullptr) const;
    void MakeRotation(D3DXMATRIX* pOut, float fAngle, int x, int y) const;
    // The one operation that draws; every other draw ends here.
    void DrawTransform(int x, int y, const D3DXMATRIX* pTransform, const RECT* pSrcRect, const BYTE* pAlpha,
                       const DWORD* pColor) const;
    void DrawWithMask(CPicture* pMask, int x, int y);
    // Render-target (dynamic) pictures only; E_FAIL while the device is lost.
    HRESULT ColorFill(const RECT* pRect, DWORD color);

    // ---- internal: render system and packages ------------------------------------------
    explicit CPicture(CRenderSystem* pRenderSystem);
    BOOL Create(CRenderSystem* rs, IDirect3DTexture9* texture, const wchar_t* key, DWORD usage, D3DCOLOR colorKey);
    void CreateDynamic(UINT width, UINT height);
    IDirect3DTexture9* LoadTexture(const void* data, DWORD size);
    void OnLostDevice();
    void OnResetDevice();
    const std::wstring& GetKey() const { return m_strKey; }
    BOOL IsLost() const { return m_bLost; }

  private:
    std::wstring m_strKey;
    IDirect3DTexture9* m_pTexture = nullptr;
    CRenderSystem* m_pRenderSystem = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    DWORD m_dwColorKey = 0;
    DWORD m_dwUsage = 0;
    BOOL m_bLost = FALSE;
};

// Text drawn through a D3DX font and the render system's sprite batch, so text and
// pictures share one drawing order. Made and destroyed only by the render system.
class CEngineFont {
  public:
    // Box (x, y, cx, cy); a side of 0 takes the text's measured extent. DT_* format flags.
    void Draw(const wchar_t* text, int x, int y, int cx, int cy, DWORD color, DWORD format);
    // Width and height of the font object's description.
    SIZE GetFontSize();
    ID3DXFont* GetD3DXFont() { return m_pD3DXFont; }

    // ---- internal: render system ---------------------------------------------------------
    void OnLostDevice();
    void OnResetDevice();

  private:
    friend class CRenderSystem;
    CEngineFont();
    ~CEngineFont();
    CEngineFont(const CEngineFont&) = delete;
    CEngineFont& operator=(const CEngineFont&) = delete;
    BOOL Create(CRenderSystem* rs, const wchar_t* face, int height, int width, int weight);

    CRenderSystem* m_pRenderSystem = nullptr;
    ID3DXFont* m_pD3DXFont = nullptr;
    D3DXFONT_DESCW m_Desc{};
};

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
    // Stage 0's colour operation (flushing first when it changes); the blend colour becomes
    // black for D3DTOP_ADDSMOOTH, white for anything else.
    void SetPictureColorOP(DWORD op);
    // Sets a stage state only when it differs; never flushes.
    void SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);

    // ---- 2D primitives -------------------------------------------------------------------
    HRESULT BeginLine();
    HRESULT EndLine();
    BOOL DrawLine(POINT from, POINT to, DWORD color);
    // Outline inside the rectangle (right and bottom exclusive); FALSE below 2 x 2.
    BOOL DrawRect(const RECT* pRect, DWORD color);
    // Writes the colour into the back buffer unblended, clipped to the scene.
    BOOL FillRect(const RECT* pRect, DWORD color);
    // Always a BMP, whatever the extension; pRect null = the whole back buffer.
    BOOL SaveSceneToFile(const wchar_t* path, RECT* pRect);

    // ---- object registry -----------------------------------------------------------------
    // A picture is returned even when its image could not be loaded (then 0 x 0).
    CPicture* CreatePicture(const wchar_t* path, DWORD colorKey);
    CPicture* CreatePicture(void* data, DWORD size, DWORD colorKey);
    CPicture* CreateDynamicPicture(UINT width, UINT height);
    CPicture* CreateDynamicPicture(SIZE size);
    void ReleasePicture(CPicture** ppPicture);
    // Shared by exact path; null when the package cannot be loaded.
    CResource* CreateResource(const wchar_t* path);
    void ReleaseResource(CResource* pResource);
    CAnimation* CreateAnimation(const wchar_t* path, int sequence);
    void ReleaseAnimation(const CAnimation* pAnimation);
    void StopAllAnimation();
    CEngineFont* CreateEngineFont(const wchar_t* face, int height, int width, int weight);
    void ReleaseEngineFont(CEngineFont** ppFont);
    // Type 1 is a CCube; any other type gives null.
    CGeometry* CreateGeometry(int type);
    void ReleaseGeometry(CGeometry* pGeometry);
    // Shared by exact folder path; returned even when its .x file could not be loaded (then
    // it draws nothing).
    CMesh* CreateMesh(const wchar_t* folder);
    void ReleaseMesh(CMesh** ppMesh);

    // ---- accessors -----------------------------------------------------------------------
    IDirect3DDevice9* GetD3DDevice() { return m_pD3DDevice; }
    // The one camera, set up by Init with the scene's aspect ratio.
    CCamera* GetCamera() { return m_pCamera; }
    ID3DXSprite* GetD3DXSprite() { return m_pD3DXSprite; }
    ID3DXLine* GetD3DXLine() { return m_pD3DXLine; }
    // The default font made by Init (Times New Roman, height 17).
    CEngineFont* GetEngineFont() { return m_pEngineFont; }
    BOOL IsSpriteBegun() const { return m_bSpriteBegun; }
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

    // ---- internal: texture pool ----------------------------------------------------------
    // One entry per key (a file path, "Picture 0x%08x", "DynamicPicture ID=%d" or a package
    // key), shared by every picture that names it.
    struct STexture {
        IDirect3DTexture9* pTexture = nullptr;
        int nRefCount = 0;
        std::wstring strPath;
    };
    // Image bytes in memory, or with no data and size 0 an empty texture.
    IDirect3DTexture9* CreateTexture(const void* data, DWORD size, const wchar_t* key, UINT width, UINT height,
                                     DWORD usage, D3DCOLOR colorKey);
    IDirect3DTexture9* CreateTexture(const wchar_t* path, UINT width, UINT height, DWORD usage, D3DCOLOR colorKey);
    IDirect3DTexture9* RestoreTexture(const void* data, DWORD size, const wchar_t* key, UINT width, UINT height,
                                      DWORD usage, D3DCOLOR colorKey);
    IDirect3DTexture9* RecreateTexture(const wchar_t* key, UINT width, UINT height, DWORD usage);
    void ReleaseTexture(IDirect3DTexture9** ppTexture);
    void ReleaseTextureForced(IDirect3DTexture9* texture);
    // For diagnostics and tests: the entry of a key (null when not pooled) and the entry count.
    const STexture* FindTexture(const wchar_t* key) const;
    int GetTexturePoolSize() const { return static_cast<int>(m_TexturePool.size()); }

    // ---- internal: registry --------------------------------------------------------------
    // An empty picture registered with this render system (packages fill it).
    CPicture* NewPicture();

  private:
    // Everything the system holds, released in the order the device needs; from the
    // destructor.
    void ReleaseAll();

    IDirect3DDevice9* m_pD3DDevice = nullptr;
    // The parameters of CreateDevice, reused unchanged by every reset.
    D3DPRESENT_PARAMETERS* m_pD3DPP = nullptr;
    ID3DXSprite* m_pD3DXSprite = nullptr;
    ID3DXLine* m_pD3DXLine = nullptr;
    CEngineFont* m_pEngineFont = nullptr;
    CCamera* m_pCamera = nullptr;
    BOOL m_bDeviceLost = FALSE;
    BOOL m_bSpriteBegun = FALSE;
    SIZE m_sizeScene{0, 0};
    D3DXCOLOR m_colorBlend{1.0f, 1.0f, 1.0f, 1.0f};

    // Keys compare ordinally and case-sensitively: two spellings of one path are two entries.
    std::map<std::wstring, STexture> m_TexturePool;
    std::map<CPicture*, int> m_Pictures; // picture -> nRefCount (always 1)
    struct SResourceEntry {
        CResource* pResource = nullptr;
        int nRefCount = 0;
    };
    std::map<std::wstring, SResourceEntry> m_Resources; // by exact package path
    std::set<CEngineFont*> m_Fonts;
    std::list<CAnimation*> m_Animations;    // creation order
    std::map<CGeometry*, int> m_Geometries; // geometry -> nRefCount (always 1)
    struct SMeshEntry {
        CMesh* pMesh = nullptr;
        int nRefCount = 0;
        std::wstring strPath;
    };
    std::map<std::wstring, SMeshEntry> m_Meshes; // by exact folder path
    // Last TestCooperativeLevel result that was logged, so a long loss writes one line.
    HRESULT m_hrLastCooperative = 0;
};
