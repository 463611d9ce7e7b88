// DirectInput devices fed through the raw-input seam: creation and parameter checks, the
// buffered items and their result codes, overflow, device state, and the foreground rule.
#include "common/HostWindow.h"
#include "platform/core/RawInput.h"

#include <vireo/platform/DInput8.h>
#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

using vireo::platform::DeliverRawInput;
using vireo::platform::RawInputEvent;

namespace {

void Key(int dik, bool down, DWORD time = 0)
{
    DeliverRawInput({RawInputEvent::Kind::Key, dik, down ? 1 : 0, time});
}
void Button(int n, bool down)
{
    DeliverRawInput({RawInputEvent::Kind::MouseButton, n, down ? 1 : 0, 0});
}
void Motion(int axis, int delta)
{
    DeliverRawInput({RawInputEvent::Kind::MouseMotion, axis, delta, 0});
}
void Wheel(int delta)
{
    DeliverRawInput({RawInputEvent::Kind::MouseWheel, 0, delta, 0});
}

HRESULT SetBufferSize(IDirectInputDevice8* device, DWORD size)
{
    DIPROPDWORD prop = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, size};
    return device->SetProperty(DIPROP_BUFFERSIZE, &prop.diph);
}

struct ReadResult {
    HRESULT hr;
    std::vector<DIDEVICEOBJECTDATA> items;
};

ReadResult Read(IDirectInputDevice8* device, DWORD capacity = 16, DWORD flags = 0)
{
    std::vector<DIDEVICEOBJECTDATA> items(capacity);
    DWORD n = capacity;
    const HRESULT hr = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), items.data(), &n, flags);
    items.resize(n);
    return {hr, items};
}

