// The demo's picture gallery: every draw of CPicture on the shipped pictures, a dynamic
// canvas striped with ColorFill, and the screen capture through SaveSceneToFile. Layout
// and animation only; loading rules and drawing are the engine's.
#include "DemoPictures.h"

#include <vireo/support.h>

#include <cmath>

namespace {

constexpr int kCanvasWidth = 160;
constexpr int kCanvasHeight = 64;
constexpr int kStripe = 8;

} // namespace

CPicture* CDemoPictures::LoadPicture(const std::wstring& folder, const wchar_t* name)
{
    const std::wstring path = folder + L"/pictures/" + name;
    CPicture* picture = m_pRender->CreatePicture(path.c_str(), 0);
    if (!picture || picture->Width() == 0)
        WriteLog(2, L"Demo: picture '%s' did not load; it draws nothing", path.c_str());
    return picture;
}

BOOL CDemoPictures::Load(CRenderSystem* render, const std::wstring& dataFolder)
{
    m_pRender = render;
    m_pCrate = LoadPicture(dataFolder, L"crate.png");
    m_pLeaf = LoadPicture(dataFolder, L"leaf.png");
    m_pGlowMask = LoadPicture(dataFolder, L"glow_mask.png");
    m_pHills = LoadPicture(dataFolder, L"hills.png");
    m_pCanvas = render->CreateDynamicPicture(kCanvasWidth, kCanvasHeight);
    PaintCanvas();
    for (const CPicture* picture : {m_pCrate, m_pLeaf, m_pGlowMask, m_pHills})
        if (!picture || picture->Width() == 0)
            return FALSE;
    return TRUE;
}

void CDemoPictures::Release()
{
    if (!m_pRender)
        return;
    for (CPicture** picture : {&m_pCrate, &m_pLeaf, &m_pGlowMask, &m_pHills, &m_pCanvas})
        m_pRender->ReleasePicture(picture);
    m_pRender = nullptr;
}

void CDemoPictures::Update(DWORD frame)
{
    m_nFrame = frame;
    PaintCanvas();
}

void CDemoPictures::OnDeviceReset()
{
    // The canvas's render target was made again, empty; paint it before the next frame.
    PaintCanvas();
    WriteLog(1, L"Demo: canvas repainted after the device reset");
}

void CDemoPictures::PaintCanvas()
{
    if (!m_pCanvas)
        return;
    // Diagonal-looking stripes that scroll: each column band is filled with a colour chosen
    // by its position and the frame, so the picture changes every frame.
    static const DWORD colours[] = {0xFF1E88E5, 0xFFFDD835, 0xFF43A047, 0xFFE53935};
    for (int x = 0; x < kCanvasWidth; x += kStripe) {
        const DWORD colour = colours[((x / kStripe) + m_nFrame / 4) % 4];
        const RECT band{x, 0, x + kStripe, kCanvasHeight};
        if (FAILED(m_pCanvas->ColorFill(&band, colour)))
            return; // lost device: the reset repaints it
    }
    // A dark frame around it shows the clamping of a rectangle that reaches past the edge.
    const RECT top{-10, -10, kCanvasWidth + 10, 2};
    const RECT bottom{-10, kCanvasHeight - 2, kCanvasWidth + 10, kCanvasHeight + 10};
    m_pCanvas->ColorFill(&top, 0xFF202020);
    m_pCanvas->ColorFill(&bottom, 0xFF202020);
    ++m_nRepaints;
}

void CDemoPictures::DrawBackdrop()
{
    if (!m_pRender || !m_pHills)
        return;
    const SIZE scene = m_pRender->GetSceneSize();
    m_pRender->BeginSprite();
    // Stretched: the 128 x 64 strip fills the lower third of the scene.
    m_pHills->DrawStretch(0, scene.cy - scene.cy / 3, scene.cx, scene.cy / 3, COORD_LEFTTOP);
    m_pRender->EndSprite();
}

void CDemoPictures::Draw()
{
    if (!m_pRender)
        return;
    const float t = static_cast<float>(m_nFrame);
    m_pRender->BeginSprite();
    // Plain: top-left at the point, texel for texel.
    m_pCrate->Draw(POINT{16, 16});
    // Centred on the point.
    m_pLeaf->DrawCenter(128, 48);
    // Stretched about its centre, breathing between 40 and 72 pixels, proportions kept.
    const int side = 56 + static_cast<int>(16.0f * std::sin(t * 0.05f));
    m_pCrate->DrawStretch(224, 52, side, -1, COORD_CENTER);
    // Rotating anticlockwise about its own middle.
    m_pLeaf->DrawRotation(296, 16, t * 0.03f);
    // Masked: the crate seen through the round glow.
    m_pCrate->DrawWithMask(m_pGlowMask, 384, 16);
    // Half transparent, in its own colours.
    const BYTE half = 128;
    m_pLeaf->DrawCenter(496, 48, nullptr, &half);
    // Tinted: the colour cycles through the hues and multiplies the picture's.
    const auto wave = [t](float phase) { return static_cast<DWORD>(160 + 95 * std::sin(t * 0.04f + phase)); };
    const DWORD tint = wave(0.0f) << 16 | wave(2.1f) << 8 | wave(4.2f);
    m_pCrate->Draw(560, 16, nullptr, nullptr, &tint);
    // Washed toward white: under ADDSMOOTH the colour is added, black leaves it as it is.
    m_pRender->SetPictureColorOP(D3DTOP_ADDSMOOTH);
    const DWORD wash = 0x606060;
    m_pCrate->Draw(640, 16, nullptr, nullptr, &wash);
    m_pRender->SetPictureColorOP(D3DTOP_MODULATE);
    // Part of a picture: the leaf's upper half, through a source rectangle.
    const RECT upper{0, 0, 64, 32};
    m_pLeaf->Draw(720, 16, &upper);
    // The dynamic canvas.
    if (m_pCanvas)
        m_pCanvas->Draw(POINT{16, 96});
    m_pRender->EndSprite();
}

BOOL CDemoPictures::CaptureIfRequested()
{
    if (!m_bCaptureWanted || !m_pRender)
        return FALSE;
    m_bCaptureWanted = FALSE;
    if (!m_pRender->SaveSceneToFile(kCaptureFile, nullptr)) {
        WriteLog(2, L"Demo: the screen capture could not be written");
        return FALSE;
    }
    ++m_nCaptures;
    WriteLog(1, L"Demo: screen capture written to %s", kCaptureFile);
    return TRUE;
}
