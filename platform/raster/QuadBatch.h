// Quads drawn in order under one state whose stage-0 texture and diffuse colour may change
// from quad to quad (sprites, glyphs). What depends on the state alone is decided once per
// batch, the tint once per colour; unscaled whole-pixel quads are gathered into rectangle
// lists that one kernel call blends (short runs of several colours in one list, each
// rectangle with its tint), a long tinted run of one rectangle from a copy tinted once. It
// does not sort or merge quads: order is drawing order.
#pragma once

#include "platform/raster/Pixel.h"
#include "platform/raster/Raster.h"
#include "platform/raster/Spans.h"
#include "platform/raster/TintBlock.h"

#include <cstddef>
#include <cstdint>
#include <xmmintrin.h>

namespace vireo::raster {

class QuadBatch {
  public:
    // state.clip is cut to the target here; stage 0's texture is copied, as SetTexture does.
    QuadBatch(const Surface& target, const QuadState& state);
    ~QuadBatch() { Flush(); }
    QuadBatch(const QuadBatch&) = delete;
    QuadBatch& operator=(const QuadBatch&) = delete;

    // Stage 0's texture for the quads that follow (copied; null: none, sampled as white).
    void SetTexture(const Surface* texture);
    // Stage filters for the quads that follow (whole-pixel quads copy texels either way).
    void SetFilters(Filter stage0, Filter stage1);
    // Draws quad with this diffuse colour, exactly as DrawQuad would, in order with the others.
    void Draw(const Quad& quad, std::uint32_t diffuse);
    // Draws count quads in order, each as Draw would: quad i and its colour sit stride bytes
    // after quad i - 1 and its colour, as in a caller's queue of records. One call per run
    // saves the call, the saved registers and the drawable test per quad.
    void DrawRun(const Quad* quads, const std::uint32_t* diffuses, std::size_t stride, std::size_t count);
    // Blends the gathered rectangles now; the destructor does it too.
    void Flush();
    // Quads drawn through the general set-up rather than gathered (tests: whole-pixel quads
    // that land here draw the same pixels, only several times slower).
    int AloneCount() const { return m_alone; }

  private:
    // Hidden: called per quad from Draw alone, so a direct call the compiler may inline
    // rather than one through the library's symbol table.
    // kTrim: the quads repeat source rectangles (sprites), whose transparent rows are left out.
    template <bool kTrim>
    [[gnu::visibility("hidden"), gnu::always_inline]] inline bool Gather(const Quad& quad, std::uint32_t diffuse);
    template <bool kTrim>
    [[gnu::visibility("hidden"), gnu::always_inline]] inline void
    GatherRun(const unsigned char* quad, const unsigned char* diffuse, std::size_t stride, std::size_t count);
    // keepList: quads of a run that repeats one rectangle (sprites), which may keep a short
    // run under the old tint in the list; other quads blend it first.
    [[gnu::visibility("hidden")]] void UseDiffuse(std::uint32_t diffuse, bool keepList);
    // A quad the rectangle lists do not take, through the set-up: out of line, so that its
    // large frame is not set up for every gathered quad.
    [[gnu::visibility("hidden"), gnu::noinline]] void DrawAlone(const Quad& quad, std::uint32_t diffuse);

    // Rows of alpha 0 at the top and bottom of a source rectangle drawn again and again (a
    // padded sprite) draw nothing: measured the second time the same rectangle comes in a
    // row, then left out of every rectangle gathered from it. Only for runs that start with
    // a repeat: glyph runs, whose rectangles change from quad to quad, pay nothing for it.
    struct SourceTrim {
        __m128 source{};                  // u0 v0 u1 v1 as the quads have them
        int w = 0, h = 0, u0 = 0, v0 = 0; // the rectangle; w = 0: none yet
        bool known = false;
        bool tinted = false;     // src is m_block's: texels through m_tint
        int top = 0, bottom = 0; // transparent rows
        // Once known: a repeat's x0 y0 edgeUx edgeUy bounds, its edgeVx edgeVy, and w h.
        __m128 low{}, high{}, edgeV{}, size{};
        const std::uint32_t* src = nullptr; // and the rectangle's texels and size as a CopyRect has them
        std::uint64_t rectSize = 0;
        std::uint64_t pitches = 0; // as a CopyRect holds them, with src
    };
    [[gnu::visibility("hidden")]] void MeasureTrim();
    // A tinted run of one rectangle: the measured trim's texels tinted once into m_block, so
    // that its quads blend with the plain kernel. Asked when a full list of gathered
    // rectangles under one colour has just been blended (nothing gathered reads the block
    // it rebuilds); only where quad, a repeat, is followed in its run by enough repeats
    // under that colour, and not for rectangles past the block's size.
    [[gnu::visibility("hidden"), gnu::noinline, gnu::cold]] void UseBlock(const Quad& quad);
    // Back to the texture's texels, after the rectangles gathered from the block are blended:
    // at a new colour or rectangle, and at the end of the run.
    [[gnu::visibility("hidden"), gnu::noinline, gnu::cold]] void LeaveBlock();

    static constexpr std::size_t kTrimRun = 8; // quads a run has at least to be trimmed
    // Repeats of one rectangle under one colour that must follow in the run for the block to
    // be built: building it costs about what ten of them save (the tint kernel skips
    // transparent texels, the build does not).
    static constexpr std::size_t kBlockAhead = 16;
    static constexpr int kPending = 64;
    // Rectangles under one tint after which a colour change blends the list rather than
    // going on with tints of several colours in it.
    static constexpr int kMixRun = 8;

    Surface m_target;
    QuadState m_state;
    Surface m_texture;
    bool m_drawable = false;          // a target with pixels and a clip with area
    bool m_spanBlend = false;         // the blend and stage 1 the copy kernels take
    bool m_gathers = false;           // m_spanBlend, and stage 0's texture is one the set-up accepts
    __m128 m_textureLimit{};          // its width and height
    __m128 m_clipLow{}, m_clipHigh{}; // the clip's left, top and right, bottom
    std::uint64_t m_pitches = 0;      // the target's and the texture's pitch, as a CopyRect holds them
    bool m_tintIsDiffuse = false;     // the state's tint is the diffuse colour's channels (TintIsDiffuse)
    bool m_tintKnown = false;         // m_tint is the tint of m_tintDiffuse
    std::uint32_t m_tintDiffuse = 0;
    bool m_tintCopies = false; // that tint reduces to a copy kernel's
    Tint m_tint{};
    bool m_plain = false;
    SourceTrim m_trim;
    const SpanKernels& m_spans;
    CopyRect m_pending[kPending];
    int m_count = 0;
    // The first m_tinted rectangles were gathered under earlier tints, m_tints[i] rectangle i's;
    // the rest are under m_tint. Filled at a colour change alone, so lists of one colour
    // (text, sprite runs) pay nothing for it.
    int m_tinted = 0;
    Tint m_tints[kPending];
    int m_alone = 0;
    // Not initialised here but before they are read, so that a batch of one quad (DrawQuad)
    // does not pay for them. The run GatherRun<true> is in, for UseBlock to look ahead: its
    // end, the records' stride and where a record's colour sits from its quad.
    const unsigned char* m_runEnd;
    std::size_t m_runStride;
    std::ptrdiff_t m_diffuseOffset;
    TintBlock m_block;
    bool m_blockKnown; // the block holds m_blockSource on this texture through m_blockTint (SetTexture)
    __m128 m_blockSource;
    Tint m_blockTint;
};

} // namespace vireo::raster
