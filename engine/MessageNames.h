// Names of the engine messages for the start-up log. Only the ids the engine logs by name
// have one; every other id (Win32 ids included) has the empty text.
#pragma once

#include <vireo/platform/Win32.h>

namespace vireo {

const wchar_t* GetMessageName(UINT msg);

} // namespace vireo
