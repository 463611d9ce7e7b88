// Triangles through the software device as a game draws them: depth order in both depth
// formats, near-plane clipping, shared edges under additive blending, culling, perspective-
// correct texturing, the wire-frame and point fill modes, and fixed-function lighting.
#include "GfxTestSupport.h"

#include <cmath>

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
    int CountNot(D3DCOLOR color)
    {
        const Pixels frame = Frame();
        int count = 0;
        for (std::uint32_t p : frame.pixels)
            count += (p | 0xFF000000u) != color;
        return count;
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
            SCOPED_TRACE(std::string(format == D3DFMT_D16 ? "D16" : "D24S8") +
                         (redFirst ? ", red first" : ", green first"));
            Begin();
            Draw(D3DPT_TRIANGLELIST, kColorFvf, redFirst ? red : green, 1);
            Draw(D3DPT_TRIANGLELIST, kColorFvf, redFirst ? green : red, 1);
            const Pixels frame = Frame();
            EXPECT_EQ(Hex(frame.At(16, 10)), Hex(kRed));
            EXPECT_EQ(Hex(frame.At(47, 10)), Hex(kGreen));
            EXPECT_EQ(Hex(frame.At(30, 20)), Hex(kRed));
            EXPECT_EQ(Hex(frame.At(33, 20)), Hex(kGreen));
        }
    }
    // With the depth test off the later triangle covers the earlier one everywhere.
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    Begin();
    Draw(D3DPT_TRIANGLELIST, kColorFvf, red, 1);
    Draw(D3DPT_TRIANGLELIST, kColorFvf, green, 1);
    EXPECT_EQ(Hex(Frame().At(16, 10)), Hex(kGreen));
}

TEST_F(TriangleTest, TriangleCrossingTheNearPlaneIsClippedNotWrapped)
{
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, static_cast<float>(kWidth) / kHeight, 0.5f, 100.0f);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // A floor below the eye, one corner behind it: projected unclipped, that corner would
    // land above the horizon (y = -0.5 / -2 > 0) and drag the triangle over the upper half.
    Draw(D3DPT_TRIANGLELIST, kColorFvf,
         std::vector<ColorVertex>{{-1, -0.5f, 2, kRed}, {1, -0.5f, 2, kRed}, {0, -0.5f, -2, kRed}}, 1);
    const Pixels frame = Frame();
    for (int y = 0; y < kHeight / 2; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(Hex(frame.At(x, y)), Hex(kBackground)) << "at " << x << ", " << y;
    EXPECT_EQ(Hex(frame.At(kWidth / 2, kHeight - 1)), Hex(kRed)) << "the part in front reaches the bottom";
    EXPECT_EQ(Hex(frame.At(kWidth / 2, 37)), Hex(kRed));
}

TEST_F(TriangleTest, FanUnderAdditiveBlendingCoversEveryPixelOfItsAreaOnce)
{
    // Corners on pixel centres, so shared edges run through many centres: the tie rule decides.
    const float cx = 32, cy = 24;
    std::vector<ScreenVertex> fan = {{cx, cy, 0.5f, 1, 0xFF000040}};
    const float rim[][2] = {{20, 12}, {32, 8}, {46, 12}, {50, 24}, {44, 38}, {32, 40}, {18, 36}, {14, 24}, {20, 12}};
    for (const auto& p : rim)
        fan.push_back({p[0], p[1], 0.5f, 1, 0xFF000040});
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    Draw(D3DPT_TRIANGLEFAN, kScreenFvf, fan, 8);
    const Pixels frame = Frame();
    int covered = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t blue = frame.At(x, y) & 0xFF;
            ASSERT_TRUE(blue == 0 || blue == 0x40)
                << "pixel " << x << ", " << y << " drawn " << blue / 0x40 << " times";
            covered += blue == 0x40;
        }
    }
    // Every pixel whose centre is inside the rim, each once: the polygon's area, give or take
    // the centres lying on its outer boundary.
    double area = 0;
    for (int i = 0; i + 1 < 9; ++i)
        area += (rim[i][0] * rim[i + 1][1] - rim[i + 1][0] * rim[i][1]) / 2.0;
    EXPECT_NEAR(covered, area, 10);
    for (const auto& p : rim)
        EXPECT_EQ(frame.At(static_cast<int>((p[0] + cx) / 2), static_cast<int>((p[1] + cy) / 2)) & 0xFF, 0x40u);
}

