// Result code to symbolic name, for log lines and boxes: Direct3D 9, D3DX 9, DirectSound and
// the generic COM codes. Where several names share a value the first in that order wins.
// Codes it does not know give "Unknown"; it never formats a description.
#pragma once

#include <vireo/platform/Win32.h>

const wchar_t* DXGetErrorStringW(HRESULT hr);
const char* DXGetErrorStringA(HRESULT hr);
inline const wchar_t* DXGetErrorString(HRESULT hr) { return DXGetErrorStringW(hr); }
