// DirectInput 8 names for the engine: DIK_ scan codes, buffered-data records, data formats,
// properties, cooperative flags, result codes and the keyboard/mouse device interfaces.
// Only the system keyboard and mouse exist; no joysticks, effects or action maps.
#pragma once

#include <vireo/platform/Com.h>
#include <vireo/platform/Win32.h>

#include <cstddef>

using REFGUID = const GUID&;

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// ---- result codes ------------------------------------------------------------------------
constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOTATTACHED = S_FALSE;
constexpr HRESULT DI_BUFFEROVERFLOW = S_FALSE;
constexpr HRESULT DI_PROPNOEFFECT = S_FALSE;
constexpr HRESULT DI_NOEFFECT = S_FALSE;
constexpr HRESULT DI_POLLEDDEVICE = 0x00000002;
constexpr HRESULT DI_DOWNLOADSKIPPED = 0x00000003;
constexpr HRESULT DI_EFFECTRESTARTED = 0x00000004;
constexpr HRESULT DI_TRUNCATED = 0x00000008;
constexpr HRESULT DI_SETTINGSNOTSAVED = 0x0000000B;
constexpr HRESULT DI_TRUNCATEDANDRESTARTED = 0x0000000C;
constexpr HRESULT DI_WRITEPROTECT = 0x00000013;
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047E);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = static_cast<HRESULT>(0x80070481);
constexpr HRESULT DIERR_BADDRIVERVER = static_cast<HRESULT>(0x80070077);
constexpr HRESULT DIERR_DEVICENOTREG = REGDB_E_CLASSNOTREG;
constexpr HRESULT DIERR_NOTFOUND = static_cast<HRESULT>(0x80070002);
constexpr HRESULT DIERR_OBJECTNOTFOUND = static_cast<HRESULT>(0x80070002);
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DIERR_GENERIC = E_FAIL;
constexpr HRESULT DIERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DIERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DIERR_NOTINITIALIZED = static_cast<HRESULT>(0x80070015);
constexpr HRESULT DIERR_ALREADYINITIALIZED = static_cast<HRESULT>(0x800704DF);
constexpr HRESULT DIERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005);
constexpr HRESULT DIERR_READONLY = static_cast<HRESULT>(0x80070005);
constexpr HRESULT DIERR_HANDLEEXISTS = static_cast<HRESULT>(0x80070005);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001E);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AA);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);
constexpr HRESULT DIERR_INSUFFICIENTPRIVS = static_cast<HRESULT>(0x80040200);
constexpr HRESULT DIERR_DEVICEFULL = static_cast<HRESULT>(0x80040201);
constexpr HRESULT DIERR_MOREDATA = static_cast<HRESULT>(0x80040202);
constexpr HRESULT DIERR_NOTDOWNLOADED = static_cast<HRESULT>(0x80040203);
constexpr HRESULT DIERR_HASEFFECTS = static_cast<HRESULT>(0x80040204);
constexpr HRESULT DIERR_NOTEXCLUSIVEACQUIRED = static_cast<HRESULT>(0x80040205);
constexpr HRESULT DIERR_INCOMPLETEEFFECT = static_cast<HRESULT>(0x80040206);
constexpr HRESULT DIERR_NOTBUFFERED = static_cast<HRESULT>(0x80040207);
constexpr HRESULT DIERR_EFFECTPLAYING = static_cast<HRESULT>(0x80040208);
constexpr HRESULT DIERR_UNPLUGGED = static_cast<HRESULT>(0x80040209);
constexpr HRESULT DIERR_REPORTFULL = static_cast<HRESULT>(0x8004020A);
constexpr HRESULT DIERR_MAPFILEFAIL = static_cast<HRESULT>(0x8004020B);

