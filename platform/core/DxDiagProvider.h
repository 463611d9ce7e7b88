// The DxDiag provider behind CoCreateInstance, and what it reports. Tests can make it
// unavailable or change its answers so every path of the version check runs.
#pragma once

#include <vireo/platform/DxDiag.h>

#include <optional>
#include <string>

namespace vireo::platform {

struct DxDiagSystemInfoValues {
    bool providerAvailable = true;
    std::optional<DWORD> major = 9;
    std::optional<DWORD> minor = 0;
    std::optional<std::wstring> letter = std::wstring(L"c");
};

void SetDxDiagSystemInfoValues(const DxDiagSystemInfoValues& values);
HRESULT CreateDxDiagProvider(REFIID iid, void** object);

} // namespace vireo::platform
