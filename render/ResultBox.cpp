// ShowResultBox: the plain result box of texture creation and ColorFill, formatted with the
// engine's wide printf. It does not log; its callers log what they need.
#include "render/ResultBox.h"

#include "support/WideFormat.h"

#include <vireo/platform/DxErr.h>

namespace vireo::render {

void ShowResultBox(HRESULT hr)
{
    wchar_t text[256];
    vireo::FormatWide(text, 256, L"hr=%d, err=%s", static_cast<int>(hr), DXGetErrorString(hr));
    MessageBoxW(nullptr, text, nullptr, MB_OK);
}

} // namespace vireo::render
