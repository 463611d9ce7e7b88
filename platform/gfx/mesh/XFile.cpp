// The .x reader: the header, then the objects the loader needs (Frame, FrameTransformMatrix,
// Mesh and its normals, texture coordinates, vertex colours and material list, Material,
// TextureFilename), read straight from the token stream; templates and every other object are
// skipped by counting braces, without recursion. A count is checked against the bytes left
// before anything is reserved for it; an index past its array refuses the whole file.
#include "platform/gfx/mesh/XFile.h"
#include "platform/gfx/mesh/XTokens.h"

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

namespace vireo::gfx::xfile {

namespace {

using Vec3 = std::array<float, 3>;

// One Mesh object as written: faces keep their corner counts until the merge splits them.
struct RawMesh {
    std::vector<Vec3> positions;
    std::vector<std::uint32_t> faceStart{0}; // faces are corners[faceStart[f], faceStart[f + 1])
    std::vector<std::uint32_t> corners;
    std::vector<Vec3> normals;
    std::vector<std::uint32_t> normalCorners; // same layout as corners, or empty
    std::vector<std::array<float, 2>> uvs;
    std::vector<std::uint32_t> colors;
    std::vector<std::uint32_t> faceMaterials;
    std::vector<Material> materials;
    std::size_t FaceCount() const { return faceStart.size() - 1; }
};

bool EqualsNoCase(std::string_view a, const char* b)
{
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        char d = b[i];
        if (d >= 'A' && d <= 'Z')
            d = static_cast<char>(d - 'A' + 'a');
        if (c != d)
            return false;
    }
    return true;
}

std::uint32_t ColorByte(float v)
{
    if (!(v > 0))
        return 0;
    if (v >= 1)
        return 255;
    return static_cast<std::uint32_t>(v * 255.0f + 0.5f);
}

class CReader {
  public:
    explicit CReader(TokenStream& tokens) : m_tokens(tokens) {}

    bool ReadFile();
    std::vector<RawMesh>& Meshes() { return m_meshes; }
    const std::string& Error() const { return m_error; }

  private:
    Token Next()
    {
        if (m_hasPeek) {
            m_hasPeek = false;
            return m_peek;
        }
        return m_tokens.Next();
    }
    Token Peek()
    {
        if (!m_hasPeek) {
            m_peek = m_tokens.Next();
            m_hasPeek = true;
        }
        return m_peek;
    }
    bool Fail(std::string why)
    {
        if (m_error.empty())
            m_error = m_tokens.Error().empty() ? std::move(why) : m_tokens.Error();
        return false;
    }

    bool ReadNumber(double* value);
    bool ReadFloats(float* out, int count);
    bool ReadIndex(std::uint32_t* value, std::uint32_t limit, const char* what);
    // A count of elements that take at least numbersEach numbers each.
    bool ReadCount(std::uint32_t* count, std::size_t numbersEach, const char* what);
    bool SkipBody();
    bool OpenObject(std::string* name);
    bool SkipObject();
    // The rest of a body after its data: child objects go to onChild (false = skip it),
    // references to onReference; stray data is ignored.
    template <typename Child, typename Reference> bool ReadChildren(Child onChild, Reference onReference);
    // The rest of a body whose children are all skipped.
    bool SkipRest()
    {
        return ReadChildren([](std::string_view, bool*) { return true; }, [](std::string_view) {});
    }

    bool ReadFrame(int depth);
    bool ReadMesh();
    bool ReadNormals(RawMesh& mesh);
    bool ReadTextureCoords(RawMesh& mesh);
    bool ReadVertexColors(RawMesh& mesh);
    bool ReadMaterialList(RawMesh& mesh);
    bool ReadMaterial(Material* material);
    bool ReadMatrix(float m[16]);
    void Transform(std::size_t firstMesh, const float m[16]);

