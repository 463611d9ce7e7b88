// Quads drawn in order under one state whose stage-0 texture and diffuse colour may change
// from quad to quad (sprites, glyphs). What depends on the state alone is decided once per
// batch, the tint once per colour; unscaled whole-pixel quads are gathered into rectangle
// lists that one kernel call blends. It does not sort or merge quads: order is drawing order.
#pragma once

#include "platform/raster/Pixel.h"
#include "platform/raster/Raster.h"
#include "platform/raster/Spans.h"

#include <cstddef>
#include <cstdint>

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

  private:
    // Hidden: called per quad from Draw alone, so a direct call the compiler may inline
    // rather than one through the library's symbol table.
    [[gnu::visibility("hidden")]] bool Gather(const Quad& quad, std::uint32_t diffuse);
    [[gnu::visibility("hidden")]] void UseDiffuse(std::uint32_t diffuse);
    // A quad the rectangle lists do not take, through the set-up: out of line, so that its
    // large frame is not set up for every gathered quad.
    [[gnu::visibility("hidden"), gnu::noinline]] void DrawAlone(const Quad& quad, std::uint32_t diffuse);

    static constexpr int kPending = 64;

    Surface m_target;
    QuadState m_state;
    Surface m_texture;
    bool m_drawable = false;  // a target with pixels and a clip with area
    bool m_spanBlend = false; // the blend and stage 1 the copy kernels take
    bool m_textureOk = false; // stage 0's texture is one the set-up accepts
    bool m_tintKnown = false; // m_tint is the tint of m_tintDiffuse
    std::uint32_t m_tintDiffuse = 0;
    bool m_tintCopies = false; // that tint reduces to a copy kernel's
    Tint m_tint{};
    bool m_plain = false;
    const SpanKernels& m_spans;
    CopyRect m_pending[kPending];
    int m_count = 0;
};

} // namespace vireo::raster
