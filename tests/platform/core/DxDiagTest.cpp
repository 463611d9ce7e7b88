// The DxDiag provider walked as the DirectX version check walks it, its refusals, and the
// file-version functions that find nothing on Linux unless a test plants a version.
#include "common/ScratchDir.h"

#include <vireo/platform/DxDiag.h>
#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class DxDiag : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
    void TearDown() override
    {
        CoUninitialize();
        vireo::testing::SetDxDiagSystemInfo({});
    }

    // Provider -> root -> "DxDiag_SystemInfo", as the version check does it.
    IDxDiagContainer* SystemInfo(IDxDiagProvider** providerOut)
    {
        IDxDiagProvider* provider = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider,
                                   reinterpret_cast<void**>(&provider)),
                  S_OK);
        if (!provider)
            return nullptr;
        DXDIAG_INIT_PARAMS params{sizeof(DXDIAG_INIT_PARAMS), DXDIAG_DX9_SDK_VERSION, FALSE, nullptr};
        EXPECT_EQ(provider->Initialize(&params), S_OK);
        IDxDiagContainer* root = nullptr;
        EXPECT_EQ(provider->GetRootContainer(&root), S_OK);
        IDxDiagContainer* system = nullptr;
        EXPECT_EQ(root->GetChildContainer(L"DxDiag_SystemInfo", &system), S_OK);
        EXPECT_EQ(root->Release(), 1u); // the provider still holds the root
        *providerOut = provider;
        return system;
    }
};

TEST_F(DxDiag, ReportsDirectX9Point0c)
{
    IDxDiagProvider* provider = nullptr;
    IDxDiagContainer* system = SystemInfo(&provider);
    ASSERT_NE(system, nullptr);
    VARIANT value;
    ASSERT_EQ(system->GetProp(L"dwDirectXVersionMajor", &value), S_OK);
    EXPECT_EQ(value.vt, VT_UI4);
    EXPECT_EQ(value.ulVal, 9u);
    ASSERT_EQ(system->GetProp(L"dwDirectXVersionMinor", &value), S_OK);
    EXPECT_EQ(value.vt, VT_UI4);
    EXPECT_EQ(value.ulVal, 0u);
    ASSERT_EQ(system->GetProp(L"szDirectXVersionLetter", &value), S_OK);
    ASSERT_EQ(value.vt, VT_BSTR);
    EXPECT_STREQ(value.bstrVal, L"c");
    EXPECT_EQ(SysStringLen(value.bstrVal), 1u);
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(system->GetProp(L"noSuchProperty", &value), E_INVALIDARG);
    EXPECT_EQ(system->Release(), 1u); // still a child of the root
    EXPECT_EQ(provider->Release(), 0u);
}

TEST_F(DxDiag, RefusalsOfCreationInitialisationAndLookup)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(IID_IUnknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagContainer, &object),
              E_NOINTERFACE);
    EXPECT_EQ(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider, nullptr),
              E_POINTER);

    IDxDiagProvider* provider = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider,
                               reinterpret_cast<void**>(&provider)),
              S_OK);
    IDxDiagContainer* root = nullptr;
    EXPECT_EQ(provider->GetRootContainer(&root), CO_E_NOTINITIALIZED);
    DXDIAG_INIT_PARAMS wrongVersion{sizeof(DXDIAG_INIT_PARAMS), 110, FALSE, nullptr};
    EXPECT_EQ(provider->Initialize(&wrongVersion), E_INVALIDARG);
    DXDIAG_INIT_PARAMS wrongSize{16 + 64, DXDIAG_DX9_SDK_VERSION, FALSE, nullptr};
    EXPECT_EQ(provider->Initialize(&wrongSize), E_INVALIDARG);
    EXPECT_EQ(provider->Initialize(nullptr), E_INVALIDARG);
    DXDIAG_INIT_PARAMS params{sizeof(DXDIAG_INIT_PARAMS), DXDIAG_DX9_SDK_VERSION, FALSE, nullptr};
    ASSERT_EQ(provider->Initialize(&params), S_OK);
    ASSERT_EQ(provider->GetRootContainer(&root), S_OK);
    IDxDiagContainer* child = nullptr;
    EXPECT_EQ(root->GetChildContainer(L"DxDiag_DisplayDevices", &child), E_INVALIDARG);
    EXPECT_EQ(child, nullptr);
    DWORD count = 0;
    ASSERT_EQ(root->GetNumberOfChildContainers(&count), S_OK);
    ASSERT_EQ(count, 1u);
    wchar_t name[64];
    ASSERT_EQ(root->EnumChildContainerNames(0, name, 64), S_OK);
    EXPECT_STREQ(name, L"DxDiag_SystemInfo");
    EXPECT_EQ(root->EnumChildContainerNames(0, name, 5), E_INVALIDARG); // too small for the name
    EXPECT_EQ(root->EnumChildContainerNames(1, name, 64), E_INVALIDARG);
    root->Release();
    provider->Release();

    CoUninitialize(); // COM not initialised on this thread: refused
    EXPECT_EQ(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider, &object),
              CO_E_NOTINITIALIZED);
    CoInitialize(nullptr);
}

TEST(FileVersion, NothingIsFoundUnlessPlanted)
{
    wchar_t system[4096];
    const UINT length = GetSystemDirectoryW(system, 4096);
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(GetFileAttributesW(system) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetSystemDirectoryW(system, length), length + 1); // too small: size needed

    vireo::test::ScratchDir folder;
    const std::wstring existing = folder / L"ddraw.dll";
    HANDLE file = CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(file);
    DWORD handle = 7;
    EXPECT_EQ(GetFileVersionInfoSizeW(existing.c_str(), &handle), 0u);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(GetFileVersionInfoSizeW((folder / L"d3d9.dll").c_str(), nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    vireo::testing::SetFileVersion(L"D3D9.DLL", 5, 3, 2600, 904);
    const std::wstring d3d9 = std::wstring(system) + L"\\d3d9.dll";
    const DWORD size = GetFileVersionInfoSizeW(d3d9.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    EXPECT_FALSE(GetFileVersionInfoW(d3d9.c_str(), 0, size - 1, block.data()));
    ASSERT_TRUE(GetFileVersionInfoW(d3d9.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoBytes = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<LPVOID*>(&info), &infoBytes));
    EXPECT_EQ(infoBytes, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, 0x00050003u);
    EXPECT_EQ(info->dwFileVersionLS, (2600u << 16) | 904u);
    EXPECT_FALSE(VerQueryValueW(block.data(), L"\\StringFileInfo", reinterpret_cast<LPVOID*>(&info), &infoBytes));
    const std::string junk(size, 'x');
    EXPECT_FALSE(VerQueryValueW(junk.data(), L"\\", reinterpret_cast<LPVOID*>(&info), &infoBytes));

    vireo::testing::ClearFileVersions();
    EXPECT_EQ(GetFileVersionInfoSizeW(d3d9.c_str(), nullptr), 0u);
    vireo::testing::SetSystemDirectoryAvailable(false);
    EXPECT_EQ(GetSystemDirectoryW(system, 4096), 0u);
    vireo::testing::SetSystemDirectoryAvailable(true);
}

} // namespace