    TokenStream& m_tokens;
    Token m_peek;
    bool m_hasPeek = false;
    std::string m_error;
    std::vector<RawMesh> m_meshes;
    std::map<std::string, Material, std::less<>> m_namedMaterials;
};

bool CReader::ReadNumber(double* value)
{
    for (;;) {
        const Token t = Next();
        if (t.kind == TokenKind::Separator)
            continue;
        if (t.kind == TokenKind::Number) {
            *value = t.number;
            return true;
        }
        return Fail(t.kind == TokenKind::End ? "data ends inside an object" : "number expected");
    }
}

bool CReader::ReadFloats(float* out, int count)
{
    for (int i = 0; i < count; ++i) {
        double v = 0;
        if (!ReadNumber(&v))
            return false;
        out[i] = static_cast<float>(v);
    }
    return true;
}

bool CReader::ReadIndex(std::uint32_t* value, std::uint32_t limit, const char* what)
{
    double v = 0;
    if (!ReadNumber(&v))
        return false;
    // Written as a whole number below the limit; the comparison also refuses NaN.
    if (!(v >= 0 && v < static_cast<double>(limit)) || v != std::floor(v))
        return Fail(std::string(what) + " out of range");
    *value = static_cast<std::uint32_t>(v);
    return true;
}

bool CReader::ReadCount(std::uint32_t* count, std::size_t numbersEach, const char* what)
{
    if (!ReadIndex(count, 0xFFFFFFFFu, what))
        return false;
    const std::size_t room = m_tokens.BytesLeft() / m_tokens.MinBytesPerNumber();
    if (numbersEach > 0 && *count > room / numbersEach)
        return Fail(std::string(what) + " larger than the data");
    return true;
}

bool CReader::SkipBody()
{
    // The opening brace is read; count to its partner without recursing.
    std::size_t depth = 1;
    while (depth > 0) {
        const Token t = Next();
        if (t.kind == TokenKind::Open)
            ++depth;
        else if (t.kind == TokenKind::Close)
            --depth;
        else if (t.kind == TokenKind::End || t.kind == TokenKind::Error)
            return Fail("missing }");
    }
    return true;
}

bool CReader::OpenObject(std::string* name)
{
    Token t = Next();
    if (t.kind == TokenKind::Name) {
        if (name)
            name->assign(t.text);
        t = Next();
    }
    if (t.kind == TokenKind::Guid)
        t = Next();
    if (t.kind != TokenKind::Open)
        return Fail("{ expected");
    return true;
}

bool CReader::SkipObject()
{
    return OpenObject(nullptr) && SkipBody();
}

template <typename Child, typename Reference> bool CReader::ReadChildren(Child onChild, Reference onReference)
{
    for (;;) {
        const Token t = Next();
        switch (t.kind) {
        case TokenKind::Close:
            return true;
        case TokenKind::Name: {
            bool handled = false;
            if (!onChild(t.text, &handled))
                return false;
            if (!handled && !SkipObject())
                return false;
            break;
        }
        case TokenKind::Open: {
            // A reference: { name }, { <guid> } or { name <guid> }.
            std::string_view name;
            Token r = Next();
            while (r.kind == TokenKind::Name || r.kind == TokenKind::Guid) {
                if (r.kind == TokenKind::Name)
                    name = r.text;
                r = Next();
            }
            if (r.kind != TokenKind::Close)
                return Fail("bad reference");
            onReference(name);
            break;
        }
        case TokenKind::End:
        case TokenKind::Error:
            return Fail("missing }");
        case TokenKind::Template:
            return Fail("template inside an object");
        default:
            break; // data the reader does not use
        }
    }
}

bool CReader::ReadMatrix(float m[16])
{
    return ReadFloats(m, 16) && SkipRest();
}

void CReader::Transform(std::size_t firstMesh, const float m[16])
{
    // Normals go through the cofactor matrix (the inverse transpose up to scale), signed so a
    // mirroring frame keeps them pointing out.
    const float c[9] = {m[5] * m[10] - m[6] * m[9], m[6] * m[8] - m[4] * m[10], m[4] * m[9] - m[5] * m[8],
                        m[2] * m[9] - m[1] * m[10], m[0] * m[10] - m[2] * m[8], m[1] * m[8] - m[0] * m[9],
                        m[1] * m[6] - m[2] * m[5],  m[2] * m[4] - m[0] * m[6],  m[0] * m[5] - m[1] * m[4]};
    const float det = m[0] * c[0] + m[1] * c[1] + m[2] * c[2];
    const float sign = det < 0 ? -1.0f : 1.0f;
    for (std::size_t i = firstMesh; i < m_meshes.size(); ++i) {
        for (Vec3& p : m_meshes[i].positions) {
            const Vec3 v = p;
            for (int k = 0; k < 3; ++k)
                p[k] = v[0] * m[k] + v[1] * m[4 + k] + v[2] * m[8 + k] + m[12 + k];
        }
        for (Vec3& n : m_meshes[i].normals) {
            const Vec3 v = n;
            for (int k = 0; k < 3; ++k)
                n[k] = sign * (v[0] * c[3 * k] + v[1] * c[3 * k + 1] + v[2] * c[3 * k + 2]);
            const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (len > 0)
                for (float& x : n)
                    x /= len;
        }
    }
}

bool CReader::ReadFrame(int depth)
{
    if (depth > kMaxNesting)
        return Fail("frames nested too deeply");
    if (!OpenObject(nullptr))
        return false;
    const std::size_t firstMesh = m_meshes.size();
    float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const bool ok = ReadChildren(
        [&](std::string_view type, bool* handled) {
            *handled = true;
            if (type == "Frame")
                return ReadFrame(depth + 1);
            if (type == "Mesh")
                return ReadMesh();
            if (type == "FrameTransformMatrix")
                return OpenObject(nullptr) && ReadMatrix(matrix);
            *handled = false;
            return true;
        },
        [](std::string_view) {});
    if (!ok)
        return false;
    // Every mesh of this frame and its children, the children's own transforms already applied.
    Transform(firstMesh, matrix);
    return true;
}

bool CReader::ReadMesh()
{
    if (!OpenObject(nullptr))
        return false;
    RawMesh mesh;
    std::uint32_t vertexCount = 0, faceCount = 0;
    if (!ReadCount(&vertexCount, 3, "vertex count"))
        return false;
    mesh.positions.resize(vertexCount);
    for (Vec3& p : mesh.positions)
        if (!ReadFloats(p.data(), 3))
            return false;
    if (!ReadCount(&faceCount, 1, "face count"))
        return false;
    mesh.faceStart.reserve(std::size_t{faceCount} + 1);
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        std::uint32_t n = 0;
        if (!ReadCount(&n, 1, "face corner count"))
            return false;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::uint32_t index = 0;
            if (!ReadIndex(&index, vertexCount, "face index"))
                return false;
            mesh.corners.push_back(index);
        }
        mesh.faceStart.push_back(static_cast<std::uint32_t>(mesh.corners.size()));
    }
    const bool ok = ReadChildren(
        [&](std::string_view type, bool* handled) {
            *handled = true;
            if (type == "MeshNormals")
                return ReadNormals(mesh);
            if (type == "MeshTextureCoords")
                return ReadTextureCoords(mesh);
            if (type == "MeshVertexColors")
                return ReadVertexColors(mesh);
            if (type == "MeshMaterialList")
                return ReadMaterialList(mesh);
            *handled = false;
            return true;
        },
        [](std::string_view) {});
    if (!ok)
        return false;
    m_meshes.push_back(std::move(mesh));
    return true;
}

