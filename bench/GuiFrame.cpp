// The GUI's per-frame work for 1,000 windows: 250 dialogs, each with two buttons and an edit
// box, receiving the frame's update, keyboard and mouse messages, and drawing. The figures
// are per window; the pictures and captions drawn straight through CPicture and CEngineFont
// at the same places are the yardstick for "on top of the sprite cost". The last cases type or
// paste into an edit box holding 100,000 characters, whose measuring and drawing must stay
// inside a 60 Hz frame. No pass or fail.
#include "bench/BenchEngine.h"

#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <vector>

namespace {

constexpr int kDialogs = 250;
constexpr int kWindows = kDialogs * 4;

// A folder package of solid BMPs (bottom-up 32-bit rows), one per colour.
void WritePackage(const std::string& folder, const std::vector<std::uint32_t>& colors, int w, int h)
{
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/Desc.ini", std::ios::binary)
        << "[Picture]\r\nPictureCount=" << colors.size()
        << "\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n[Animation]\r\nFrameDelay=0\r\nSeqCount=0\r\n"
           "[HitBox]\r\nHitBoxCount=0\r\n[CenterPoint]\r\n000=0,0\r\n";
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const std::uint32_t size = 54 + 4u * w * h;
        std::vector<std::uint8_t> bmp(size, 0);
        const auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int b = 0; b < 4; ++b)
                bmp[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
        };
        bmp[0] = 'B';
        bmp[1] = 'M';
        put32(2, size);
        put32(10, 54);
        put32(14, 40);
        put32(18, static_cast<std::uint32_t>(w));
        put32(22, static_cast<std::uint32_t>(h));
        bmp[26] = 1;
        bmp[28] = 32;
        for (int p = 0; p < w * h; ++p)
            put32(54 + 4u * p, colors[i]);
        char name[16];
        std::snprintf(name, sizeof name, "/%03d.bmp", static_cast<int>(i % 1000));
        std::ofstream(folder + name, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), size);
    }
}

struct GuiScene {
    std::unique_ptr<CGameEngine> engine;
    std::vector<std::unique_ptr<CGDialog>> dialogs;

    bool Build()
    {
        engine = vireo::bench::StartHeadlessEngine("vireo-bench-gui");
        if (!engine)
            return false;
        WritePackage("dlg", {0xFF3050A0}, 180, 60);
        WritePackage("btn", {0xFFD0D0D0, 0xFFE0E0E0, 0xFFB0B0B0}, 48, 18);
        WritePackage("edt", {0xFFFFFFFF}, 12, 12);
        const tagSIZE4 border{3, 3, 3, 3};
        for (int i = 0; i < kDialogs; ++i) {
            auto dialog = std::make_unique<CGDialog>();
            dialog->Create(engine->GetMainGWnd(), 1000 + i, (i % 4) * 190, (i / 4) % 9 * 64, L"dlg", 0, 0);
            dialog->AddCtrl(1, GWT_BUTTON, 4, 4, L"btn")->SetWindowText(L"OK");
            dialog->AddCtrl(2, GWT_BUTTON, 56, 4, L"btn", GWS_DEFBUTTON)->SetWindowText(L"Back");
            dialog->AddCtrl(3, GWT_EDIT, 4, 30, L"edt", 0, 170, 22, &border)->SetWindowText(L"name");
            dialogs.push_back(std::move(dialog));
        }
        dialogs.back()->GetCtrl(3)->SetFocus();
        vireo::testing::SetCursorClientPos(engine->GetEngineParam()->hWnd, 100, 20);
        return true;
    }

    // The messages the engine sends the GUI in a frame.
    void Messages()
    {
        engine->SendMessage(EMSG_IS_UI_MOUSE_INPUT, 0, 0);
        engine->SendMessage(EMSG_IS_UI_KEYBOARD_INPUT, 0, 0);
        engine->SendMessage(EMSG_EG_UI_UPDATE, 0, 0);
    }

    template <typename Draw> void Frame(Draw draw)
    {
        CRenderSystem* render = engine->GetRenderSystem();
        render->BeginScene();
        render->BeginSprite();
        render->SetPictureColorOP(D3DTOP_ADDSMOOTH);
        draw();
        render->EndSprite();
        render->EndScene();
    }
};

