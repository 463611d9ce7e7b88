// Triangles through the software device as a game draws them: depth order and states in both
// depth formats, near- and far-plane clipping, culling, perspective-correct texturing, the
// wire-frame and point fill modes and line lists, lighting, and one exact square from every draw
// call and a fan under additive blending (the top-left rule, shared edges drawn once).
#include "GfxTestSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <tuple>

using namespace vireo::gfxtest;

namespace {

struct ColorVertex {
    float x, y, z;
    D3DCOLOR color;
};
constexpr DWORD kColorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

constexpr D3DCOLOR kBackground = 0xFF202020;
constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;

class TriangleTest : public DeviceTest {
  protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        Begin();
    }
    void Begin()
    {
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0), D3D_OK);
    }
    template <class Vertex> void Draw(D3DPRIMITIVETYPE type, DWORD fvf, const std::vector<Vertex>& v, UINT count)
    {
        ASSERT_EQ(m_device->SetFVF(fvf), D3D_OK);
        ASSERT_EQ(m_device->DrawPrimitiveUP(type, count, v.data(), sizeof(Vertex)), D3D_OK);
    }
    long CountNot(D3DCOLOR color)
    {
        const Pixels frame = Frame();
        return std::count_if(frame.pixels.begin(), frame.pixels.end(),
                             [&](std::uint32_t p) { return (p | 0xFF000000u) != color; });
    }
};

TEST_F(TriangleTest, InterpenetratingTrianglesShowTheNearerOneOnEachSideInBothDepthFormats)
{
    // Both span the same band; red's depth rises left to right, green's falls, so they cross
    // at the middle column whichever is drawn first.
    const std::vector<ColorVertex> red = {{-1, 0.8f, 0.2f, kRed}, {1, 0.8f, 0.8f, kRed}, {0, -0.8f, 0.5f, kRed}};
    const std::vector<ColorVertex> green = {
        {-1, 0.8f, 0.8f, kGreen}, {1, 0.8f, 0.2f, kGreen}, {0, -0.8f, 0.5f, kGreen}};
    for (D3DFORMAT format : {D3DFMT_D24S8, D3DFMT_D16}) {
        D3DPRESENT_PARAMETERS pp = PresentParams(m_window, kWidth, kHeight, TRUE, format);
        ASSERT_EQ(m_device->Reset(&pp), D3D_OK);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        for (bool redFirst : {true, false}) {
            SCOPED_TRACE(testing::Message() << "format " << format << (redFirst ? ", red first" : ", green first"));
            Begin();
            Draw(D3DPT_TRIANGLELIST, kColorFvf, redFirst ? red : green, 1);
            Draw(D3DPT_TRIANGLELIST, kColorFvf, redFirst ? green : red, 1);
            const Pixels frame = Frame();
            for (const auto& [x, y, color] :
                 {std::tuple{16, 10, kRed}, {47, 10, kGreen}, {30, 20, kRed}, {33, 20, kGreen}})
                EXPECT_EQ(Hex(frame.At(x, y)), Hex(color)) << x << ", " << y;
        }
    }
    // With the depth test off, always passing or not written, the later triangle covers the
    // earlier one everywhere.
    for (const auto& [state, off, on] : {std::tuple{D3DRS_ZENABLE, DWORD{D3DZB_FALSE}, DWORD{D3DZB_TRUE}},
                                         {D3DRS_ZFUNC, DWORD{D3DCMP_ALWAYS}, DWORD{D3DCMP_LESSEQUAL}},
                                         {D3DRS_ZWRITEENABLE, DWORD{FALSE}, DWORD{TRUE}}}) {
        m_device->SetRenderState(state, off);
        Begin();
        Draw(D3DPT_TRIANGLELIST, kColorFvf, red, 1);
        Draw(D3DPT_TRIANGLELIST, kColorFvf, green, 1);
        EXPECT_EQ(Hex(Frame().At(16, 10)), Hex(kGreen)) << "render state " << state;
        m_device->SetRenderState(state, on);
    }
}