bool CReader::ReadNormals(RawMesh& mesh)
{
    if (!OpenObject(nullptr))
        return false;
    std::uint32_t count = 0, faceCount = 0;
    if (!ReadCount(&count, 3, "normal count"))
        return false;
    mesh.normals.resize(count);
    for (Vec3& n : mesh.normals)
        if (!ReadFloats(n.data(), 3))
            return false;
    if (!ReadCount(&faceCount, 1, "normal face count"))
        return false;
    if (faceCount != mesh.FaceCount())
        return Fail("normal faces differ from the mesh's faces");
    mesh.normalCorners.reserve(mesh.corners.size());
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        std::uint32_t n = 0;
        if (!ReadCount(&n, 1, "normal face corner count"))
            return false;
        if (n != mesh.faceStart[f + 1] - mesh.faceStart[f])
            return Fail("normal face differs from its mesh face");
        for (std::uint32_t i = 0; i < n; ++i) {
            std::uint32_t index = 0;
            if (!ReadIndex(&index, count, "normal index"))
                return false;
            mesh.normalCorners.push_back(index);
        }
    }
    return SkipRest();
}

bool CReader::ReadTextureCoords(RawMesh& mesh)
{
    if (!OpenObject(nullptr))
        return false;
    std::uint32_t count = 0;
    if (!ReadCount(&count, 2, "texture coordinate count"))
        return false;
    if (count < mesh.positions.size())
        return Fail("fewer texture coordinates than vertices");
    mesh.uvs.resize(mesh.positions.size());
    for (std::uint32_t i = 0; i < count; ++i) {
        float uv[2];
        if (!ReadFloats(uv, 2))
            return false;
        if (i < mesh.uvs.size())
            mesh.uvs[i] = {uv[0], uv[1]};
    }
    return SkipRest();
}

