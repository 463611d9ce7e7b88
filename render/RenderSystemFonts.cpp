// CRenderSystem's font registry: CreateEngineFont and ReleaseEngineFont, and the connection
// of the font layer's face-match lines to the engine log. Fonts are not shared: every call
// makes a font of its own. Fonts' device-loss walk is in RenderSystemDeviceLoss.cpp.
#include "render/RenderSystemFonts.h"

#include <vireo/engine.h>
#include <vireo/support.h>

namespace vireo {

namespace {
void WriteFontLine(void*, int level, const wchar_t* text)
{
    WriteLog(level, L"%s", text);
}
} // namespace

void ConnectFontLog()
{
    vireo::font::SetFontLogHook(&WriteFontLine, nullptr);
}

} // namespace vireo

CEngineFont* CRenderSystem::CreateEngineFont(const wchar_t* face, int height, int width, int weight)
{
    auto* font = new CEngineFont();
    // A font whose D3DX object could not be made is kept all the same: it draws nothing.
    font->Create(this, face, height, width, weight);
    m_Fonts.insert(font);
    return font;
}

void CRenderSystem::ReleaseEngineFont(CEngineFont** ppFont)
{
    if (!ppFont || !*ppFont)
        return;
    auto found = m_Fonts.find(*ppFont);
    if (found == m_Fonts.end())
        return;
    m_Fonts.erase(found);
    if (m_pEngineFont == *ppFont)
        m_pEngineFont = nullptr;
    delete *ppFont;
    *ppFont = nullptr;
}
