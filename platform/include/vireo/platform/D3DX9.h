// D3DX 9 as the engine calls it: vectors, matrices and colours (row vectors, left-handed),
// the sprite and the line, texture creation from image bytes with a colour key, and saving a
// surface as BMP. Fonts and meshes are declared in their own headers, included at the end.
#pragma once

#include <vireo/platform/D3D9.h>

// ---- maths types -------------------------------------------------------------------------
struct D3DXVECTOR2 {
    float x = 0, y = 0;
    D3DXVECTOR2() = default;
    D3DXVECTOR2(float x_, float y_) : x(x_), y(y_) {}
    D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return {x + v.x, y + v.y}; }
    D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return {x - v.x, y - v.y}; }
    D3DXVECTOR2 operator*(float s) const { return {x * s, y * s}; }
    bool operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
};

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() : D3DVECTOR{0, 0, 0} {}
    D3DXVECTOR3(float x_, float y_, float z_) : D3DVECTOR{x_, y_, z_} {}
    D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    D3DXVECTOR3 operator*(float s) const { return {x * s, y * s, z * s}; }
    D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
    D3DXVECTOR3& operator+=(const D3DXVECTOR3& v)
    {
        x += v.x, y += v.y, z += v.z;
        return *this;
    }
    bool operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
};

struct D3DXVECTOR4 {
    float x = 0, y = 0, z = 0, w = 0;
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    D3DXMATRIX(const D3DMATRIX& m_) : D3DMATRIX(m_) {}
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
               float m32, float m33, float m34, float m41, float m42, float m43, float m44);
    float& operator()(UINT row, UINT col) { return m[row][col]; }
    float operator()(UINT row, UINT col) const { return m[row][col]; }
    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
    D3DXMATRIX& operator*=(const D3DXMATRIX& other);
    bool operator==(const D3DXMATRIX& other) const;
};

// Four floats in [0,1] (not clamped); converts to and from a D3DCOLOR.
struct D3DXCOLOR {
    float r = 0, g = 0, b = 0, a = 0;
    D3DXCOLOR() = default;
    D3DXCOLOR(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    D3DXCOLOR(D3DCOLOR argb);
    operator D3DCOLOR() const;
    bool operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
};

using LPD3DXVECTOR2 = D3DXVECTOR2*;
using LPD3DXVECTOR3 = D3DXVECTOR3*;
using LPD3DXMATRIX = D3DXMATRIX*;

constexpr float D3DX_PI = 3.141592654f;

// ---- maths functions ---------------------------------------------------------------------
// Each returns its out argument, as D3DX does, so calls can be nested.
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
float D3DXMatrixDeterminant(const D3DXMATRIX* m);
// Null when the matrix cannot be inverted; determinant is optional.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixTransformation2D(D3DXMATRIX* out, const D3DXVECTOR2* scalingCenter, float scalingRotation,
                                       const D3DXVECTOR2* scaling, const D3DXVECTOR2* rotationCenter, float rotation,
                                       const D3DXVECTOR2* translation);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float width, float height, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf);

float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float D3DXVec3Length(const D3DXVECTOR3* v);
// A zero vector stays zero.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s);
// (x, y, z, 1) * m divided by the resulting w.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// (x, y, z, 0) * m: directions, no translation.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR3* D3DXVec3TransformCoordArray(D3DXVECTOR3* out, UINT outStride, const D3DXVECTOR3* v, UINT vStride,
                                         const D3DXMATRIX* m, UINT count);
D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m);
float D3DXVec2Length(const D3DXVECTOR2* v);

// ---- texture loading and saving ----------------------------------------------------------
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFF;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFE;
constexpr UINT D3DX_FROM_FILE = 0xFFFFFFFD;
constexpr D3DFORMAT D3DFMT_FROM_FILE = static_cast<D3DFORMAT>(0xFFFFFFFD);

constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x10000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x20000;
constexpr DWORD D3DX_FILTER_MIRROR_W = 0x40000;
constexpr DWORD D3DX_FILTER_MIRROR = 0x70000;
constexpr DWORD D3DX_FILTER_DITHER = 0x80000;
constexpr DWORD D3DX_FILTER_DITHER_DIFFUSION = 0x100000;
constexpr DWORD D3DX_FILTER_SRGB_IN = 0x200000;
constexpr DWORD D3DX_FILTER_SRGB_OUT = 0x400000;
constexpr DWORD D3DX_FILTER_SRGB = 0x600000;

