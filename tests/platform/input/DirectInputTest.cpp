// DirectInput devices fed through the raw-input seam: buffered keyboard and mouse items, device
// state, and the foreground rule. The engine-level input tests cover overflow.
#include "common/HostWindow.h"
#include "platform/core/RawInput.h"

#include <vireo/platform/DInput8.h>
#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using vireo::platform::DeliverRawInput;
using vireo::platform::RawInputEvent;

namespace {

void Key(int dik, bool down, DWORD time = 0)
{
    DeliverRawInput({RawInputEvent::Kind::Key, dik, down ? 1 : 0, time});
}

// Offset and data of each item, for comparing a whole read at once.
using Items = std::vector<std::pair<DWORD, DWORD>>;
struct ReadResult {
    HRESULT hr;
    std::vector<DIDEVICEOBJECTDATA> items;
    Items ofsData;
};

// One read of up to 16 items.
ReadResult Read(IDirectInputDevice8* device)
{
    ReadResult read{DI_OK, std::vector<DIDEVICEOBJECTDATA>(16), {}};
    DWORD n = 16;
    read.hr = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), read.items.data(), &n, 0);
    read.items.resize(n);
    for (const DIDEVICEOBJECTDATA& item : read.items)
        read.ofsData.emplace_back(item.dwOfs, item.dwData);
    return read;
}

class DirectInputTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        m_hWnd = vireo::test::CreateHostWindow(320, 240);
        ASSERT_NE(m_hWnd, nullptr);
        vireo::testing::SetForeground(m_hWnd, true);
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                     reinterpret_cast<void**>(&m_pInput), nullptr),
                  DI_OK);
        ASSERT_EQ(m_pInput->CreateDevice(GUID_SysKeyboard, &m_pKeyboard, nullptr), DI_OK);
        ASSERT_EQ(m_pInput->CreateDevice(GUID_SysMouse, &m_pMouse, nullptr), DI_OK);
    }
    void TearDown() override
    {
        SafeRelease(m_pKeyboard);
        SafeRelease(m_pMouse);
        SafeRelease(m_pInput);
        DestroyWindow(m_hWnd);
    }
    // The engine's set-up: formats, non-exclusive foreground, 10 items, acquired.
    void Prepare(IDirectInputDevice8* device, const DIDATAFORMAT& format, DWORD level = DISCL_FOREGROUND)
    {
        ASSERT_EQ(device->SetDataFormat(&format), DI_OK);
        ASSERT_EQ(device->SetCooperativeLevel(m_hWnd, DISCL_NONEXCLUSIVE | level), DI_OK);
        DIPROPDWORD size = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 10};
        ASSERT_EQ(device->SetProperty(DIPROP_BUFFERSIZE, &size.diph), DI_OK);
        ASSERT_EQ(device->Acquire(), DI_OK);
    }

    HWND m_hWnd = nullptr;
    IDirectInput8* m_pInput = nullptr;
    IDirectInputDevice8* m_pKeyboard = nullptr;
    IDirectInputDevice8* m_pMouse = nullptr;
};

} // namespace

TEST_F(DirectInputTest, KeyboardItemsInOrderWithoutRepeats)
{
    Prepare(m_pKeyboard, c_dfDIKeyboard);
    // Auto-repeat, a release never pressed and a code outside the range make no items.
    using Press = std::tuple<int, bool, DWORD>;
    for (auto [dik, down, time] : {Press{DIK_A, true, 100},
                                   {DIK_A, true, 110},
                                   {DIK_RCONTROL, true, 120},
                                   {DIK_A, false, 130},
                                   {DIK_Z, false, 140},
                                   {300, true, 150}})
        Key(dik, down, time);

    ReadResult read = Read(m_pKeyboard);
    ASSERT_EQ(read.hr, DI_OK);
    ASSERT_EQ(read.ofsData, (Items{{DIK_A, 0x80}, {DIK_RCONTROL, 0x80}, {DIK_A, 0}}));
    EXPECT_EQ(read.items[0].dwTimeStamp, 100u);
    EXPECT_EQ(read.items[2].dwTimeStamp, 130u);
    EXPECT_LT(read.items[0].dwSequence, read.items[1].dwSequence);
    EXPECT_LT(read.items[1].dwSequence, read.items[2].dwSequence);

    BYTE keys[256];
    ASSERT_EQ(m_pKeyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    EXPECT_EQ(keys[DIK_RCONTROL], 0x80);
    EXPECT_EQ(keys[DIK_A], 0);
    EXPECT_EQ(m_pKeyboard->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
    Key(DIK_RCONTROL, false);
}

TEST_F(DirectInputTest, ForegroundRule)
{
    Prepare(m_pKeyboard, c_dfDIKeyboard);
    Key(DIK_W, true);

    // Another window comes to the front: the next read reports the loss once, then the
    // device is simply not acquired, and what was buffered is gone.
    vireo::testing::SetForeground(m_hWnd, false);
    Key(DIK_W, false);
    EXPECT_EQ(Read(m_pKeyboard).hr, DIERR_INPUTLOST);
    EXPECT_EQ(Read(m_pKeyboard).hr, DIERR_NOTACQUIRED);
    EXPECT_EQ(m_pKeyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    Key(DIK_E, true);
    Key(DIK_E, false);

    // Back in front: acquisition works again and only new input arrives.
    vireo::testing::SetForeground(m_hWnd, true);
    ASSERT_EQ(m_pKeyboard->Acquire(), DI_OK);
    Key(DIK_R, true);
    ReadResult read = Read(m_pKeyboard);
    ASSERT_EQ(read.hr, DI_OK);
    EXPECT_EQ(read.ofsData, (Items{{DIK_R, 0x80}}));
    Key(DIK_R, false);

    // A background device ignores the foreground.
    vireo::testing::SetForeground(m_hWnd, false);
    Prepare(m_pMouse, c_dfDIMouse, DISCL_BACKGROUND);
    DeliverRawInput({RawInputEvent::Kind::MouseWheel, 0, -120, 0});
    EXPECT_EQ(Read(m_pMouse).items.size(), 1u);
}