void BM_GuiMessages(benchmark::State& state)
{
    GuiScene scene;
    if (!scene.Build()) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    for (auto _ : state)
        scene.Messages();
    state.counters["us_per_window"] = benchmark::Counter(
        static_cast<double>(kWindows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GuiMessages)->Unit(benchmark::kMicrosecond);

void BM_GuiMessagesAndDraw(benchmark::State& state)
{
    GuiScene scene;
    if (!scene.Build()) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    // Every window has a font of its own: the first frame fills their glyph caches.
    const auto frame = [&] {
        scene.Messages();
        scene.Frame([&] { scene.engine->GetMainGWnd()->DoRender(); });
    };
    frame();
    for (auto _ : state)
        frame();
    state.counters["us_per_window"] = benchmark::Counter(
        static_cast<double>(kWindows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GuiMessagesAndDraw)->Unit(benchmark::kMicrosecond);

// The yardstick: the same pictures and captions drawn directly, without any window. With
// the argument 1, each button picture is drawn between the two colour-operation changes a
// button makes (each change flushes the sprite batch), to show what those cost.
void BM_SpritesAndTextOnly(benchmark::State& state)
{
    const bool switchOps = state.range(0) != 0;
    GuiScene scene;
    if (!scene.Build()) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    CRenderSystem* render = scene.engine->GetRenderSystem();
    CResource* dlg = render->CreateResource(L"dlg");
    CResource* btn = render->CreateResource(L"btn");
    CResource* edt = render->CreateResource(L"edt");
    const auto frame = [&] {
        scene.Frame([&] {
            for (const auto& dialog : scene.dialogs) {
                RECT r;
                dialog->GetWindowRectAbs(&r);
                dlg->GetPicture(0)->Draw(r.left, r.top);
                const DWORD black = 0xFF000000;
                // Each window's own font, as the windows draw with.
                const auto button = [&](int x, UINT id, const wchar_t* text) {
                    CEngineFont* font = dialog->GetCtrl(id)->GetWindowFont();
                    if (switchOps)
                        render->SetPictureColorOP(D3DTOP_ADDSMOOTH);
                    btn->GetPicture(0)->Draw(x, r.top + 4, nullptr, nullptr, &black);
                    if (switchOps)
                        render->SetPictureColorOP(D3DTOP_MODULATE);
                    font->Draw(text, x, r.top + 4, 48, 18, black, 0x35);
                };
                button(r.left + 4, 1, L"OK");
                button(r.left + 56, 2, L"Back");
                // The edit frame's nine pieces and its text.
                CPicture* frame = edt->GetPicture(0);
                for (int piece = 0; piece < 9; ++piece) {
                    const RECT src{3, 3, 9, 9};
                    frame->DrawStretch(r.left + 4 + piece * 18, r.top + 30, 18, 22, &src);
                }
                dialog->GetCtrl(3)->GetWindowFont()->Draw(L"name", r.left + 7, r.top + 34, 159, 13, black, 0x30);
            }
        });
    };
    frame(); // glyph caches, as for the windows
    for (auto _ : state)
        frame();
    state.counters["us_per_window"] = benchmark::Counter(
        static_cast<double>(kWindows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SpritesAndTextOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One frame of an edit box holding 100,000 characters with the focus: a character typed,
// the update (which places the input method's caret, measuring the text) and the drawing.
void BM_LongEditFrame(benchmark::State& state)
{
    GuiScene scene;
    if (!scene.Build()) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    CGWnd* edit = scene.dialogs.back()->GetCtrl(3);
    edit->SetWindowText(std::wstring(100000, L'W').c_str());
    for (auto _ : state) {
        scene.engine->SendMessage(WM_CHAR, L'x', 0);
        scene.engine->SendMessage(WM_CHAR, 8, 0);
        scene.engine->SendMessage(EMSG_EG_UI_UPDATE, 0, 0);
        scene.Frame([&] { scene.dialogs.back()->DoRender(); });
    }
    state.counters["chars"] = static_cast<double>(edit->GetWindowText().size());
}
BENCHMARK(BM_LongEditFrame)->Unit(benchmark::kMicrosecond);

// The same frame when the 100,000 characters arrive by Ctrl+V from the clipboard each time:
// the clipboard's copy, the replaced text, the update and the drawing.
void BM_LongEditPasteFrame(benchmark::State& state)
{
    GuiScene scene;
    if (!scene.Build()) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    CGWnd* edit = scene.dialogs.back()->GetCtrl(3);
    vireo::testing::SetClipboardText(std::wstring(100000, L'W'));
    for (auto _ : state) {
        scene.engine->SendMessage(WM_CHAR, 22, 0);
        scene.engine->SendMessage(EMSG_EG_UI_UPDATE, 0, 0);
        scene.Frame([&] { scene.dialogs.back()->DoRender(); });
    }
    state.counters["chars"] = static_cast<double>(edit->GetWindowText().size());
}
BENCHMARK(BM_LongEditPasteFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
