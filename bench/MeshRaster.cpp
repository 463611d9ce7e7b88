// 3D drawing speed: a 10,000-triangle lit, textured torus with depth (about 40% of an 800x600
// target) and a lit, vertex-coloured cube, drawn through the software Direct3D 9 device and, in
// the same run, through Mesa's off-screen OpenGL renderer with one rasterizer thread, the same
// geometry and the same fixed-function state. Before timing, the two pictures of each scene are
// compared; figures are ms per frame (clear, draw, finish) and triangles submitted per second.
#include "common/HostWindow.h"

#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3D9Testing.h>
#include <vireo/platform/D3DX9.h>
#include <vireo/platform/Win32.h>

#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr D3DCOLOR kClear = 0xFF203040u;
constexpr float kPi = 3.14159265358979f;
// The pictures agree when the mean channel difference and the share of pixels with a channel
// off by more than kBigDifference stay under these bounds: edges may fall either way on the
// other renderer's pixel grid, and the two light and round colours in their own ways.
constexpr double kMaxMeanDifference = 1.5;
constexpr int kBigDifference = 24;
constexpr double kMaxBigShare = 0.01;

struct MeshVertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kMeshFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// One scene: geometry, camera and object transform, whether it is textured, and its material.
struct Scene {
    const char* name;
    std::vector<MeshVertex> vertices;
    std::vector<std::uint16_t> indices;
    D3DXMATRIX world, view, projection;
    bool textured;
    bool vertexColors; // diffuse from the vertex colour, else from the material
};

// A torus of 100 x 50 quads (10,000 triangles), seen from above and in front.
Scene TorusScene()
{
    Scene s{"torus", {}, {}, {}, {}, {}, true, false};
    const int major = 100, minor = 50;
    const float R = 1.0f, r = 0.42f;
    for (int i = 0; i <= major; ++i) {
        const float a = 2 * kPi * i / major;
        for (int j = 0; j <= minor; ++j) {
            const float b = 2 * kPi * j / minor;
            const float nx = std::cos(a) * std::cos(b), ny = std::sin(b), nz = std::sin(a) * std::cos(b);
            s.vertices.push_back({(R + r * std::cos(b)) * std::cos(a), r * std::sin(b),
                                  (R + r * std::cos(b)) * std::sin(a), nx, ny, nz, 0xFFFFFFFF, 4.0f * i / major,
                                  2.0f * j / minor});
        }
    }
    for (int i = 0; i < major; ++i) {
        for (int j = 0; j < minor; ++j) {
            const auto v00 = static_cast<std::uint16_t>(i * (minor + 1) + j);
            const auto v10 = static_cast<std::uint16_t>(v00 + minor + 1);
            const auto v01 = static_cast<std::uint16_t>(v00 + 1), v11 = static_cast<std::uint16_t>(v10 + 1);
            s.indices.insert(s.indices.end(), {v00, v01, v10, v10, v01, v11});
        }
    }
    D3DXMatrixRotationYawPitchRoll(&s.world, 0.3f, 0.0f, 0.25f);
    const D3DXVECTOR3 eye(0, 1.9f, -3.1f), at(0, -0.1f, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&s.view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&s.projection, kPi / 4, static_cast<float>(kWidth) / kHeight, 0.5f, 50.0f);
    return s;
}

// The engine's cube: six faces of their own colour, turned to show three, seen from (0, 0, -5).
Scene CubeScene()
{
    Scene s{"cube", {}, {}, {}, {}, {}, false, true};
    const D3DCOLOR colors[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    // Each face: normal and two edge directions chosen so the corners run clockwise seen from outside.
    const float faces[6][9] = {{0, 0, -1, 1, 0, 0, 0, 1, 0},  {0, 0, 1, -1, 0, 0, 0, 1, 0},
                               {-1, 0, 0, 0, 0, -1, 0, 1, 0}, {1, 0, 0, 0, 0, 1, 0, 1, 0},
                               {0, 1, 0, 1, 0, 0, 0, 0, 1},   {0, -1, 0, 1, 0, 0, 0, 0, -1}};
    for (int f = 0; f < 6; ++f) {
        const float* n = faces[f];
        const float* e = faces[f] + 3;
        const float* g = faces[f] + 6;
        const auto base = static_cast<std::uint16_t>(s.vertices.size());
        const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
        for (const auto& c : corners) {
            s.vertices.push_back({n[0] + c[0] * e[0] + c[1] * g[0], n[1] + c[0] * e[1] + c[1] * g[1],
                                  n[2] + c[0] * e[2] + c[1] * g[2], n[0], n[1], n[2], colors[f], 0, 0});
        }
        s.indices.insert(s.indices.end(),
                         {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2), base,
                          static_cast<std::uint16_t>(base + 2), static_cast<std::uint16_t>(base + 3)});
    }
    D3DXMatrixRotationYawPitchRoll(&s.world, 0.6f, 0.45f, 0.0f);
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&s.view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&s.projection, kPi / 4, static_cast<float>(kWidth) / kHeight, 1.0f, 100.0f);
    return s;
}

