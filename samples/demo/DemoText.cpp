// Draws the demo's text panel and frame-rate line. Text that does not fit its box is clipped
// by the font, so the panel's size is chosen for the text below at the panel font's height.
#include "DemoText.h"

#include <cstdio>

namespace {

constexpr int kPanelWidth = 480;
constexpr int kPanelHeight = 96;
constexpr int kMargin = 16;
constexpr DWORD kPanelColor = 0xFFF0F0E0;
constexpr DWORD kFpsColor = 0xFFFFE060;

const wchar_t kPanelText[] = L"Vireo Engine draws text through the same sprite batch as its pictures.\n"
                             L"文字和图片共用一个精灵批次，按绘制的先后顺序叠放。";

} // namespace

void CDemoText::Load(CRenderSystem* render)
{
    if (!m_pPanelFont)
        m_pPanelFont = render->CreateEngineFont(L"Tahoma", 18, 0, 400);
}

void CDemoText::Update(const SEngineStatus* status)
{
    wchar_t line[32];
    std::swprintf(line, sizeof line / sizeof line[0], L"FPS: %u", static_cast<unsigned>(status->wFPS));
    m_strFps = line;
}

void CDemoText::Draw(CRenderSystem* render) const
{
    // The frame rate in the bottom-left corner (the top row belongs to the picture gallery):
    // a box of the text's own size.
    const SIZE scene = render->GetSceneSize();
    if (CEngineFont* font = render->GetEngineFont())
        font->Draw(m_strFps.c_str(), kMargin, scene.cy - kMargin - font->GetFontSize().cy, 0, 0, kFpsColor,
                   DT_LEFT | DT_SINGLELINE);

    // The panel at the bottom centre: centred across, wrapped at the box, centred down.
    if (m_pPanelFont) {
        const int x = (scene.cx - kPanelWidth) / 2;
        const int y = scene.cy - kPanelHeight - kMargin;
        m_pPanelFont->Draw(kPanelText, x, y, kPanelWidth, kPanelHeight, kPanelColor,
                           DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    }
}

void CDemoText::Release(CRenderSystem* render)
{
    render->ReleaseEngineFont(&m_pPanelFont);
}