// Offset and data of each item, for comparing a whole read at once.
using Items = std::vector<std::pair<DWORD, DWORD>>;
Items OfsData(const ReadResult& read)
{
    Items out;
    for (const DIDEVICEOBJECTDATA& item : read.items)
        out.emplace_back(item.dwOfs, item.dwData);
    return out;
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
    void Prepare(IDirectInputDevice8* device, const DIDATAFORMAT& format)
    {
        ASSERT_EQ(device->SetDataFormat(&format), DI_OK);
        ASSERT_EQ(device->SetCooperativeLevel(m_hWnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        ASSERT_EQ(SetBufferSize(device, 10), DI_OK);
        ASSERT_EQ(device->Acquire(), DI_OK);
    }

    HWND m_hWnd = nullptr;
    IDirectInput8* m_pInput = nullptr;
    IDirectInputDevice8* m_pKeyboard = nullptr;
    IDirectInputDevice8* m_pMouse = nullptr;
};

} // namespace

TEST_F(DirectInputTest, CreationRefusals)
{
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8W, &out, nullptr), DIERR_BETADIRECTINPUTVERSION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0900, IID_IDirectInput8W, &out, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, GUID_SysMouse, &out, nullptr), DIERR_NOINTERFACE);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8W, nullptr, nullptr), DIERR_INVALIDPARAM);

    IDirectInputDevice8* device = reinterpret_cast<IDirectInputDevice8*>(1);
    EXPECT_EQ(m_pInput->CreateDevice(IID_IDirectInput8W, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(m_pInput->CreateDevice(GUID_SysKeyboard, &device, m_pInput), DIERR_NOAGGREGATION);
    EXPECT_EQ(m_pInput->CreateDevice(GUID_SysKeyboard, nullptr, nullptr), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, ParameterChecks)
{
    // Data formats: each device takes its own record sizes only.
    EXPECT_EQ(m_pKeyboard->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(m_pKeyboard->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
    EXPECT_EQ(m_pMouse->SetDataFormat(&c_dfDIKeyboard), DIERR_INVALIDPARAM);
    DIDATAFORMAT badSize = c_dfDIKeyboard;
    badSize.dwSize = 12;
    EXPECT_EQ(m_pKeyboard->SetDataFormat(&badSize), DIERR_INVALIDPARAM);
    EXPECT_EQ(m_pMouse->SetDataFormat(&c_dfDIMouse2), DI_OK);

    // Cooperative levels: one of each pair, a window where the mode needs one.
    struct Row {
        HWND hwnd;
        DWORD flags;
        HRESULT keyboard;
    };
    const Row rows[] = {
        {m_hWnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DI_OK},
        {nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND, DI_OK},
        {nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DIERR_INVALIDPARAM},
        {m_hWnd, DISCL_NONEXCLUSIVE, DIERR_INVALIDPARAM},
        {m_hWnd, DISCL_FOREGROUND, DIERR_INVALIDPARAM},
        {m_hWnd, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DIERR_INVALIDPARAM},
        {m_hWnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND, DIERR_INVALIDPARAM},
        {m_hWnd, DISCL_EXCLUSIVE | DISCL_BACKGROUND, DIERR_UNSUPPORTED},
    };
    for (const Row& row : rows)
        EXPECT_EQ(m_pKeyboard->SetCooperativeLevel(row.hwnd, row.flags), row.keyboard) << std::hex << row.flags;

    // Buffer size: a whole-device DWORD property, clamped, read back.
    DIPROPDWORD byOffset = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_BYOFFSET}, 10};
    DIPROPDWORD headerOnly = {{sizeof(DIPROPHEADER), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 10};
    DIPROPDWORD prop = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 10};
    EXPECT_EQ(m_pKeyboard->SetProperty(DIPROP_BUFFERSIZE, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(m_pKeyboard->SetProperty(DIPROP_BUFFERSIZE, &byOffset.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(m_pKeyboard->SetProperty(DIPROP_BUFFERSIZE, &headerOnly.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(m_pKeyboard->SetProperty(IID_IDirectInput8W, &prop.diph), DIERR_UNSUPPORTED);
    EXPECT_EQ(SetBufferSize(m_pKeyboard, 0xFFFFFFFF), DI_OK);
    prop.dwData = 0;
    ASSERT_EQ(m_pKeyboard->GetProperty(DIPROP_BUFFERSIZE, &prop.diph), DI_OK);
    EXPECT_EQ(prop.dwData, 4096u);

    // Acquire needs a data format; settings are refused while acquired.
    EXPECT_EQ(m_pMouse->Acquire(), DI_OK);
    IDirectInputDevice8* fresh = nullptr;
    ASSERT_EQ(m_pInput->CreateDevice(GUID_SysKeyboard, &fresh, nullptr), DI_OK);
    EXPECT_EQ(fresh->Acquire(), DIERR_INVALIDPARAM);
    EXPECT_EQ(SetBufferSize(m_pMouse, 10), DIERR_ACQUIRED);
    EXPECT_EQ(m_pMouse->SetDataFormat(&c_dfDIMouse), DIERR_ACQUIRED);
    EXPECT_EQ(m_pMouse->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(m_pMouse->Unacquire(), DI_OK);
    EXPECT_EQ(m_pMouse->Unacquire(), DI_NOEFFECT);

    // Reads need acquisition, then a buffer, and a known item size.
    ASSERT_EQ(fresh->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(Read(fresh).hr, DIERR_NOTACQUIRED);
    ASSERT_EQ(fresh->Acquire(), DI_OK);
    EXPECT_EQ(Read(fresh).hr, DIERR_NOTBUFFERED);
    DWORD n = 4;
    DIDEVICEOBJECTDATA items[4];
    EXPECT_EQ(fresh->GetDeviceData(12, items, &n, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(fresh->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), items, nullptr, 0), DIERR_INVALIDPARAM);
    fresh->Release();
}

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
    ASSERT_EQ(OfsData(read), (Items{{DIK_A, 0x80}, {DIK_RCONTROL, 0x80}, {DIK_A, 0}}));
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

TEST_F(DirectInputTest, OverflowKeepsTheOldestItemsAndIsReportedOnce)
{
    Prepare(m_pKeyboard, c_dfDIKeyboard);
    for (int i = 0; i < 6; ++i) {
        Key(DIK_1 + i, true);
        Key(DIK_1 + i, false);
    }
    EXPECT_EQ(Read(m_pKeyboard, 16, DIGDD_PEEK).items.size(), 10u);

    ReadResult read = Read(m_pKeyboard, 4);
    EXPECT_EQ(read.hr, DI_BUFFEROVERFLOW);
    ASSERT_EQ(read.items.size(), 4u);
    EXPECT_EQ(read.items[0].dwOfs, DIK_1);
    read = Read(m_pKeyboard);
    EXPECT_EQ(read.hr, DI_OK);
    ASSERT_EQ(read.items.size(), 6u);
    EXPECT_EQ(OfsData(read).back(), (std::pair<DWORD, DWORD>{DIK_5, 0})); // the sixth key's items were lost

    // Exactly ten items fit without an overflow.
    for (int i = 0; i < 10; ++i)
        Key(DIK_Q + i / 2, i % 2 == 0);
    read = Read(m_pKeyboard);
    EXPECT_EQ(read.hr, DI_OK);
    EXPECT_EQ(read.items.size(), 10u);
}

TEST_F(DirectInputTest, FlushAndSmallerItemLayouts)
{
    Prepare(m_pKeyboard, c_dfDIKeyboard);
    Key(DIK_A, true);
    Key(DIK_A, false);
    DWORD n = 0xFFFFFFFF;
    EXPECT_EQ(m_pKeyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &n, 0), DI_OK);
    EXPECT_EQ(n, 2u);
    EXPECT_TRUE(Read(m_pKeyboard).items.empty());

    // The DirectX 3 layout and the 32-bit layout are written at their own stride.
    Key(DIK_B, true);
    Key(DIK_C, true);
    for (DWORD stride : {16u, 20u}) {
        BYTE raw[64];
        std::fill(std::begin(raw), std::end(raw), BYTE{0xCD});
        n = 2;
        ASSERT_EQ(m_pKeyboard->GetDeviceData(stride, reinterpret_cast<DIDEVICEOBJECTDATA*>(raw), &n, DIGDD_PEEK),
                  DI_OK);
        ASSERT_EQ(n, 2u);
        DWORD second;
        std::memcpy(&second, raw + stride, sizeof(second));
        EXPECT_EQ(second, DIK_C) << stride;
        EXPECT_EQ(raw[2 * stride], 0xCD) << "wrote past two items of " << stride << " bytes";
    }
    Key(DIK_B, false);
    Key(DIK_C, false);
}

TEST_F(DirectInputTest, MouseItemsAndState)
{
    Prepare(m_pMouse, c_dfDIMouse);
    Motion(0, -5);
    Motion(1, 7);
    Motion(0, 0); // no movement, no item
    Wheel(120);
    for (int button : {0, 3, 4}) // 4 is beyond the four buttons of DIMOUSESTATE
        Button(button, true);

    ReadResult read = Read(m_pMouse);
    ASSERT_EQ(read.hr, DI_OK);
    EXPECT_EQ(OfsData(read), (Items{{DIMOFS_X, static_cast<DWORD>(-5)},
                                    {DIMOFS_Y, 7},
                                    {DIMOFS_Z, 120},
                                    {DIMOFS_BUTTON0, 0x80},
                                    {DIMOFS_BUTTON3, 0x80}}));

    Motion(0, 3);
    DIMOUSESTATE state;
    ASSERT_EQ(m_pMouse->GetDeviceState(sizeof(state), &state), DI_OK);
    // Movement since acquisition, summed.
    EXPECT_EQ((std::vector<LONG>{state.lX, state.lY, state.lZ}), (std::vector<LONG>{-2, 7, 120}));
    EXPECT_EQ((std::vector<BYTE>(state.rgbButtons, state.rgbButtons + 4)), (std::vector<BYTE>{0x80, 0, 0, 0x80}));
    ASSERT_EQ(m_pMouse->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.lX, 0); // reset by the previous read
    for (int button : {0, 3, 4})
        Button(button, false);
}

TEST_F(DirectInputTest, EveryDeviceOfAKindGetsItsOwnCopy)
{
    IDirectInputDevice8* second = nullptr;
    ASSERT_EQ(m_pInput->CreateDevice(GUID_SysKeyboard, &second, nullptr), DI_OK);
    Prepare(m_pKeyboard, c_dfDIKeyboard);
    Prepare(second, c_dfDIKeyboard);
    Prepare(m_pMouse, c_dfDIMouse);
    Key(DIK_SPACE, true);
    EXPECT_EQ(Read(m_pKeyboard).items.size(), 1u);
    EXPECT_EQ(Read(second).items.size(), 1u);
    EXPECT_TRUE(Read(m_pMouse).items.empty());
    second->Release();
    Key(DIK_SPACE, false);
    EXPECT_EQ(Read(m_pKeyboard).items.size(), 1u);
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
    EXPECT_EQ(OfsData(read), (Items{{DIK_R, 0x80}}));
    Key(DIK_R, false);

    // A background device ignores the foreground.
    ASSERT_EQ(m_pMouse->SetDataFormat(&c_dfDIMouse), DI_OK);
    ASSERT_EQ(SetBufferSize(m_pMouse, 10), DI_OK);
    vireo::testing::SetForeground(m_hWnd, false);
    ASSERT_EQ(m_pMouse->Acquire(), DI_OK);
    Wheel(-120);
    EXPECT_EQ(Read(m_pMouse).items.size(), 1u);
}