TEST_F(TriangleTest, TrianglesAreClippedAtTheNearAndFarPlanesNotWrapped)
{
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, static_cast<float>(kWidth) / kHeight, 0.5f, 100.0f);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // A floor just below the eye, one corner behind it (unclipped, it would land above the
    // horizon): it shows from z = 2 (row 25.2) to the near plane z = 0.5 (row 28.8), no nearer.
    Draw(D3DPT_TRIANGLELIST, kColorFvf,
         std::vector<ColorVertex>{{-1, -0.1f, 2, kRed}, {1, -0.1f, 2, kRed}, {0, -0.1f, -2, kRed}}, 1);
    const Pixels frame = Frame();
    for (int y = 0; y < kHeight; ++y) {
        const bool shown = y >= 26 && y <= 28; // of these rows, the middle column is checked
        for (int x = shown ? kWidth / 2 : 0; x < (shown ? kWidth / 2 + 1 : kWidth); ++x)
            ASSERT_EQ(Hex(frame.At(x, y)), Hex(shown ? kRed : kBackground)) << x << ", " << y;
    }

    // Corners a hundred thousand screens out are cut at the guard band, not dropped or wrapped.
    D3DXMATRIX identity;
    m_device->SetTransform(D3DTS_PROJECTION, D3DXMatrixIdentity(&identity));
    Begin();
    Draw(D3DPT_TRIANGLELIST, kColorFvf,
         std::vector<ColorVertex>{{-1e5f, 1e5f, 0.5f, kRed}, {1e5f, 1e5f, 0.5f, kRed}, {0, -1e5f, 0.5f, kRed}}, 1);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE); // the far one would fail the depth test anyway
    Draw(D3DPT_TRIANGLELIST, kColorFvf,
         std::vector<ColorVertex>{{-1, 1, 1.5f, kGreen}, {1, 1, 1.5f, kGreen}, {0, -1, 1.5f, kGreen}}, 1);
    EXPECT_EQ(CountNot(kRed), 0) << "the whole target is inside; the green triangle past the far plane is cut";
}

TEST_F(TriangleTest, CullModesDropTheFacesTheyName)
{
    // Clockwise on screen (y down) is the front face the default mode keeps: every other test
    // here draws it, and the engine's cube shows only its front faces.
    const std::vector<ScreenVertex> clockwise = {{10, 10, 0, 1, kRed}, {50, 10, 0, 1, kRed}, {10, 40, 0, 1, kRed}};
    const std::vector<ScreenVertex> counter = {{10, 10, 0, 1, kRed}, {10, 40, 0, 1, kRed}, {50, 10, 0, 1, kRed}};
    for (const auto& [mode, clockwiseDrawn] : {std::pair{DWORD{D3DCULL_CW}, false}, {DWORD{D3DCULL_NONE}, true}}) {
        m_device->SetRenderState(D3DRS_CULLMODE, mode);
        for (bool cw : {true, false}) {
            Begin();
            Draw(D3DPT_TRIANGLELIST, kScreenFvf, cw ? clockwise : counter, 1);
            EXPECT_EQ(Frame().At(15, 15) == kRed, cw ? clockwiseDrawn : true)
                << "mode " << mode << (cw ? ", clockwise" : ", counter");
        }
    }
}