// A 256x256 texture of soft checks, opaque.
std::vector<std::uint32_t> TexturePixels()
{
    std::vector<std::uint32_t> pixels(256 * 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool check = ((x / 32) + (y / 32)) % 2 != 0;
            const auto r = static_cast<std::uint32_t>(check ? 230 : 60 + x / 4);
            const auto g = static_cast<std::uint32_t>(check ? 200 : 90 + y / 4);
            const auto b = static_cast<std::uint32_t>(check ? 120 : 200);
            pixels[y * 256 + x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return pixels;
}

constexpr D3DCOLORVALUE kLightDiffuse{1.0f, 0.95f, 0.9f, 1.0f};
const D3DVECTOR kLightDirection{0.4f, -0.7f, 0.6f}; // world space, the way the light travels
constexpr D3DCOLOR kAmbient = 0xFF404040;           // D3DRS_AMBIENT
constexpr D3DCOLORVALUE kMaterial{1.0f, 1.0f, 1.0f, 1.0f};

class Renderer {
  public:
    virtual ~Renderer() = default;
    virtual void Frame() = 0;
    virtual std::vector<std::uint32_t> Pixels() = 0;
};

// The engine's road: the software device, a managed vertex and index buffer, one indexed draw.
class DeviceRenderer final : public Renderer {
  public:
    explicit DeviceRenderer(const Scene& scene) : m_scene(scene)
    {
        m_window = vireo::test::CreateHostWindow(kWidth, kHeight);
        D3DPRESENT_PARAMETERS pp = vireo::test::PresentParams(m_window, kWidth, kHeight, TRUE, D3DFMT_D24S8);
        const UINT vertexBytes = static_cast<UINT>(scene.vertices.size() * sizeof(MeshVertex));
        const UINT indexBytes = static_cast<UINT>(scene.indices.size() * 2);
        if (FAILED(vireo::test::CreateSoftwareDevice(pp, &m_d3d, &m_device)) ||
            FAILED(m_device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, kMeshFvf, D3DPOOL_MANAGED, &m_vb,
                                                nullptr)) ||
            FAILED(m_device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ib,
                                               nullptr)) ||
            FAILED(D3DXCreateTexture(m_device, 256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture))) {
            std::fprintf(stderr, "device renderer: the software device could not be set up\n");
            std::exit(1);
        }
        void* data = nullptr;
        m_vb->Lock(0, 0, &data, 0);
        std::memcpy(data, scene.vertices.data(), vertexBytes);
        m_vb->Unlock();
        m_ib->Lock(0, 0, &data, 0);
        std::memcpy(data, scene.indices.data(), indexBytes);
        m_ib->Unlock();
        const std::vector<std::uint32_t> texels = TexturePixels();
        D3DLOCKED_RECT locked{};
        m_texture->LockRect(0, &locked, nullptr, 0);
        for (int y = 0; y < 256; ++y)
            std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                        texels.data() + y * 256, 256 * 4);
        m_texture->UnlockRect(0);
    }
    ~DeviceRenderer() override
    {
        m_texture->Release();
        m_ib->Release();
        m_vb->Release();
        m_device->Release();
        m_d3d->Release();
        DestroyWindow(m_window);
    }
    void Frame() override
    {
        IDirect3DDevice9* d = m_device;
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
        d->BeginScene();
        d->SetTransform(D3DTS_WORLD, &m_scene.world);
        d->SetTransform(D3DTS_VIEW, &m_scene.view);
        d->SetTransform(D3DTS_PROJECTION, &m_scene.projection);
        D3DMATERIAL9 material{};
        material.Diffuse = material.Ambient = kMaterial;
        d->SetMaterial(&material);
        d->SetRenderState(D3DRS_AMBIENT, kAmbient);
        d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, m_scene.vertexColors ? D3DMCS_COLOR1 : D3DMCS_MATERIAL);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = kLightDiffuse;
        light.Direction = kLightDirection;
        d->SetLight(0, &light);
        d->LightEnable(0, TRUE);
        d->SetTexture(0, m_scene.textured ? m_texture : nullptr);
        d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        d->SetFVF(kMeshFvf);
        d->SetStreamSource(0, m_vb, 0, sizeof(MeshVertex));
        d->SetIndices(m_ib);
        d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(m_scene.vertices.size()), 0,
                                static_cast<UINT>(m_scene.indices.size() / 3));
        d->EndScene();
    }
    std::vector<std::uint32_t> Pixels() override { return vireo::testing::ReadBackBuffer(m_device).pixels; }

  private:
    const Scene& m_scene;
    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DVertexBuffer9* m_vb = nullptr;
    IDirect3DIndexBuffer9* m_ib = nullptr;
    IDirect3DTexture9* m_texture = nullptr;
};