TEST_F(TriangleTest, CullModesDropTheFacesTheyName)
{
    // Clockwise on screen (y down) is the front face under the default mode.
    const std::vector<ScreenVertex> clockwise = {{10, 10, 0, 1, kRed}, {50, 10, 0, 1, kRed}, {10, 40, 0, 1, kRed}};
    const std::vector<ScreenVertex> counter = {{10, 10, 0, 1, kRed}, {10, 40, 0, 1, kRed}, {50, 10, 0, 1, kRed}};
    struct Case {
        const char* what;
        DWORD mode; // 0: leave the default
        bool clockwiseDrawn, counterDrawn;
    };
    const Case cases[] = {{"default", 0, true, false},
                          {"CCW", D3DCULL_CCW, true, false},
                          {"CW", D3DCULL_CW, false, true},
                          {"none", D3DCULL_NONE, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.mode)
            m_device->SetRenderState(D3DRS_CULLMODE, c.mode);
        for (bool cw : {true, false}) {
            Begin();
            Draw(D3DPT_TRIANGLELIST, kScreenFvf, cw ? clockwise : counter, 1);
            EXPECT_EQ(Frame().At(15, 15) == kRed, cw ? c.clockwiseDrawn : c.counterDrawn)
                << (cw ? "clockwise" : "counter");
        }
    }
}

TEST_F(TriangleTest, CheckerboardOnASlantedFloorIsPerspectiveCorrect)
{
    const float fov = D3DX_PI / 2, aspect = static_cast<float>(kWidth) / kHeight;
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, fov, aspect, 0.5f, 100.0f);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    std::vector<std::uint32_t> checker(16);
    for (int i = 0; i < 16; ++i)
        checker[i] = ((i % 4 + i / 4) % 2) ? 0xFF000000 : 0xFFFFFFFF;
    IDirect3DTexture9* texture = MakeTexture(4, 4, checker);
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
    m_device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(TriangleTest, WireFrameDrawsTheEdgesAndPointModeTheCorners)
{
    const std::vector<ScreenVertex> triangle = {{8, 6, 0, 1, kRed}, {56, 6, 0, 1, kRed}, {8, 42, 0, 1, kRed}};
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    Draw(D3DPT_TRIANGLELIST, kScreenFvf, triangle, 1);
    Pixels frame = Frame();
    EXPECT_EQ(Hex(frame.At(20, 18)), Hex(kBackground)) << "inside stays empty";
    EXPECT_EQ(Hex(frame.At(30, 6)), Hex(kRed)) << "top edge";
    EXPECT_EQ(Hex(frame.At(8, 30)), Hex(kRed)) << "left edge";
    EXPECT_EQ(Hex(frame.At(32, 24)), Hex(kRed)) << "slanted edge";
    const int edges = CountNot(kBackground);
    EXPECT_GT(edges, 48 + 36);
    EXPECT_LT(edges, 48 + 36 + 50);

    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
    Begin();
    Draw(D3DPT_TRIANGLELIST, kScreenFvf, triangle, 1);
    frame = Frame();
    EXPECT_EQ(CountNot(kBackground), 3);
    EXPECT_EQ(Hex(frame.At(56, 6)), Hex(kRed));
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
    struct Case {
        const char* what;
        D3DCOLOR ambient;
        D3DCOLORVALUE materialAmbient, materialDiffuse;
        bool lightOn;
        DWORD diffuseSource;
        D3DCOLOR expected;
    };
    const Case cases[] = {
        {"no lights, ambient 0: black", 0, {1, 0, 0, 1}, {0, 1, 0, 1}, false, D3DMCS_MATERIAL, 0xFF000000},
        {"ambient white lights the ambient colour",
         0xFFFFFFFF,
         {1, 0, 0, 1},
         {0, 1, 0, 1},
         false,
         D3DMCS_MATERIAL,
         kRed},
        {"half ambient", 0xFF808080, {1, 1, 0, 1}, {0, 0, 0, 1}, false, D3DMCS_MATERIAL, 0xFF808000},
        {"a light square onto the face", 0, {0, 0, 0, 1}, {0, 1, 0, 1}, true, D3DMCS_MATERIAL, kGreen},
        {"diffuse from the vertex colour", 0, {0, 0, 0, 1}, {0, 1, 0, 1}, true, D3DMCS_COLOR1, blue},
    };
    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    m_device->SetLight(0, &light);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        D3DMATERIAL9 material{};
        material.Ambient = c.materialAmbient;
        material.Diffuse = c.materialDiffuse;
        m_device->SetMaterial(&material);
        m_device->SetRenderState(D3DRS_AMBIENT, c.ambient);
        m_device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, c.diffuseSource);
        m_device->LightEnable(0, c.lightOn);
        Begin();
        Draw(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, face, 1);
        EXPECT_LE(ChannelDistance(Frame().At(10, 10), c.expected), 1) << Hex(Frame().At(10, 10));
    }
}

} // namespace