TEST_F(TriangleTest, CheckerboardOnASlantedFloorIsPerspectiveCorrect)
{
    const float fov = D3DX_PI / 2, aspect = static_cast<float>(kWidth) / kHeight;
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, fov, aspect, 0.5f, 100.0f);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    const std::uint32_t w = 0xFFFFFFFF, k = 0xFF000000;
    IDirect3DTexture9* texture = MakeTexture(4, 4, {w, k, w, k, k, w, k, w, w, k, w, k, k, w, k, w});
    ASSERT_NE(texture, nullptr);
    m_device->SetTexture(0, texture);
    struct TexVertex {
        float x, y, z, u, v;
    };
    // The floor y = -1 from z = 1 to z = 9, u across, v into the distance.
    const float nearZ = 1, farZ = 9;
    const std::vector<TexVertex> floor = {
        {-2, -1, farZ, 0, 1}, {2, -1, farZ, 1, 1}, {-2, -1, nearZ, 0, 0}, {2, -1, nearZ, 1, 0}};
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Draw(D3DPT_TRIANGLESTRIP, D3DFVF_XYZ | D3DFVF_TEX1, floor, 2);
    const Pixels frame = Frame();
    // Each pixel centre's ray meets the floor at a point whose checker colour is known.
    const double yScale = 1 / std::tan(fov / 2), xScale = yScale / aspect;
    int checked = 0;
    for (int py = kHeight / 2 + 1; py < kHeight; ++py) {
        for (int px = 0; px < kWidth; ++px) {
            const double ndcX = 2.0 * px / kWidth - 1, ndcY = 1 - 2.0 * py / kHeight;
            const double z = -1 / (ndcY / yScale), x = z * ndcX / xScale;
            const double u = (x + 2) / 4 * 4, v = (z - nearZ) / (farZ - nearZ) * 4;
            if (z < nearZ || z > farZ || u <= 0 || u >= 4 || std::fabs(u - std::round(u)) < 0.15 ||
                std::fabs(v - std::round(v)) < 0.15)
                continue;
            const bool black = (static_cast<int>(u) + static_cast<int>(v)) % 2 != 0;
            ASSERT_EQ(Hex(frame.At(px, py)), Hex(black ? 0xFF000000 : 0xFFFFFFFF)) << "at " << px << ", " << py;
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
    texture->Release(); // the device holds it until its end
}

TEST_F(TriangleTest, WireFrameAndLineListsDrawTheEdgesAndPointModeTheCorners)
{
    const std::vector<ScreenVertex> triangle = {{8, 6, 0, 1, kRed}, {56, 6, 0, 1, kRed}, {8, 42, 0, 1, kRed}};
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    Draw(D3DPT_TRIANGLELIST, kScreenFvf, triangle, 1);
    const Pixels frame = Frame();
    // inside stays empty; the top, left and slanted edges are drawn
    for (const auto& [x, y, color] : {std::tuple{20, 18, kBackground}, {30, 6, kRed}, {8, 30, kRed}, {32, 24, kRed}})
        EXPECT_EQ(Hex(frame.At(x, y)), Hex(color)) << x << ", " << y;
    const long edges = CountNot(kBackground); // the legs (48 + 36 pixels) and the slanted edge
    EXPECT_TRUE(edges > 48 + 36 && edges < 48 + 36 + 50) << edges;
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    Begin();
    Draw(D3DPT_LINELIST, kScreenFvf,
         std::vector{triangle[0], triangle[1], triangle[1], triangle[2], triangle[2], triangle[0]}, 3);
    EXPECT_TRUE(Frame().pixels == frame.pixels) << "a line list of the three edges draws the same wire frame";

    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
    Begin();
    Draw(D3DPT_TRIANGLELIST, kScreenFvf, triangle, 1);
    EXPECT_EQ(CountNot(kBackground), 3);
    EXPECT_EQ(Hex(Frame().At(56, 6)), Hex(kRed));
}

TEST_F(TriangleTest, FixedFunctionLightingOfAFaceTowardsTheViewer)
{
    struct LitVertex {
        float x, y, z, nx, ny, nz;
        D3DCOLOR color;
    };
    const D3DCOLOR blue = 0xFF0000FF;
    const std::vector<LitVertex> face = {
        {-1, 1, 0.5f, 0, 0, -1, blue}, {1, 1, 0.5f, 0, 0, -1, blue}, {-1, -1, 0.5f, 0, 0, -1, blue}};
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1}; // shining away from the viewer, onto the face
    D3DMATERIAL9 material{};
    material.Ambient = {1, 0, 0, 1};
    material.Diffuse = {0, 1, 0, 1};
    m_device->SetMaterial(&material);
    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    m_device->SetLight(0, &light);
    // Black without lights is pinned through the engine's cube, and its meshes' ambient equals
    // their diffuse colour: here a material's own ambient colour, and a light square onto the
    // face showing the diffuse colour, the material's or the vertices'.
    const std::tuple<const char*, D3DCOLOR, bool, DWORD, D3DCOLOR> cases[] = {
        {"ambient white only: the ambient colour", 0xFFFFFFFF, false, D3DMCS_MATERIAL, kRed},
        {"a light: the material's diffuse colour", 0, true, D3DMCS_MATERIAL, kGreen},
        {"a light: the vertex colour", 0, true, D3DMCS_COLOR1, blue},
    };
    for (const auto& [what, ambient, lightOn, source, expected] : cases) {
        m_device->SetRenderState(D3DRS_AMBIENT, ambient);
        m_device->LightEnable(0, lightOn);
        m_device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, source);
        Begin();
        Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, face, 1);
        EXPECT_LE(ChannelDistance(Frame().At(10, 10), expected), 1) << what << ": " << Hex(Frame().At(10, 10));
    }

    // A point light falls off with distance and stops at its range; the diffuse colour is still
    // the blue vertices' (the loop's last source).
    light.Type = D3DLIGHT_POINT;
    light.Attenuation1 = 1; // 1 / distance
    // distance, range, blue level at the face's corner under the light
    const std::tuple<float, float, int> points[] = {{1, 100, 255}, {2, 100, 128}, {4, 100, 64}, {4, 3, 0}};
    for (const auto& [distance, range, expected] : points) {
        SCOPED_TRACE("distance " + std::to_string(distance) + ", range " + std::to_string(range));
        light.Position = {-1, 1, 0.5f - distance};
        light.Range = range;
        ASSERT_EQ(m_device->SetLight(0, &light), D3D_OK); // an enabled light stays enabled
        Begin();
        Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, face, 1);
        // The top-left pixel sits almost on the lit corner; Gouraud keeps it within a step.
        EXPECT_LE(std::abs(static_cast<int>(Frame().At(0, 0) & 0xFF) - expected), 4) << Hex(Frame().At(0, 0));
    }
}