bool CReader::ReadVertexColors(RawMesh& mesh)
{
    if (!OpenObject(nullptr))
        return false;
    std::uint32_t count = 0;
    if (!ReadCount(&count, 5, "vertex colour count"))
        return false;
    mesh.colors.assign(mesh.positions.size(), 0xFFFFFFFFu);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t index = 0;
        float rgba[4];
        if (!ReadIndex(&index, static_cast<std::uint32_t>(mesh.positions.size()), "vertex colour index") ||
            !ReadFloats(rgba, 4))
            return false;
        mesh.colors[index] =
            (ColorByte(rgba[3]) << 24) | (ColorByte(rgba[0]) << 16) | (ColorByte(rgba[1]) << 8) | ColorByte(rgba[2]);
    }
    return SkipRest();
}

bool CReader::ReadMaterialList(RawMesh& mesh)
{
    if (!OpenObject(nullptr))
        return false;
    std::uint32_t materialCount = 0, indexCount = 0;
    // Each material takes at least its braces: bounded like a number.
    if (!ReadCount(&materialCount, 1, "material count") || !ReadCount(&indexCount, 1, "material face count"))
        return false;
    mesh.faceMaterials.reserve(std::min<std::size_t>(indexCount, mesh.FaceCount()));
    for (std::uint32_t i = 0; i < indexCount; ++i) {
        std::uint32_t index = 0;
        if (!ReadIndex(&index, materialCount, "material index"))
            return false;
        if (i < mesh.FaceCount())
            mesh.faceMaterials.push_back(index);
    }
    const bool ok = ReadChildren(
        [&](std::string_view type, bool* handled) {
            if (type != "Material")
                return true;
            *handled = true;
            Material material;
            if (!ReadMaterial(&material))
                return false;
            mesh.materials.push_back(std::move(material));
            return true;
        },
        [&](std::string_view name) {
            const auto found = m_namedMaterials.find(name);
            mesh.materials.push_back(found != m_namedMaterials.end() ? found->second : Material{});
        });
    if (!ok)
        return false;
    // Only materials the list really holds are kept, so a count far beyond them costs nothing;
    // a face that names one that is missing refuses the file.
    if (mesh.materials.size() > materialCount)
        mesh.materials.resize(materialCount);
    for (std::uint32_t index : mesh.faceMaterials)
        if (index >= mesh.materials.size())
            return Fail("material index past the materials given");
    return true;
}

bool CReader::ReadMaterial(Material* material)
{
    if (!OpenObject(nullptr))
        return false;
    if (!ReadFloats(material->diffuse, 4) || !ReadFloats(&material->power, 1) || !ReadFloats(material->specular, 3) ||
        !ReadFloats(material->emissive, 3))
        return false;
    return ReadChildren(
        [&](std::string_view type, bool* handled) {
            if (!EqualsNoCase(type, "TextureFilename"))
                return true;
            *handled = true;
            if (!OpenObject(nullptr))
                return false;
            Token t = Next();
            while (t.kind == TokenKind::Separator)
                t = Next();
            if (t.kind != TokenKind::String)
                return Fail("texture file name expected");
            material->texture.assign(t.text);
            return SkipRest();
        },
        [](std::string_view) {});
}

bool CReader::ReadFile()
{
    for (;;) {
        const Token t = Next();
        switch (t.kind) {
        case TokenKind::End:
            return true;
        case TokenKind::Template: {
            Token s = Next();
            while (s.kind != TokenKind::Open) {
                if (s.kind == TokenKind::End || s.kind == TokenKind::Error)
                    return Fail("unterminated template");
                s = Next();
            }
            if (!SkipBody())
                return false;
            break;
        }
        case TokenKind::Name:
            if (t.text == "Frame") {
                if (!ReadFrame(1))
                    return false;
            } else if (t.text == "Mesh") {
                if (!ReadMesh())
                    return false;
            } else if (t.text == "Material") {
                // A named material at the top level, for the lists that refer to it.
                if (Peek().kind != TokenKind::Name) {
                    if (!SkipObject())
                        return false;
                    break;
                }
                const std::string name(Peek().text);
                Material material;
                if (!ReadMaterial(&material))
                    return false;
                m_namedMaterials[name] = std::move(material);
            } else if (!SkipObject()) {
                return false;
            }
            break;
        case TokenKind::Separator:
            break;
        case TokenKind::Error:
            return Fail("bad token");
        default:
            return Fail("object expected");
        }
    }
}

