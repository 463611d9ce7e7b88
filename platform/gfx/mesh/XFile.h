// Reads a .x file (text, binary, or either compressed) into one flattened triangle mesh: every
// Mesh of every Frame moved by its frames' transforms, faces split into fans, vertices split
// where a corner's normal differs, materials gathered per subset. Animation, skinning and
// other templates are skipped; nothing here touches a device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vireo::gfx::xfile {

// The limits the reader refuses beyond, so a hostile file costs bounded memory and time.
constexpr int kMaxNesting = 256;                                // Frame/object depth
constexpr std::size_t kMaxInflatedSize = std::size_t{16} << 20; // compressed files, bytes

struct Material {
    float diffuse[4] = {1, 1, 1, 1}; // faceColor r, g, b, a
    float power = 0;
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    std::string texture; // the TextureFilename as written (narrow), empty for none
};

struct Vertex {
    float position[3] = {0, 0, 0};
    float normal[3] = {0, 0, 0};
    float uv[2] = {0, 0};
    std::uint32_t color = 0xFFFFFFFF; // ARGB
};

struct MeshData {
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;    // three per triangle
    std::vector<std::uint32_t> attributes; // one per triangle: its material (subset) number
    std::vector<Material> materials;       // at least one when there are triangles
    bool hasNormals = false, hasUVs = false, hasColors = false;
};

// True with the mesh filled, or false with error set (a short reason with the line number
// where the text format has one) and the mesh empty.
bool ReadXFile(const std::uint8_t* data, std::size_t size, MeshData* mesh, std::string* error);

// The compressed forms: the bytes after the 16-byte header inflated back into the plain
// encoding's body (MSZIP blocks; each block may refer back into the previous 32 KiB).
bool InflateXBody(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* out, std::string* error);
// The writer counterpart, for tools and tests: a whole file's body as MSZIP blocks, with the
// 16-byte header given.
std::vector<std::uint8_t> DeflateXFile(const char header[16], const std::uint8_t* body, std::size_t size);
// A whole text file (header included) in the binary encoding with 32-bit floats; false when
// the text does not tokenize.
bool TextToBinaryX(const std::uint8_t* text, std::size_t size, std::vector<std::uint8_t>* out);

} // namespace vireo::gfx::xfile
