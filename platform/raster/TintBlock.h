// One source rectangle's texels through one tint, in a block of their own: quads that repeat
// the rectangle then blend with the plain kernel. Every texel is exactly ApplyTint's. It holds
// one rectangle at a time and knows nothing of the rectangles gathered from it.
#pragma once

#include "platform/raster/Pixel.h"

#include <cstdint>
#include <memory>

namespace vireo::raster {

class TintBlock {
  public:
    // 64 KB: a 128 x 128 sprite; larger rectangles blend through the tint kernel.
    static constexpr int kMaxTexels = 16384;

    static bool Fits(int w, int h) { return w > 0 && h > 0 && static_cast<std::int64_t>(w) * h <= kMaxTexels; }

    // Tints the w x h texels at src (rows pitch bytes apart) into the block, rows w texels
    // apart; Fits(w, h) must hold. The block's memory comes on the first call.
    void Build(const std::uint32_t* src, int pitch, int w, int h, const Tint& tint);
    const std::uint32_t* Texels() const { return m_texels.get(); }

  private:
    std::unique_ptr<std::uint32_t[]> m_texels;
};

} // namespace vireo::raster
