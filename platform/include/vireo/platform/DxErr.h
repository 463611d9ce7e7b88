// Result code to symbolic name, for log lines and boxes: Direct3D 9, D3DX 9, DirectSound,
// DirectInput and the generic COM codes. Where a DirectX name aliases a generic COM code (E_FAIL is also
// DSERR_GENERIC) the generic name is given; otherwise each value has exactly one name.
// Codes it does not know give "Unknown"; it never formats a description.
#pragma once

#include <vireo/platform/Win32.h>

const wchar_t* DXGetErrorStringW(HRESULT hr);
const char* DXGetErrorStringA(HRESULT hr);
inline const wchar_t* DXGetErrorString(HRESULT hr)
{
    return DXGetErrorStringW(hr);
}