// Mesa's off-screen renderer with the same matrices, light, material and texture state. Its
// clip space keeps z in [-w, w] and samples pixels half a pixel away from Direct3D 9's, so the
// projection is adjusted for both; front faces run clockwise as on the device.
class MesaRenderer final : public Renderer {
  public:
    explicit MesaRenderer(const Scene& scene) : m_scene(scene), m_buffer(static_cast<std::size_t>(kWidth) * kHeight)
    {
        m_context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
        if (!m_context || !OSMesaMakeCurrent(m_context, m_buffer.data(), GL_UNSIGNED_BYTE, kWidth, kHeight)) {
            std::fprintf(stderr, "OSMesa context could not be made\n");
            std::exit(1);
        }
        OSMesaPixelStore(OSMESA_Y_UP, 0); // row 0 at the top, as the device's back buffer
        glGenTextures(1, &m_texture);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        const std::vector<std::uint32_t> texels = TexturePixels();
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    ~MesaRenderer() override
    {
        glDeleteTextures(1, &m_texture);
        OSMesaDestroyContext(m_context);
    }
    void Frame() override
    {
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(((kClear >> 16) & 0xFF) / 255.0f, ((kClear >> 8) & 0xFF) / 255.0f, (kClear & 0xFF) / 255.0f, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        // Row-vector matrices stored row by row are column-vector matrices stored column by
        // column: the device's matrices load as they are.
        D3DXMATRIX fix; // z from [0, w] to [-w, w], and the half-pixel shift of the sample grid
        D3DXMatrixIdentity(&fix);
        fix._33 = 2;
        fix._43 = -1;
        D3DXMATRIX shift;
        D3DXMatrixIdentity(&shift);
        shift._41 = 1.0f / kWidth;
        shift._42 = -1.0f / kHeight;
        const D3DXMATRIX projection = m_scene.projection * fix * shift;
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(&projection._11);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&m_scene.view._11);
        const GLfloat toLight[4] = {-kLightDirection.x, -kLightDirection.y, -kLightDirection.z, 0};
        const GLfloat lightDiffuse[4] = {kLightDiffuse.r, kLightDiffuse.g, kLightDiffuse.b, kLightDiffuse.a};
        const GLfloat none[4] = {0, 0, 0, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, toLight); // taken through the view matrix, as the device does
        glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
        glLightfv(GL_LIGHT0, GL_AMBIENT, none);
        glLightfv(GL_LIGHT0, GL_SPECULAR, none);
        const GLfloat ambient[4] = {((kAmbient >> 16) & 0xFF) / 255.0f, ((kAmbient >> 8) & 0xFF) / 255.0f,
                                    (kAmbient & 0xFF) / 255.0f, 1};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        const GLfloat material[4] = {kMaterial.r, kMaterial.g, kMaterial.b, kMaterial.a};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
        glMultMatrixf(&m_scene.world._11);
        const auto* base = reinterpret_cast<const std::uint8_t*>(m_scene.vertices.data());
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(MeshVertex), base);
        glNormalPointer(GL_FLOAT, sizeof(MeshVertex), base + 12);
        if (m_scene.vertexColors) {
            glEnable(GL_COLOR_MATERIAL);
            glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(MeshVertex), base + 24);
        } else {
            glDisable(GL_COLOR_MATERIAL);
            glDisableClientState(GL_COLOR_ARRAY);
        }
        if (m_scene.textured) {
            glEnable(GL_TEXTURE_2D);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof(MeshVertex), base + 28);
        } else {
            glDisable(GL_TEXTURE_2D);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m_scene.indices.size()), GL_UNSIGNED_SHORT,
                       m_scene.indices.data());
        glFinish();
    }
    std::vector<std::uint32_t> Pixels() override { return m_buffer; }

  private:
    const Scene& m_scene;
    std::vector<std::uint32_t> m_buffer;
    OSMesaContext m_context = nullptr;
    GLuint m_texture = 0;
};

