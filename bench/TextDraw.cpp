// Engine text per frame: 2,000 characters of mixed English and Chinese drawn with
// CEngineFont::Draw inside the game's sprite batch, one whole engine frame per iteration on the
// headless back end. Arg 0 is the same frame without text, the frame's own cost to subtract.
// Counters show that glyphs are rasterised in the first frame only and then only blended.
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include "MixedText.h"
#include "platform/gfx/font/TextDC.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kCharacters = 2000;

class CTextGame : public CGameEngine {
  public:
    explicit CTextGame(int characters) : m_strText(MixedText(characters)) {}

    CEngineFont* m_pFont = nullptr;

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
            if (!m_strText.empty())
                m_pFont->Draw(m_strText.c_str(), 10, 10, 780, 580, 0xFFFFFFFF, DT_WORDBREAK);
            render->EndSprite();
            return 1; // nothing else draws: the frame is the text
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    std::wstring m_strText;
};

void BM_EngineTextFrame(benchmark::State& state)
{
    const int characters = static_cast<int>(state.range(0));
    vireo::testing::InstallVirtualClock();
    const HWND hwnd = vireo::test::CreateHostWindow(800, 600, nullptr, true);
    SetForegroundWindow(hwnd);
    const SEngineParam param = vireo::test::SceneParam(hwnd);
    {
        CTextGame game(characters);
        if (!game.EngineInit(&param) || !game.m_pFont || !game.m_pFont->GetD3DXFont()) {
            state.SkipWithError("EngineInit or the font failed");
        } else {
            game.Run(); // the first frame rasterises every glyph the text needs
            const int firstFrame = game.Rasterised();
            for (auto _ : state)
                game.Run();
            state.counters["rasterised_first_frame"] = firstFrame;
            state.counters["rasterised_after"] = game.Rasterised() - firstFrame;
            if (characters > 0) {
                const std::wstring text = MixedText(characters);
                const auto glyphs = static_cast<double>(characters - std::count(text.begin(), text.end(), L'\n'));
                // CPU seconds per glyph, frame included, printed with an SI prefix (n = nanoseconds);
                // CPU time, as the other text benchmarks, so a busy machine skews it less.
                state.counters["per_glyph"] = benchmark::Counter(glyphs, benchmark::Counter::kIsIterationInvariantRate |
                                                                             benchmark::Counter::kInvert);
            }
        }
    }
    DestroyWindow(hwnd);
    vireo::testing::UninstallVirtualClock();
}
BENCHMARK(BM_EngineTextFrame)->Arg(0)->Arg(kCharacters);

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
