// A registry of live text device contexts, and GetTextExtentPoint32W over it.
#include "platform/gfx/font/TextDC.h"

#include <vireo/platform/Gdi.h>

#include <unordered_map>

namespace vireo::font {

namespace {

struct STextDC {
    CTextFont* font;
};

std::unordered_map<HDC, STextDC*>& LiveContexts()
{
    static std::unordered_map<HDC, STextDC*> live;
    return live;
}

} // namespace

HDC CreateTextDC(CTextFont* font)
{
    if (!font)
        return nullptr;
    auto* dc = new STextDC{font};
    HDC handle = reinterpret_cast<HDC>(dc);
    LiveContexts()[handle] = dc;
    return handle;
}

void DeleteTextDC(HDC dc)
{
    auto found = LiveContexts().find(dc);
    if (found == LiveContexts().end())
        return;
    delete found->second;
    LiveContexts().erase(found);
}

CTextFont* FontOfTextDC(HDC dc)
{
    auto found = LiveContexts().find(dc);
    return found == LiveContexts().end() ? nullptr : found->second->font;
}

} // namespace vireo::font

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size)
{
    vireo::font::CTextFont* font = vireo::font::FontOfTextDC(hdc);
    if (!font || !size || count < 0 || (!text && count > 0))
        return FALSE;
    *size = font->Measure(text, count);
    return TRUE;
}
