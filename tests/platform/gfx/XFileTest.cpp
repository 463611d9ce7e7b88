// The .x reader: one model read from its text, binary and both compressed encodings gives the
// same flattened mesh (frames applied, quads split, vertices split by normal, materials by
// name and inline); the bad-input catalogue is refused (or, for long names, read) quickly.
#include "GfxTestSupport.h"

#include "platform/gfx/mesh/XFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace xf = vireo::gfx::xfile;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

// A quad and a triangle in a frame moved by (10, 0, 0) inside a frame scaled by 2; the quad's
// second corner has two normals, so it becomes two vertices.
const char* const kModel = R"(xof 0303txt 0032
template Unused { <11111111-2222-3333-4444-555555555555> DWORD n; array FLOAT v[n]; [...] }
// a comment
# another comment
Material Red { 1.0;0.0;0.0;1.0;; 5.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; }
AnimationSet Skipped { Animation { { Body } AnimationKey { 0; 1; 0;3;0,0,0;;; } } }
Frame Outer {
  FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }
  Frame Body {
    FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
    Mesh Quad {
      5; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;, 0;0;1;;
      2; 4;0,1,2,3;, 3;1,4,2;;
      MeshNormals { 2; 0;0;-1;, 0;1;0;; 2; 4;0,0,0,0;, 3;1,1,1;; }
      MeshTextureCoords { 5; 0;1;, 0;0;, 1;0;, 1;1;, 0.5;0.5;; }
      MeshVertexColors { 1; 4; 0.0;1.0;0.0;0.5;;; }
      MeshMaterialList { 2; 2; 1, 0;;
        { Red }
        Material { 0.0;0.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.25;0.25;0.25;;
          TextureFilename { "tex ture.png"; } }
      }
      XSkinMeshHeader { 1; 2; 3; }
    }
  }
}
)";

TEST(XFileTest, EveryEncodingReadsTheSameModel)
{
    const Bytes text = ToBytes(kModel);
    Bytes binary;
    ASSERT_TRUE(xf::TextToBinaryX(text.data(), text.size(), &binary));
    // Enough repetitions of the model's objects to need several compressed blocks.
    std::string big = kModel;
    for (int i = 0; i < 400; ++i)
        big += "Unknown { 1; 2; 3; \"padding padding padding padding padding padding padding\"; }\n";
    const Bytes bigText = ToBytes(big);
    const Bytes tzip = xf::DeflateXFile("xof 0303tzip0032", bigText.data() + 16, bigText.size() - 16);
    const Bytes bzip = xf::DeflateXFile("xof 0303bzip0032", binary.data() + 16, binary.size() - 16);
    ASSERT_GT(bigText.size(), 32768u);

    for (const Bytes* file : std::vector<const Bytes*>{&text, &binary, &tzip, &bzip}) {
        SCOPED_TRACE(std::string(file->begin() + 8, file->begin() + 12));
        xf::MeshData m;
        std::string error;
        ASSERT_TRUE(xf::ReadXFile(file->data(), file->size(), &m, &error)) << error;
        EXPECT_EQ(m.attributes, (std::vector<std::uint32_t>{1, 1, 0}));
        // The triangle's corners carry normal 1, the quad's normal 0: corners 1 and 2 split.
        ASSERT_EQ(m.vertices.size(), 7u);
        EXPECT_EQ(m.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6}));
        // (x + 10) * 2: the inner frame first, then the outer.
        const xf::Vertex* v = m.vertices.data();
        EXPECT_EQ(std::tuple(v[2].position[0], v[2].position[1], v[5].position[2], v[0].normal[2], v[4].normal[1],
                             v[5].uv[0]),
                  std::tuple(22.0f, 2.0f, 2.0f, -1.0f, 1.0f, 0.5f));
        EXPECT_EQ(std::pair(m.vertices[5].color, m.vertices[0].color), std::pair(0x8000FF00u, 0xFFFFFFFFu));
        ASSERT_EQ(m.materials.size(), 2u);
        EXPECT_EQ(std::tuple(m.materials[0].diffuse[0], m.materials[0].power, m.materials[1].emissive[2]),
                  std::tuple(1.0f, 5.0f, 0.25f));
        EXPECT_EQ(std::pair(m.materials[0].texture, m.materials[1].texture),
                  std::pair(std::string(), std::string("tex ture.png")));
        EXPECT_TRUE(m.hasNormals && m.hasUVs && m.hasColors);
    }
}

std::string Header(const std::string& body)
{
    return "xof 0303txt 0032\n" + body;
}

// The reader's reason for refusing the file, empty when it reads it; a refused file must
// leave no mesh behind, and only a refusal may give a reason.
std::string Refusal(const Bytes& file)
{
    xf::MeshData mesh;
    std::string error;
    const bool read = xf::ReadXFile(file.data(), file.size(), &mesh, &error);
    const bool clean = read ? error.empty() : !error.empty() && mesh.vertices.empty() && mesh.indices.empty();
    return clean ? error : "inconsistent: " + error;
}

