// The DirectX diagnostics provider as the version check uses it: a provider made with
// CoCreateInstance, initialised, and a tree of named containers holding typed properties.
// This layer reports what it implements (DirectX 9.0c) under "DxDiag_SystemInfo".
#pragma once

#include <vireo/platform/Com.h>

// {A65B8071-3BFE-4213-9A5B-491DA4461CA7}
inline constexpr CLSID CLSID_DxDiagProvider = {
    0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
// {9C6B4CB0-23F8-49CC-A3ED-45A55000A6D2}
inline constexpr IID IID_IDxDiagProvider = {
    0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};
// {7D0F462F-4064-4862-BC7F-933E5058C10F}
inline constexpr IID IID_IDxDiagContainer = {
    0x7D0F462F, 0x4064, 0x4862, {0xBC, 0x7F, 0x93, 0x3E, 0x50, 0x58, 0xC1, 0x0F}};

constexpr DWORD DXDIAG_DX9_SDK_VERSION = 111;

struct DXDIAG_INIT_PARAMS {
    DWORD dwSize;                // sizeof(DXDIAG_INIT_PARAMS)
    DWORD dwDxDiagHeaderVersion; // DXDIAG_DX9_SDK_VERSION
    BOOL bAllowWHQLChecks;
    LPVOID pReserved;
};

struct IDxDiagContainer : IUnknown {
    virtual HRESULT GetNumberOfChildContainers(DWORD* count) = 0;
    virtual HRESULT EnumChildContainerNames(DWORD index, LPWSTR name, DWORD nameChars) = 0;
    // name may be a dotted path ("DxDiag_SystemInfo" or "A.B").
    virtual HRESULT GetChildContainer(LPCWSTR name, IDxDiagContainer** child) = 0;
    virtual HRESULT GetNumberOfProps(DWORD* count) = 0;
    virtual HRESULT EnumPropNames(DWORD index, LPWSTR name, DWORD nameChars) = 0;
    // The caller owns the VARIANT's contents afterwards (VariantClear).
    virtual HRESULT GetProp(LPCWSTR name, VARIANT* value) = 0;
};

struct IDxDiagProvider : IUnknown {
    virtual HRESULT Initialize(DXDIAG_INIT_PARAMS* params) = 0;
    virtual HRESULT GetRootContainer(IDxDiagContainer** root) = 0;
};
