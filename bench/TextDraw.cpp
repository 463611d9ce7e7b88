// Engine text per frame: 2,000 characters of mixed English and Chinese drawn with
// CEngineFont::Draw inside the game's sprite batch, one whole engine frame per iteration on the
// headless back end, in white, in a colour, and as labels of five characters in three colours
// taking turns (a game's score and status labels). per_glyph is the text's CPU time alone: the
// same frame without text (its clear included, shown as frame) is timed first and taken off.
// Counters show that glyphs are rasterised in the first frame only and then only blended.
// Beside it, where SDL2_ttf is installed, the peer a game would use instead: the same text in
// the same faces (fontconfig's choice for Tahoma, fallback faces for Chinese) with a glyph
// cache, each glyph rendered once and then blitted with alpha onto an 800x600 surface.
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include "MixedText.h"
#include "platform/gfx/font/TextDC.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#if VIREO_BENCH_HAVE_SDL2TTF
#include "platform/gfx/font/FontMatcher.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <memory>
#endif

#include <algorithm>
#include <ctime>
#include <string>

namespace {

constexpr int kCharacters = 2000;

class CTextGame : public CGameEngine {
  public:
    // labels: the text in pieces of five characters, a colour each from kLabelColors in turn.
    CTextGame(int characters, DWORD color, bool labels)
        : m_strText(MixedText(characters)), m_color(color), m_labels(labels)
    {
    }

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
            if (m_bText && m_labels)
                DrawLabels();
            else if (m_bText && !m_strText.empty())
                m_pFont->Draw(m_strText.c_str(), 10, 10, 780, 580, m_color, DT_WORDBREAK);
            render->EndSprite();
            return 1; // nothing else draws: the frame is the text
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    // Twelve labels a row, 64 x 17 pixels each.
    void DrawLabels()
    {
        static const DWORD kLabelColors[] = {0xFFE0A040, 0xFF40E0A0, 0xFFA040E0};
        for (std::size_t i = 0, k = 0; i < m_strText.size(); i += 5, ++k) {
            const std::wstring label = m_strText.substr(i, 5);
            const int x = 10 + static_cast<int>(k % 12) * 64, y = 10 + static_cast<int>(k / 12) * 17;
            m_pFont->Draw(label.c_str(), x, y, x + 64, y + 17, kLabelColors[k % 3], 0);
        }
    }