// ---- GUIDs -------------------------------------------------------------------------------
inline constexpr GUID IID_IDirectInput8W = {
    0xBF798031, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
inline constexpr GUID IID_IDirectInputDevice8W = {
    0x54D41081, 0xDC15, 0x4833, {0xA4, 0x1B, 0x74, 0x8F, 0x73, 0xA3, 0x81, 0x79}};
inline constexpr GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_XAxis = {0xA36D02E0, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_YAxis = {0xA36D02E1, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_ZAxis = {0xA36D02E2, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_Button = {0xA36D02F0, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_Key = {0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// Properties. The original headers name a property by a small integer cast to a GUID address;
// here each property is a real GUID value, so binding it to REFGUID is well defined.
inline constexpr GUID DIPROP_BUFFERSIZE = {0x00000001, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// ---- cooperative levels, flags -----------------------------------------------------------
constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;
constexpr DWORD DISCL_NOWINKEY = 0x10;

constexpr DWORD DIGDD_PEEK = 0x1;
constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPH_BYOFFSET = 1;
constexpr DWORD DIPH_BYID = 2;

constexpr DWORD DIDF_ABSAXIS = 0x1;
constexpr DWORD DIDF_RELAXIS = 0x2;

constexpr DWORD DIDFT_RELAXIS = 0x00000001;
constexpr DWORD DIDFT_ABSAXIS = 0x00000002;
constexpr DWORD DIDFT_AXIS = 0x00000003;
constexpr DWORD DIDFT_PSHBUTTON = 0x00000004;
constexpr DWORD DIDFT_TGLBUTTON = 0x00000008;
constexpr DWORD DIDFT_BUTTON = 0x0000000C;
constexpr DWORD DIDFT_ANYINSTANCE = 0x00FFFF00;
constexpr DWORD DIDFT_OPTIONAL = 0x80000000;
constexpr DWORD DIDFT_MAKEINSTANCE(DWORD n)
{
    return static_cast<WORD>(n) << 8;
}

// ---- buffered data, formats, properties --------------------------------------------------
// 24 bytes on a 64-bit system (uAppData is pointer-sized); GetDeviceData also takes the
// 16-byte DirectX 3 size and the 20-byte size of the 32-bit layout and fills that many bytes.
struct DIDEVICEOBJECTDATA {
    DWORD dwOfs;       // DIK_ code (keyboard) or DIMOFS_ offset (mouse)
    DWORD dwData;      // buttons: 0x80 pressed, 0 released; axes: signed relative movement
    DWORD dwTimeStamp; // milliseconds of GetTickCount
    DWORD dwSequence;  // one increasing counter shared by every device
    UINT_PTR uAppData; // always 0 (no action maps)
};
using LPDIDEVICEOBJECTDATA = DIDEVICEOBJECTDATA*;
constexpr DWORD DIDEVICEOBJECTDATA_DX3_SIZE = 16;

struct DIOBJECTDATAFORMAT {
    const GUID* pguid;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
};
using LPDIOBJECTDATAFORMAT = DIOBJECTDATAFORMAT*;
using LPCDIOBJECTDATAFORMAT = const DIOBJECTDATAFORMAT*;

struct DIDATAFORMAT {
    DWORD dwSize;     // sizeof(DIDATAFORMAT)
    DWORD dwObjSize;  // sizeof(DIOBJECTDATAFORMAT)
    DWORD dwFlags;    // DIDF_RELAXIS or DIDF_ABSAXIS
    DWORD dwDataSize; // bytes of the GetDeviceState record
    DWORD dwNumObjs;
    LPCDIOBJECTDATAFORMAT rgodf;
};
using LPCDIDATAFORMAT = const DIDATAFORMAT*;

// Keyboard: 256 bytes indexed by DIK_ code. Mouse: DIMOUSESTATE (three axes, four buttons);
// DIMOUSESTATE2 has eight buttons.
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIMouse2;

struct DIMOUSESTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[4];
};
struct DIMOUSESTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[8];
};

constexpr DWORD DIMOFS_X = offsetof(DIMOUSESTATE2, lX);
constexpr DWORD DIMOFS_Y = offsetof(DIMOUSESTATE2, lY);
constexpr DWORD DIMOFS_Z = offsetof(DIMOUSESTATE2, lZ);
constexpr DWORD DIMOFS_BUTTON0 = offsetof(DIMOUSESTATE2, rgbButtons) + 0;
constexpr DWORD DIMOFS_BUTTON1 = offsetof(DIMOUSESTATE2, rgbButtons) + 1;
constexpr DWORD DIMOFS_BUTTON2 = offsetof(DIMOUSESTATE2, rgbButtons) + 2;
constexpr DWORD DIMOFS_BUTTON3 = offsetof(DIMOUSESTATE2, rgbButtons) + 3;
constexpr DWORD DIMOFS_BUTTON4 = offsetof(DIMOUSESTATE2, rgbButtons) + 4;
constexpr DWORD DIMOFS_BUTTON5 = offsetof(DIMOUSESTATE2, rgbButtons) + 5;
constexpr DWORD DIMOFS_BUTTON6 = offsetof(DIMOUSESTATE2, rgbButtons) + 6;
constexpr DWORD DIMOFS_BUTTON7 = offsetof(DIMOUSESTATE2, rgbButtons) + 7;

struct DIPROPHEADER {
    DWORD dwSize;       // size of the enclosing record (DIPROPDWORD)
    DWORD dwHeaderSize; // sizeof(DIPROPHEADER)
    DWORD dwObj;        // 0 with DIPH_DEVICE
    DWORD dwHow;        // DIPH_DEVICE
};
using LPDIPROPHEADER = DIPROPHEADER*;
using LPCDIPROPHEADER = const DIPROPHEADER*;

struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
};

// ---- interfaces --------------------------------------------------------------------------
struct IDirectInputDevice8W : IUnknown {
    virtual HRESULT SetDataFormat(LPCDIDATAFORMAT format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
    virtual HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
    virtual HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // cbData must equal the data format's size (256 keyboard, 16 or 20 mouse).
    virtual HRESULT GetDeviceState(DWORD cbData, LPVOID data) = 0;
    // *inOut: capacity on entry, items returned on exit, oldest first. data null with
    // *inOut 0xFFFFFFFF flushes the buffer.
    virtual HRESULT GetDeviceData(DWORD cbObjectData, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) = 0;
};
using IDirectInputDevice8 = IDirectInputDevice8W;
using LPDIRECTINPUTDEVICE8W = IDirectInputDevice8W*;
using LPDIRECTINPUTDEVICE8 = IDirectInputDevice8W*;

struct IDirectInput8W : IUnknown {
    // GUID_SysKeyboard or GUID_SysMouse; anything else is DIERR_DEVICENOTREG.
    virtual HRESULT CreateDevice(REFGUID device, LPDIRECTINPUTDEVICE8W* out, IUnknown* outer) = 0;
};
using IDirectInput8 = IDirectInput8W;
using LPDIRECTINPUT8W = IDirectInput8W*;
using LPDIRECTINPUT8 = IDirectInput8W*;

// version must be 0x0800 and riid IID_IDirectInput8W; *out receives an IDirectInput8W.
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID riid, LPVOID* out, IUnknown* outer);

// ---- DIK_ scan codes (set 1 make codes; the E0-prefixed keys have 0x80 added) --------------
constexpr BYTE DIK_ESCAPE = 0x01;
constexpr BYTE DIK_1 = 0x02;
constexpr BYTE DIK_2 = 0x03;
constexpr BYTE DIK_3 = 0x04;
constexpr BYTE DIK_4 = 0x05;
constexpr BYTE DIK_5 = 0x06;
constexpr BYTE DIK_6 = 0x07;
constexpr BYTE DIK_7 = 0x08;
constexpr BYTE DIK_8 = 0x09;
constexpr BYTE DIK_9 = 0x0A;
constexpr BYTE DIK_0 = 0x0B;
constexpr BYTE DIK_MINUS = 0x0C;
constexpr BYTE DIK_EQUALS = 0x0D;
constexpr BYTE DIK_BACK = 0x0E;
constexpr BYTE DIK_TAB = 0x0F;
constexpr BYTE DIK_Q = 0x10;
constexpr BYTE DIK_W = 0x11;
constexpr BYTE DIK_E = 0x12;
constexpr BYTE DIK_R = 0x13;
constexpr BYTE DIK_T = 0x14;
constexpr BYTE DIK_Y = 0x15;
constexpr BYTE DIK_U = 0x16;
constexpr BYTE DIK_I = 0x17;
constexpr BYTE DIK_O = 0x18;
constexpr BYTE DIK_P = 0x19;
constexpr BYTE DIK_LBRACKET = 0x1A;
constexpr BYTE DIK_RBRACKET = 0x1B;
constexpr BYTE DIK_RETURN = 0x1C;
constexpr BYTE DIK_LCONTROL = 0x1D;
constexpr BYTE DIK_A = 0x1E;
constexpr BYTE DIK_S = 0x1F;
constexpr BYTE DIK_D = 0x20;
constexpr BYTE DIK_F = 0x21;
constexpr BYTE DIK_G = 0x22;
constexpr BYTE DIK_H = 0x23;
constexpr BYTE DIK_J = 0x24;
constexpr BYTE DIK_K = 0x25;
constexpr BYTE DIK_L = 0x26;
constexpr BYTE DIK_SEMICOLON = 0x27;
constexpr BYTE DIK_APOSTROPHE = 0x28;
constexpr BYTE DIK_GRAVE = 0x29;
constexpr BYTE DIK_LSHIFT = 0x2A;
constexpr BYTE DIK_BACKSLASH = 0x2B;
constexpr BYTE DIK_Z = 0x2C;
constexpr BYTE DIK_X = 0x2D;
constexpr BYTE DIK_C = 0x2E;
constexpr BYTE DIK_V = 0x2F;
constexpr BYTE DIK_B = 0x30;
constexpr BYTE DIK_N = 0x31;
constexpr BYTE DIK_M = 0x32;
constexpr BYTE DIK_COMMA = 0x33;
constexpr BYTE DIK_PERIOD = 0x34;
constexpr BYTE DIK_SLASH = 0x35;
constexpr BYTE DIK_RSHIFT = 0x36;
constexpr BYTE DIK_MULTIPLY = 0x37;
constexpr BYTE DIK_LMENU = 0x38;
constexpr BYTE DIK_SPACE = 0x39;
constexpr BYTE DIK_CAPITAL = 0x3A;
constexpr BYTE DIK_F1 = 0x3B;
constexpr BYTE DIK_F2 = 0x3C;
constexpr BYTE DIK_F3 = 0x3D;
constexpr BYTE DIK_F4 = 0x3E;
constexpr BYTE DIK_F5 = 0x3F;
constexpr BYTE DIK_F6 = 0x40;
constexpr BYTE DIK_F7 = 0x41;
constexpr BYTE DIK_F8 = 0x42;
constexpr BYTE DIK_F9 = 0x43;
constexpr BYTE DIK_F10 = 0x44;
constexpr BYTE DIK_NUMLOCK = 0x45;
constexpr BYTE DIK_SCROLL = 0x46;
constexpr BYTE DIK_NUMPAD7 = 0x47;
constexpr BYTE DIK_NUMPAD8 = 0x48;
constexpr BYTE DIK_NUMPAD9 = 0x49;
constexpr BYTE DIK_SUBTRACT = 0x4A;
constexpr BYTE DIK_NUMPAD4 = 0x4B;
constexpr BYTE DIK_NUMPAD5 = 0x4C;
constexpr BYTE DIK_NUMPAD6 = 0x4D;
constexpr BYTE DIK_ADD = 0x4E;
constexpr BYTE DIK_NUMPAD1 = 0x4F;
constexpr BYTE DIK_NUMPAD2 = 0x50;
constexpr BYTE DIK_NUMPAD3 = 0x51;
constexpr BYTE DIK_NUMPAD0 = 0x52;
constexpr BYTE DIK_DECIMAL = 0x53;
constexpr BYTE DIK_OEM_102 = 0x56;
constexpr BYTE DIK_F11 = 0x57;
constexpr BYTE DIK_F12 = 0x58;
constexpr BYTE DIK_F13 = 0x64;
constexpr BYTE DIK_F14 = 0x65;
constexpr BYTE DIK_F15 = 0x66;
constexpr BYTE DIK_KANA = 0x70;
constexpr BYTE DIK_ABNT_C1 = 0x73;
constexpr BYTE DIK_CONVERT = 0x79;
constexpr BYTE DIK_NOCONVERT = 0x7B;
constexpr BYTE DIK_YEN = 0x7D;
constexpr BYTE DIK_ABNT_C2 = 0x7E;
constexpr BYTE DIK_NUMPADEQUALS = 0x8D;
constexpr BYTE DIK_PREVTRACK = 0x90;
constexpr BYTE DIK_AT = 0x91;
constexpr BYTE DIK_COLON = 0x92;
constexpr BYTE DIK_UNDERLINE = 0x93;
constexpr BYTE DIK_KANJI = 0x94;
constexpr BYTE DIK_STOP = 0x95;
constexpr BYTE DIK_AX = 0x96;
constexpr BYTE DIK_UNLABELED = 0x97;
constexpr BYTE DIK_NEXTTRACK = 0x99;
constexpr BYTE DIK_NUMPADENTER = 0x9C;
constexpr BYTE DIK_RCONTROL = 0x9D;
constexpr BYTE DIK_MUTE = 0xA0;
constexpr BYTE DIK_CALCULATOR = 0xA1;
constexpr BYTE DIK_PLAYPAUSE = 0xA2;
constexpr BYTE DIK_MEDIASTOP = 0xA4;
constexpr BYTE DIK_VOLUMEDOWN = 0xAE;
constexpr BYTE DIK_VOLUMEUP = 0xB0;
constexpr BYTE DIK_WEBHOME = 0xB2;
constexpr BYTE DIK_NUMPADCOMMA = 0xB3;
constexpr BYTE DIK_DIVIDE = 0xB5;
constexpr BYTE DIK_SYSRQ = 0xB7;
constexpr BYTE DIK_RMENU = 0xB8;
constexpr BYTE DIK_PAUSE = 0xC5;
constexpr BYTE DIK_HOME = 0xC7;
constexpr BYTE DIK_UP = 0xC8;
constexpr BYTE DIK_PRIOR = 0xC9;
constexpr BYTE DIK_LEFT = 0xCB;
constexpr BYTE DIK_RIGHT = 0xCD;
constexpr BYTE DIK_END = 0xCF;
constexpr BYTE DIK_DOWN = 0xD0;
constexpr BYTE DIK_NEXT = 0xD1;
constexpr BYTE DIK_INSERT = 0xD2;
constexpr BYTE DIK_DELETE = 0xD3;
constexpr BYTE DIK_LWIN = 0xDB;
constexpr BYTE DIK_RWIN = 0xDC;
constexpr BYTE DIK_APPS = 0xDD;
constexpr BYTE DIK_POWER = 0xDE;
constexpr BYTE DIK_SLEEP = 0xDF;
constexpr BYTE DIK_WAKE = 0xE3;
constexpr BYTE DIK_WEBSEARCH = 0xE5;
constexpr BYTE DIK_WEBFAVORITES = 0xE6;
constexpr BYTE DIK_WEBREFRESH = 0xE7;
constexpr BYTE DIK_WEBSTOP = 0xE8;
constexpr BYTE DIK_WEBFORWARD = 0xE9;
constexpr BYTE DIK_WEBBACK = 0xEA;
constexpr BYTE DIK_MYCOMPUTER = 0xEB;
constexpr BYTE DIK_MAIL = 0xEC;
constexpr BYTE DIK_MEDIASELECT = 0xED;

// Aliases of the original headers.
constexpr BYTE DIK_BACKSPACE = DIK_BACK;
constexpr BYTE DIK_NUMPADSTAR = DIK_MULTIPLY;
constexpr BYTE DIK_LALT = DIK_LMENU;
constexpr BYTE DIK_CAPSLOCK = DIK_CAPITAL;
constexpr BYTE DIK_NUMPADMINUS = DIK_SUBTRACT;
constexpr BYTE DIK_NUMPADPLUS = DIK_ADD;
constexpr BYTE DIK_NUMPADPERIOD = DIK_DECIMAL;
constexpr BYTE DIK_NUMPADSLASH = DIK_DIVIDE;
constexpr BYTE DIK_RALT = DIK_RMENU;
constexpr BYTE DIK_UPARROW = DIK_UP;
constexpr BYTE DIK_PGUP = DIK_PRIOR;
constexpr BYTE DIK_LEFTARROW = DIK_LEFT;
constexpr BYTE DIK_RIGHTARROW = DIK_RIGHT;
constexpr BYTE DIK_DOWNARROW = DIK_DOWN;
constexpr BYTE DIK_PGDN = DIK_NEXT;
constexpr BYTE DIK_CIRCUMFLEX = DIK_PREVTRACK;