TEST(XFileTest, BadTextBinaryAndCompressedFilesAreRefusedWithAReason)
{
    const std::string tri = "3; 0;0;0;, 1;0;0;, 0;1;0;;";
    auto meshWith = [&](const std::string& more) { return Header("Mesh { " + tri + " 1; 3; 0,1,2;; " + more + " }"); };
    const std::string longName(5000, 'n');
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "Frame {";
    // reason: empty: the file is read
    std::tuple<std::string, const char*> rows[] = {
        {"xof 0303txt", "not a .x file"},
        {"xof 0303zip 0032 Mesh {}", "unknown .x format"},
        {Header("Mesh { 2147483647; 0;0;0;; }"), "vertex count larger than the data"},
        {Header("Mesh { " + tri + " 1; 3; 0,1,3;; }"), "face index out of range"},
        {Header("Mesh { " + tri + " 4000000000; 3;0,1,2;; }"), "face count larger than the data"},
        {meshWith("MeshNormals { 1; 0;0;1;; 1; 3; 0,0,1;; }"), "normal index out of range"},
        {meshWith("MeshNormals { 1; 0;0;1;; 2; 3; 0,0,0;; }"), "normal faces differ from the mesh's faces"},
        {meshWith("MeshTextureCoords { 2; 0;0;, 1;1;; }"), "fewer texture coordinates than vertices"},
        {meshWith("MeshMaterialList { 1; 1; 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }"),
         "material index out of range"},
        {meshWith("MeshMaterialList { 9; 1; 5;; }"), "material index past the materials given"},
        {meshWith("MeshVertexColors { 1; 7; 1;1;1;1;;; }"), "vertex colour index out of range"},
        {Header(deep), "frames nested too deeply"},
        {Header("Mesh { " + tri + " 1; 3; 0,1,2;;"), "missing }"},
        {Header("Material M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"open"), "unterminated string at line 2"},
        {Header("template T { <abc"), "unterminated GUID at line 2"},
        {meshWith("1e999"), "bad number at line 2"},
        {Header("Mesh { " + tri + " 1; 2; 0,1;; }"), "no triangles"},
        {Header("Frame " + longName + " { Mesh " + longName + " { " + tri +
                " 1; 3; 0,1,2;; MeshMaterialList { 1; 1; 0;; { " + longName + " } } } }"),
         ""},
    };
    for (const auto& [text, reason] : rows)
        EXPECT_EQ(Refusal(ToBytes(text)), reason) << text.substr(0, 120);

    // Binary records and compressed blocks whose lengths run past the data they sit in.
    const Bytes text = ToBytes(Header("Mesh { " + tri + " 1; 3; 0,1,2;; }"));
    Bytes binary;
    ASSERT_TRUE(xf::TextToBinaryX(text.data(), text.size(), &binary));
    auto withU32At = [](Bytes b, std::size_t at, std::uint32_t v) {
        std::memcpy(b.data() + at, &v, 4);
        return b;
    };
    // Layout: header(16) Name(2+4+4 "Mesh") '{'(2) IntList(2 + 4 count ...) ...
    const std::size_t nameLength = 18, firstListCount = 30;
    const Bytes zipped = xf::DeflateXFile("xof 0303bzip0032", binary.data() + 16, binary.size() - 16);
    Bytes packedTooBig = zipped;
    packedTooBig[22] = 0xFF, packedTooBig[23] = 0x7F;
    Bytes plainTooBig = zipped; // the block and the file both claim one byte more
    plainTooBig[20] += 1, plainTooBig[16] += 1;
    std::tuple<const char*, Bytes, const char*> binaryRows[] = {
        {"name length", withU32At(binary, nameLength, 0x7FFFFFFF), "name or string longer than the data"},
        {"list count", withU32At(binary, firstListCount, 0x40000000), "list longer than the data"},
        {"truncated", Bytes(binary.begin(), binary.end() - 2), "missing }"},
        {"unknown token", withU32At(binary, 26, 0x00630063), "unknown token 99"},
        {"total size", withU32At(zipped, 16, 0xFFFFFFF0), "compressed file size out of range"},
        {"block past the end", packedTooBig, "compressed block past the end or without its signature"},
        {"block larger than it inflates", plainTooBig, "compressed block does not inflate to its size"},
        {"cut short", Bytes(zipped.begin(), zipped.begin() + 21), "compressed block header past the end"},
    };
    for (const auto& [name, file, reason] : binaryRows)
        EXPECT_EQ(Refusal(file), reason) << name;
}

// The reader's smaller rules: 64-bit binary floats, a short material list repeating its last
// entry, a mirroring frame keeping normals outward, a mesh without materials getting one white
// material, and two meshes merged with their subsets numbered on.
TEST(XFileTest, SmallerRulesHold)
{
    // A binary triangle with 8-byte floats: Mesh { 3; 9 doubles; 1; 3; 0,1,2; }.
    Bytes bin = ToBytes("xof 0303bin 0064");
    auto put = [&](std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bin.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(1, 2), put(4, 4), bin.insert(bin.end(), {'M', 'e', 's', 'h'}), put(10, 2);
    put(6, 2), put(1, 4), put(3, 4);
    put(7, 2), put(9, 4);
    for (double d : {0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 1.5, 1.0, 0.0})
        put(std::bit_cast<std::uint64_t>(d), 8);
    put(6, 2), put(5, 4), put(1, 4), put(3, 4), put(0, 4), put(1, 4), put(2, 4), put(11, 2);
    xf::MeshData mesh;
    std::string error;
    ASSERT_TRUE(xf::ReadXFile(bin.data(), bin.size(), &mesh, &error)) << error;
    EXPECT_FLOAT_EQ(mesh.vertices[2].position[0], 1.5f);

    const std::string quad = "4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;; 3; 3;0,1,2;, 3;0,2,3;, 3;1,2,3;;";
    const std::string mat = "Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }";
    const Bytes file = ToBytes(Header("Frame { FrameTransformMatrix { -1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
                                      "  Mesh { " +
                                      quad +
                                      " MeshNormals { 1; 0;0;-1;; 3; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;; }\n"
                                      "    MeshMaterialList { 2; 2; 0, 1;; " +
                                      mat + " " + mat +
                                      " } } }\n"
                                      "Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;; }"));
    ASSERT_TRUE(xf::ReadXFile(file.data(), file.size(), &mesh, &error)) << error;
    EXPECT_EQ(mesh.attributes, (std::vector<std::uint32_t>{0, 1, 1, 2}));
    ASSERT_EQ(mesh.materials.size(), 3u);
    EXPECT_EQ(std::pair(mesh.materials[2].diffuse[1], mesh.vertices[2].position[0]), std::pair(1.0f, -1.0f));
    // Mirrored in x, a normal along z keeps its direction (the inverse transpose, signed).
    EXPECT_TRUE(mesh.vertices[0].normal[2] == -1.0f && !mesh.hasUVs) << mesh.vertices[0].normal[2];
}

// Through the device: faces sorted into one range per subset, the FVF from what the file has,
// materials with their texture names, and each subset drawn with its own range.

using XMeshDeviceTest = vireo::gfxtest::DeviceTest;

TEST_F(XMeshDeviceTest, LoadedMeshKeepsOneRangePerSubsetAndTheMaterialNames)
{
    const Bytes text = ToBytes(kModel);
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    ASSERT_EQ(D3DXLoadMeshFromXInMemory(text.data(), static_cast<DWORD>(text.size()), D3DXMESH_SYSTEMMEM, m_device,
                                        nullptr, &materials, nullptr, &count, &mesh),
              S_OK);
    EXPECT_EQ(mesh->GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(std::pair(mesh->GetNumFaces(), mesh->GetNumVertices()), std::pair(3u, 7u));
    ASSERT_EQ(count, 2u);
    const auto* m = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_EQ(m[0].pTextureFilename, nullptr);
    EXPECT_STREQ(m[1].pTextureFilename, "tex ture.png");
    EXPECT_FLOAT_EQ(m[1].MatD3D.Diffuse.b, 1.0f);

    // The triangle (material 0) comes first, then the quad's two faces (material 1).
    DWORD ranges = 0;
    mesh->GetAttributeTable(nullptr, &ranges);
    ASSERT_EQ(ranges, 2u);
    D3DXATTRIBUTERANGE table[2];
    mesh->GetAttributeTable(table, &ranges);
    EXPECT_EQ(std::tie(table[0].AttribId, table[0].FaceCount, table[0].VertexStart, table[0].VertexCount),
              std::make_tuple(0u, 1u, 4u, 3u));
    EXPECT_EQ(std::tie(table[1].FaceStart, table[1].FaceCount), std::make_tuple(1u, 2u));
    std::uint16_t* indices = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&indices)), S_OK);
    EXPECT_EQ((std::vector<std::uint16_t>(indices, indices + 9)),
              (std::vector<std::uint16_t>{4, 5, 6, 0, 1, 2, 0, 2, 3}));
    mesh->UnlockIndexBuffer();
    for (DWORD subset : {0u, 1u, 7u})
        EXPECT_EQ(mesh->DrawSubset(subset), S_OK) << subset;
    mesh->Release();
    materials->Release();

    const std::string bad = "xof 0303txt 0032 Mesh { 1; }";
    EXPECT_EQ(D3DXLoadMeshFromXInMemory(bad.data(), static_cast<DWORD>(bad.size()), 0, m_device, nullptr, &materials,
                                        nullptr, &count, &mesh),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(D3DXLoadMeshFromXW(L"no/such/mesh.x", 0, m_device, nullptr, nullptr, nullptr, nullptr, &mesh),
              D3DERR_NOTFOUND);
}

} // namespace