// Corners become vertices (split where one position has several normals), faces become fans.
void Merge(std::vector<RawMesh>& raw, MeshData* out)
{
    for (const RawMesh& m : raw) {
        out->hasNormals |= !m.normals.empty();
        out->hasUVs |= !m.uvs.empty();
        out->hasColors |= !m.colors.empty();
    }
    for (RawMesh& m : raw) {
        const auto base = static_cast<std::uint32_t>(out->materials.size());
        if (m.materials.empty())
            out->materials.emplace_back(); // a mesh without a list draws with one white material
        else
            out->materials.insert(out->materials.end(), m.materials.begin(), m.materials.end());
        std::unordered_map<std::uint64_t, std::uint32_t> made;
        std::vector<std::uint32_t> cornerVertex(m.corners.size());
        for (std::size_t c = 0; c < m.corners.size(); ++c) {
            const std::uint32_t vi = m.corners[c];
            const std::uint32_t ni = m.normalCorners.empty() ? 0 : m.normalCorners[c];
            const std::uint64_t key = (std::uint64_t{vi} << 32) | ni;
            const auto [it, fresh] = made.try_emplace(key, static_cast<std::uint32_t>(out->vertices.size()));
            if (fresh) {
                Vertex v;
                std::memcpy(v.position, m.positions[vi].data(), sizeof v.position);
                if (!m.normalCorners.empty())
                    std::memcpy(v.normal, m.normals[ni].data(), sizeof v.normal);
                if (!m.uvs.empty())
                    std::memcpy(v.uv, m.uvs[vi].data(), sizeof v.uv);
                if (!m.colors.empty())
                    v.color = m.colors[vi];
                out->vertices.push_back(v);
            }
            cornerVertex[c] = it->second;
        }
        for (std::size_t f = 0; f < m.FaceCount(); ++f) {
            // Faces past a short material list take its last entry; faces under three corners
            // make no triangle.
            std::uint32_t material = 0;
            if (!m.faceMaterials.empty())
                material = m.faceMaterials[std::min(f, m.faceMaterials.size() - 1)];
            for (std::uint32_t i = m.faceStart[f] + 1; i + 1 < m.faceStart[f + 1]; ++i) {
                out->indices.push_back(cornerVertex[m.faceStart[f]]);
                out->indices.push_back(cornerVertex[i]);
                out->indices.push_back(cornerVertex[i + 1]);
                out->attributes.push_back(base + material);
            }
        }
        RawMesh().positions.swap(m.positions); // free as we go
    }
}

} // namespace

bool ReadXFile(const std::uint8_t* data, std::size_t size, MeshData* mesh, std::string* error)
{
    *mesh = MeshData{};
    auto refuse = [&](std::string why) {
        *mesh = MeshData{};
        if (error)
            *error = std::move(why);
        return false;
    };
    if (size < 16 || std::memcmp(data, "xof 03", 6) != 0)
        return refuse("not a .x file");
    const std::string_view format(reinterpret_cast<const char*>(data) + 8, 4);
    const std::string_view floats(reinterpret_cast<const char*>(data) + 12, 4);
    if (floats != "0032" && floats != "0064")
        return refuse("unknown float size");
    const bool text = format == "txt " || format == "tzip";
    if (!text && format != "bin " && format != "bzip")
        return refuse("unknown .x format");

    std::vector<std::uint8_t> inflated;
    const std::uint8_t* body = data + 16;
    std::size_t bodySize = size - 16;
    if (format == "tzip" || format == "bzip") {
        std::string why;
        if (!InflateXBody(data, size, &inflated, &why))
            return refuse(why);
        body = inflated.data();
        bodySize = inflated.size();
    }
    std::unique_ptr<TokenStream> tokens;
    if (text)
        tokens = std::make_unique<TextTokenStream>(body, bodySize);
    else
        tokens = std::make_unique<BinaryTokenStream>(body, bodySize, floats == "0064");
    CReader reader(*tokens);
    if (!reader.ReadFile())
        return refuse(reader.Error());
    Merge(reader.Meshes(), mesh);
    if (mesh->indices.empty())
        return refuse("no triangles");
    return true;
}

} // namespace vireo::gfx::xfile