const Scene& SceneNamed(const std::string& name)
{
    static const Scene torus = TorusScene();
    static const Scene cube = CubeScene();
    return name == "torus" ? torus : cube;
}

std::unique_ptr<Renderer> MakeRenderer(const std::string& who, const Scene& scene)
{
    if (who == "device")
        return std::make_unique<DeviceRenderer>(scene);
    return std::make_unique<MesaRenderer>(scene);
}

void RunFrames(benchmark::State& state, const std::string& who, const std::string& sceneName)
{
    const Scene& scene = SceneNamed(sceneName);
    auto renderer = MakeRenderer(who, scene);
    for (auto _ : state)
        renderer->Frame();
    const double triangles = static_cast<double>(scene.indices.size() / 3);
    state.counters["triangles/s"] =
        benchmark::Counter(triangles * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Draws each scene once through both renderers and compares the pictures; false when they
// disagree beyond the stated tolerance.
bool PicturesAgree()
{
    bool agree = true;
    for (const char* name : {"torus", "cube"}) {
        const Scene& scene = SceneNamed(name);
        std::vector<std::uint32_t> pictures[2];
        const char* who[2] = {"device", "mesa"};
        for (int i = 0; i < 2; ++i) {
            auto renderer = MakeRenderer(who[i], scene);
            renderer->Frame();
            pictures[i] = renderer->Pixels();
        }
        double sum = 0;
        int big = 0, covered = 0;
        for (std::size_t p = 0; p < pictures[0].size(); ++p) {
            const std::uint32_t a = pictures[0][p], b = pictures[1][p];
            covered += (a & 0xFFFFFF) != (kClear & 0xFFFFFF);
            int worst = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
                sum += d;
                worst = std::max(worst, d);
            }
            big += worst > kBigDifference;
        }
        const double pixels = static_cast<double>(pictures[0].size());
        const double mean = sum / (pixels * 3), share = big / pixels;
        const bool ok = mean <= kMaxMeanDifference && share <= kMaxBigShare;
        std::printf("picture check %-5s: %zu triangles, %.1f%% of the target covered; mean channel difference %.3f "
                    "(limit %.1f), pixels off by more than %d: %.3f%% (limit %.1f%%) -> %s\n",
                    name, scene.indices.size() / 3, 100.0 * covered / pixels, mean, kMaxMeanDifference, kBigDifference,
                    100 * share, 100 * kMaxBigShare, ok ? "agree" : "DISAGREE");
        agree = agree && ok;
    }
    return agree;
}

} // namespace

int main(int argc, char** argv)
{
    vireo::test::UseHeadlessBackend(); // the device draws off screen; no window opens
    setenv("LP_NUM_THREADS", "0", 1);  // Mesa rasterizes on the calling thread, as the device does
    benchmark::Initialize(&argc, argv);
    if (!PicturesAgree()) {
        std::fprintf(stderr, "the two renderers disagree: figures would compare different work\n");
        return 1;
    }
    for (const char* scene : {"torus", "cube"}) {
        for (const char* who : {"device", "mesa"}) {
            benchmark::RegisterBenchmark((std::string(scene) + "/" + who).c_str(), [=](benchmark::State& state) {
                RunFrames(state, who, scene);
            })->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