TEST_F(TriangleTest, BufferIndexedAndFanDrawsCoverTheSameSquareExactlyOnce)
{
    // The square [10, 30) x [10, 30): 400 pixel centres on the top-left rule. Drawn adding
    // 0x40 red, a pixel two triangles both claimed would show 0x80.
    const D3DCOLOR add = 0xFF400000, once = 0xFF602020;
    const ScreenVertex tl{10, 10, 0, 1, add}, tr{30, 10, 0, 1, add}, bl{10, 30, 0, 1, add}, br{30, 30, 0, 1, add};
    const std::vector<ScreenVertex> corners = {tl, tr, bl, br};
    // Eight triangles round the centre, every inner edge shared by two of them.
    const std::vector<ScreenVertex> fan = {{20, 20, 0, 1, add}, tl, {20, 10, 0, 1, add}, tr, {30, 20, 0, 1, add}, br,
                                           {20, 30, 0, 1, add}, bl, {10, 20, 0, 1, add}, tl};
    const std::uint16_t list16[] = {0, 1, 2, 2, 1, 3};
    // Past 16 bits, brought back by a negative base vertex: read as 16-bit, nothing would draw.
    const std::uint32_t list32[] = {0x10000, 0x10001, 0x10002, 0x10002, 0x10001, 0x10003};
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9 *ib16 = nullptr, *ib32 = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(5 * sizeof(ScreenVertex), 0, kScreenFvf, D3DPOOL_MANAGED, &vb, nullptr),
              D3D_OK);
    ASSERT_EQ(m_device->CreateIndexBuffer(sizeof list16, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib16, nullptr), D3D_OK);
    ASSERT_EQ(m_device->CreateIndexBuffer(sizeof list32, 0, D3DFMT_INDEX32, D3DPOOL_DEFAULT, &ib32, nullptr), D3D_OK);
    // One spare vertex in front, so the indexed draws need their base vertex.
    auto fill = [](auto* buffer, UINT at, const void* from, std::size_t size) {
        void* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(static_cast<std::uint8_t*>(data) + at, from, size);
        buffer->Unlock();
    };
    fill(vb, sizeof(ScreenVertex), corners.data(), 4 * sizeof(ScreenVertex));
    fill(ib16, 0, list16, sizeof list16);
    fill(ib32, 0, list32, sizeof list32);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);

    // Lists and strips from memory are the other tests' shapes; here the buffer paths and a fan.
    const UINT stride = sizeof(ScreenVertex);
    const char* names[] = {"strip from a buffer", "indexed 16", "indexed 32", "indexed UP", "fan"};
    for (int kind = 0; kind < 5; ++kind) {
        SCOPED_TRACE(names[kind]);
        Begin();
        m_device->SetFVF(kScreenFvf);
        m_device->SetStreamSource(0, vb, 0, stride);
        m_device->SetIndices(kind == 2 ? ib32 : ib16);
        EXPECT_EQ(kind == 0 ? m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2)
                  : kind < 3
                      ? m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, kind == 2 ? 1 - 0x10000 : 1, 0, 4, 0, 2)
                  : kind == 3 ? m_device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, list16, D3DFMT_INDEX16,
                                                                 corners.data(), stride)
                              : m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 8, fan.data(), stride),
                  D3D_OK);
        const Pixels frame = Frame();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(Hex(frame.At(x, y)), Hex(x >= 10 && x < 30 && y >= 10 && y < 30 ? once : kBackground))
                    << "at " << x << ", " << y;
    }
    m_device->SetIndices(nullptr);
    EXPECT_EQ(ib32->Release(), 0u);
    EXPECT_EQ(ib16->Release(), 0u);
    EXPECT_EQ(vb->Release(), 0u);
}