    std::wstring m_strText;
    DWORD m_color;
    bool m_labels;
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
    const DWORD color = state.range(1) == 1 ? 0xFFE0A040 : 0xFFFFFFFF;
    vireo::testing::InstallVirtualClock();
    const HWND hwnd = vireo::test::CreateHostWindow(800, 600, nullptr, true);
    SetForegroundWindow(hwnd);
    const SEngineParam param = vireo::test::SceneParam(hwnd);
    {
        CTextGame game(characters, color, state.range(1) == 2);
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
// Args: characters, then 0 for white text, 1 for coloured, 2 for coloured labels.
BENCHMARK(BM_EngineTextFrame)->Args({0, 0})->Args({kCharacters, 0})->Args({kCharacters, 1})->Args({kCharacters, 2});

#if VIREO_BENCH_HAVE_SDL2TTF
// SDL2_ttf with a glyph cache. Lines wrap at the box's edge by character, not by word (the
// cost is the same); layout is redone each frame from cached advances, as cheap as it gets.
class CSdlTtfText {
  public:
    explicit CSdlTtfText(DWORD color) : m_color(color)
    {
        TTF_Init();
        m_target = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_ARGB8888);
        m_latin = Open(vireo::font::MatchFace({L"Tahoma", 400, false}).file);
    }
    ~CSdlTtfText()
    {
        for (auto& [c, glyph] : m_glyphs)
            SDL_FreeSurface(glyph.surface);
        for (auto& [file, font] : m_fonts)
            TTF_CloseFont(font);
        SDL_FreeSurface(m_target);
        TTF_Quit();
    }
    bool Ready() const { return m_target && m_latin; }
    void Clear() { SDL_FillRect(m_target, nullptr, 0xFF203040); }
    void Draw(const std::wstring& text)
    {
        const int right = 10 + 780, bottom = 10 + 580;
        int x = 10, y = 10;
        for (wchar_t c : text) {
            if (c == L'\n') {
                x = 10;
                y += m_lineHeight;
                continue;
            }
            const SGlyph& glyph = GlyphOf(static_cast<char32_t>(c));
            if (x + glyph.advance > right) {
                x = 10;
                y += m_lineHeight;
            }
            if (y + m_lineHeight > bottom)
                return;
            if (glyph.surface) {
                SDL_Rect at{x, y, 0, 0};
                SDL_BlitSurface(glyph.surface, nullptr, m_target, &at);
            }
            x += glyph.advance;
        }
    }

  private:
    struct SGlyph {
        SDL_Surface* surface = nullptr;
        int advance = 0;
    };
    // The engine's height 14 is the cell height: the largest size whose line fits it.
    TTF_Font* Open(const std::string& file)
    {
        if (file.empty())
            return nullptr;
        auto found = m_fonts.find(file);
        if (found != m_fonts.end())
            return found->second;
        TTF_Font* font = nullptr;
        for (int size = 14; size >= 5 && !font; --size) {
            font = TTF_OpenFont(file.c_str(), size);
            if (font && TTF_FontHeight(font) > 14 && size > 5) {
                TTF_CloseFont(font); // too tall: one size smaller
                font = nullptr;
            }
        }
        if (font && m_lineHeight == 0)
            m_lineHeight = TTF_FontHeight(font);
        return m_fonts[file] = font;
    }
    const SGlyph& GlyphOf(char32_t c)
    {
        auto found = m_glyphs.find(c);
        if (found != m_glyphs.end())
            return found->second;
        TTF_Font* font = m_latin;
        if (!TTF_GlyphIsProvided32(font, c)) {
            const vireo::font::SFaceMatch face = m_fallback.FindFor(c);
            if (TTF_Font* other = face.found ? Open(face.file) : nullptr)
                font = other;
        }
        SGlyph glyph;
        TTF_GlyphMetrics32(font, c, nullptr, nullptr, nullptr, nullptr, &glyph.advance);
        glyph.surface = TTF_RenderGlyph32_Blended(font, c, SDL_Color{255, 255, 255, 255});
        if (glyph.surface) {
            SDL_SetSurfaceBlendMode(glyph.surface, SDL_BLENDMODE_BLEND);
            // Tinted at blit time, as the engine tints its white glyphs (SDL then takes its
            // general blitter; glyphs rendered in the colour would blit as fast as white ones,
            // at one cache per colour).
            if (m_color != 0xFFFFFFFF)
                SDL_SetSurfaceColorMod(glyph.surface, (m_color >> 16) & 0xFF, (m_color >> 8) & 0xFF, m_color & 0xFF);
        }
        return m_glyphs[c] = glyph;
    }

    DWORD m_color;
    SDL_Surface* m_target = nullptr;
    TTF_Font* m_latin = nullptr;
    int m_lineHeight = 0;
    vireo::font::CFallbackFaces m_fallback{vireo::font::SFaceRequest{L"Tahoma", 400, false}};
    std::map<std::string, TTF_Font*> m_fonts;
    std::map<char32_t, SGlyph> m_glyphs;
};

void BM_SdlTtfTextFrame(benchmark::State& state)
{
    const int characters = static_cast<int>(state.range(0));
    CSdlTtfText peer(state.range(1) ? 0xFFE0A040 : 0xFFFFFFFF);
    if (!peer.Ready()) {
        state.SkipWithError("SDL2_ttf could not open the face");
        return;
    }
    const std::wstring text = MixedText(characters);
    peer.Draw(text); // renders every glyph once, as the engine's first frame does
    const double clearStart = CpuSeconds();
    for (int i = 0; i < 300; ++i)
        peer.Clear();
    const double clear = (CpuSeconds() - clearStart) / 300;
    const double start = CpuSeconds();
    for (auto _ : state) {
        peer.Clear();
        peer.Draw(text);
    }
    const double perFrame = (CpuSeconds() - start) / static_cast<double>(state.iterations());
    const auto glyphs = static_cast<double>(characters - std::count(text.begin(), text.end(), L'\n'));
    state.counters["frame_us"] = clear * 1e6;
    state.counters["per_glyph_ns"] = (perFrame - clear) / glyphs * 1e9;
}
BENCHMARK(BM_SdlTtfTextFrame)->Args({kCharacters, 0})->Args({kCharacters, 1});
#endif

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
