// Glyph runs for the software ID3DXSprite: the font queues a whole run of glyph quads in one
// call instead of one Draw per glyph. It does not draw; the sprite's Flush or End does, as
// for any sprite. Sprites of another implementation are left to the caller's Draw loop.
#pragma once

#include "platform/gfx/font/TextLayout.h"

#include <vireo/platform/D3DX9.h>

#include <cstddef>

namespace vireo::gfx {

// Queues each glyph exactly as sprite->Draw(pages[q.page], &q.source, nullptr, &(q.target.left,
// q.target.top, 0), color) would. False, with nothing queued, when sprite is not this
// engine's, is not begun, or has a transform other than the identity: then call Draw.
bool QueueGlyphs(ID3DXSprite* sprite, IDirect3DTexture9* const* pages, const font::SGlyphQuad* quads, std::size_t count,
                 D3DCOLOR color);

} // namespace vireo::gfx