TEST_F(TriangleTest, ShadingAddressingAlphaTestAndViewport)
{
    struct TexturedVertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    // Texture coordinates from 0 to 2 across a 40-pixel-wide quad on a black | white texture.
    auto quad = [](D3DCOLOR c0, D3DCOLOR c1) {
        return std::vector<TexturedVertex>{
            {8, 8, 0, 1, c0, 0, 0}, {48, 8, 0, 1, c1, 2, 0}, {8, 40, 0, 1, c1, 0, 1}, {48, 40, 0, 1, c1, 2, 1}};
    };
    IDirect3DTexture9* texture = MakeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
    ASSERT_NE(texture, nullptr);
    const DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    const D3DCOLOR white = 0xFFFFFFFF, black = 0xFF000000;
    // what, textured, address, shade, alpha reference, corner colours, columns sampled on row
    // 20 and the colours there
    const std::tuple<const char*, bool, DWORD, DWORD, DWORD, D3DCOLOR, D3DCOLOR, std::array<int, 4>,
                     std::array<D3DCOLOR, 4>>
        cases[] = {
            // clang-format off
        {"wrap repeats", true, D3DTADDRESS_WRAP, D3DSHADE_GOURAUD, 0, white, white,
         {12, 22, 32, 42}, {black, white, black, white}},
        {"clamp holds the edge", true, D3DTADDRESS_CLAMP, D3DSHADE_GOURAUD, 0, white, white,
         {12, 22, 32, 42}, {black, white, white, white}},
        // The strip's second triangle (columns right of the diagonal) starts at a green vertex.
        {"flat takes each triangle's first vertex", false, 0, D3DSHADE_FLAT, 0, kRed, kGreen,
         {9, 30, 46, 20}, {kRed, kRed, kGreen, kRed}},
        // Column 9 of row 20 is 3/8 of the way from the red corner to a green one.
        {"gouraud blends", false, 0, D3DSHADE_GOURAUD, 0, kRed, kGreen,
         {9, 46, 46, 46}, {0xFF996600, kGreen, kGreen, kGreen}},
        {"alpha test drops alpha 0x80 under 0x90", false, 0, D3DSHADE_GOURAUD, 0x90, 0x80FF0000, 0x80FF0000,
         {9, 30, 46, 20}, {kBackground, kBackground, kBackground, kBackground}},
            // clang-format on
        };
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE); // the alpha test reads the vertex alpha
    for (const auto& [what, textured, address, shade, alphaRef, c0, c1, px, expected] : cases) {
        SCOPED_TRACE(what);
        m_device->SetTexture(0, textured ? texture : nullptr);
        m_device->SetSamplerState(0, D3DSAMP_ADDRESSU, textured ? address : D3DTADDRESS_WRAP);
        m_device->SetRenderState(D3DRS_SHADEMODE, shade);
        m_device->SetRenderState(D3DRS_ALPHATESTENABLE, alphaRef != 0);
        m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        m_device->SetRenderState(D3DRS_ALPHAREF, alphaRef);
        Begin();
        Draw(D3DPT_TRIANGLESTRIP, fvf, quad(c0, c1), 2);
        const Pixels frame = Frame();
        for (int i = 0; i < 4; ++i)
            EXPECT_LE(ChannelDistance(frame.At(px[i], 20), expected[i]), 2)
                << "column " << px[i] << ": " << Hex(frame.At(px[i], 20));
    }
    texture->Release(); // the device holds it until its end

    // A viewport on the right half: NDC -1..1 lands there, and a clear stays inside it.
    Begin();
    const D3DVIEWPORT9 right{kWidth / 2, 0, kWidth / 2, kHeight, 0, 1};
    ASSERT_EQ(m_device->SetViewport(&right), D3D_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kGreen, 1, 0), D3D_OK);
    Draw(D3DPT_TRIANGLESTRIP, kColorFvf,
         std::vector<ColorVertex>{{-1, 1, 0.5f, kRed}, {1, 1, 0.5f, kRed}, {-1, -1, 0.5f, kRed}, {1, -1, 0.5f, kRed}},
         2);
    const Pixels frame = Frame();
    EXPECT_EQ(Hex(frame.At(kWidth / 2 - 1, 20)), Hex(kBackground));
    EXPECT_EQ(Hex(frame.At(kWidth / 2, 20)), Hex(kRed));
    EXPECT_EQ(Hex(frame.At(kWidth - 1, kHeight - 1)), Hex(kRed));
}

} // namespace
