// Engine text per frame: 2,000 characters of mixed English and Chinese drawn with
// CEngineFont::Draw inside the game's sprite batch, one whole engine frame per iteration on the
// headless back end, in white and in a colour. per_glyph is the text's CPU time alone: the
// same frame without text (its clear included, shown as frame) is timed first and taken off.
// Counters show that glyphs are rasterised in the first frame only and then only blended.
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include "MixedText.h"
#include "platform/gfx/font/TextDC.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>

namespace {

constexpr int kCharacters = 2000;

class CTextGame : public CGameEngine {
  public:
    CTextGame(int characters, DWORD color) : m_strText(MixedText(characters)), m_color(color) {}

    CEngineFont* m_pFont = nullptr;
    bool m_bText = true;

    // Distinct glyphs the font has rasterised so far.
    int Rasterised()
    {
        const vireo::font::CTextFont* text =
            m_pFont ? vireo::font::FontOfTextDC(m_pFont->GetD3DXFont()->GetDC()) : nullptr;
        return text ? text->RasterisedCount() : 0;
    }

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        CRenderSystem* render = GetRenderSystem();
        if (msg == EMSG_EG_INIT)
            m_pFont = render->CreateEngineFont(L"Tahoma", 14, 0, 400);
        if (msg == EMSG_RS_RENDER_BEGIN)
            render->ClearCanvas(0xFF203040);
        if (msg == EMSG_RS_RENDER && m_pFont) {
            render->BeginSprite();
            if (m_bText && !m_strText.empty())
                m_pFont->Draw(m_strText.c_str(), 10, 10, 780, 580, m_color, DT_WORDBREAK);
            render->EndSprite();
            return 1; // nothing else draws: the frame is the text
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    std::wstring m_strText;
    DWORD m_color;
};

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// CPU seconds of one frame, the mean of frames frames.
double FrameSeconds(CTextGame& game, int frames)
{
    const double start = CpuSeconds();
    for (int i = 0; i < frames; ++i)
        game.Run();
    return (CpuSeconds() - start) / frames;
}

void BM_EngineTextFrame(benchmark::State& state)
{
    const int characters = static_cast<int>(state.range(0));
    const DWORD color = state.range(1) ? 0xFFE0A040 : 0xFFFFFFFF;
    vireo::testing::InstallVirtualClock();
    const HWND hwnd = vireo::test::CreateHostWindow(800, 600, nullptr, true);
    SetForegroundWindow(hwnd);
    const SEngineParam param = vireo::test::SceneParam(hwnd);
    {
        CTextGame game(characters, color);
        if (!game.EngineInit(&param) || !game.m_pFont || !game.m_pFont->GetD3DXFont()) {
            state.SkipWithError("EngineInit or the font failed");
        } else {
            game.Run(); // the first frame rasterises every glyph the text needs
            const int firstFrame = game.Rasterised();
            game.m_bText = false;
            const double frame = FrameSeconds(game, 300);
            game.m_bText = true;
            game.Run();
            const double start = CpuSeconds();
            for (auto _ : state)
                game.Run();
            const double perFrame = (CpuSeconds() - start) / static_cast<double>(state.iterations());
            state.counters["rasterised_first_frame"] = firstFrame;
            state.counters["rasterised_after"] = game.Rasterised() - firstFrame;
            state.counters["frame_us"] = frame * 1e6;
            if (characters > 0) {
                const std::wstring text = MixedText(characters);
                const auto glyphs = static_cast<double>(characters - std::count(text.begin(), text.end(), L'\n'));
                state.counters["per_glyph_ns"] = (perFrame - frame) / glyphs * 1e9;
            }
        }
    }
    DestroyWindow(hwnd);
    vireo::testing::UninstallVirtualClock();
}
// Args: characters, then 0 for white text or 1 for coloured.
BENCHMARK(BM_EngineTextFrame)->Args({0, 0})->Args({kCharacters, 0})->Args({kCharacters, 1});

} // namespace

int main(int argc, char** argv)
{
    vireo::test::UseHeadlessBackend();
    const vireo::test::ScratchDir scratch;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