enum D3DXIMAGE_FILEFORMAT : DWORD {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8,
};

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

constexpr HRESULT D3DXERR_CANNOTMODIFYINDEXBUFFER = MAKE_D3DHRESULT(2900);
constexpr HRESULT D3DXERR_INVALIDMESH = MAKE_D3DHRESULT(2901);
constexpr HRESULT D3DXERR_CANNOTATTRSORT = MAKE_D3DHRESULT(2902);
constexpr HRESULT D3DXERR_SKINNINGNOTSUPPORTED = MAKE_D3DHRESULT(2903);
constexpr HRESULT D3DXERR_TOOMANYINFLUENCES = MAKE_D3DHRESULT(2904);
constexpr HRESULT D3DXERR_INVALIDDATA = MAKE_D3DHRESULT(2905);
constexpr HRESULT D3DXERR_LOADEDMESHASNODATA = MAKE_D3DHRESULT(2906);
constexpr HRESULT D3DXERR_DUPLICATENAMEDFRAGMENT = MAKE_D3DHRESULT(2907);
constexpr HRESULT D3DXERR_CANNOTREMOVELASTITEM = MAKE_D3DHRESULT(2908);

// Decodes PNG, JPEG, BMP/DIB, TGA or DDS bytes into a one-level A8R8G8B8 texture. Texels equal
// to colorKey (alpha included; 0 disables) become transparent black 0x00000000.
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT dataSize, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                            PALETTEENTRY* palette, IDirect3DTexture9** texture);
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT dataSize, D3DXIMAGE_INFO* info);
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);
// Regenerates the levels below srcLevel; a one-level texture has none, so this validates only.
HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* texture, const PALETTEENTRY* palette, UINT srcLevel, DWORD filter);
// Writes a 32-bit BMP whatever format or extension is asked for (the only writer this layer has).
HRESULT D3DXSaveSurfaceToFileW(LPCWSTR path, D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* surface,
                               const PALETTEENTRY* palette, const RECT* srcRect);

// ---- sprite ------------------------------------------------------------------------------
constexpr DWORD D3DXSPRITE_DONOTSAVESTATE = 0x1;
constexpr DWORD D3DXSPRITE_DONOTMODIFY_RENDERSTATE = 0x2;
constexpr DWORD D3DXSPRITE_OBJECTSPACE = 0x4;
constexpr DWORD D3DXSPRITE_BILLBOARD = 0x8;
constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;
constexpr DWORD D3DXSPRITE_SORT_TEXTURE = 0x20;
constexpr DWORD D3DXSPRITE_SORT_DEPTH_FRONTTOBACK = 0x40;
constexpr DWORD D3DXSPRITE_SORT_DEPTH_BACKTOFRONT = 0x80;
constexpr DWORD D3DXSPRITE_DO_NOT_ADDREF_TEXTURE = 0x100;

struct ID3DXSprite : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT GetTransform(D3DXMATRIX* transform) = 0;
    virtual HRESULT SetTransform(const D3DXMATRIX* transform) = 0;
    virtual HRESULT Begin(DWORD flags) = 0;
    virtual HRESULT Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3* center,
                         const D3DXVECTOR3* position, D3DCOLOR color) = 0;
    virtual HRESULT Flush() = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
using LPD3DXSPRITE = ID3DXSprite*;

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite);

// ---- line --------------------------------------------------------------------------------
struct ID3DXLine : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT Begin() = 0;
    virtual HRESULT Draw(const D3DXVECTOR2* vertices, DWORD count, D3DCOLOR color) = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT SetWidth(float width) = 0;
    virtual float GetWidth() = 0;
    virtual HRESULT SetPattern(DWORD pattern) = 0;
    virtual DWORD GetPattern() = 0;
    virtual HRESULT SetPatternScale(float scale) = 0;
    virtual float GetPatternScale() = 0;
    virtual HRESULT SetAntialias(BOOL antialias) = 0;
    virtual BOOL GetAntialias() = 0;
    virtual HRESULT SetGLLines(BOOL glLines) = 0;
    virtual BOOL GetGLLines() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
using LPD3DXLINE = ID3DXLine*;

HRESULT D3DXCreateLine(IDirect3DDevice9* device, ID3DXLine** line);

// ---- font and mesh -----------------------------------------------------------------------
#include <vireo/platform/D3DX9Font.h>
#include <vireo/platform/D3DX9Mesh.h>
