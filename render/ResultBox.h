// The plain box (no owner, no caption) that texture creation and picture fills show for a
// Direct3D result other than S_OK: "hr=<code>, err=<name>". Internal to the render module;
// the captioned engine box is ShowMessageBox.
#pragma once

#include <vireo/platform/Win32.h>

namespace vireo::render {

void ShowResultBox(HRESULT hr);

} // namespace vireo::render
