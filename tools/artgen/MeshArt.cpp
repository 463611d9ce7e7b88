// Builds the lantern drum: 12 side quads with their own corners (so each face has a flat
// normal and the texture wraps once around), two 12-sided caps written as single faces that
// the loader splits into fans, and two materials. Plain numbers with fixed decimals, so the
// same build writes the same bytes.
#include "MeshArt.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace artgen {
namespace {

constexpr int kSides = 12;
constexpr float kRadius = 1.0f;
constexpr float kHalfHeight = 0.8f;
constexpr float kPi = 3.14159265f;

std::string Num(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(v));
    return std::string(std::strcmp(text, "-0.0000") == 0 ? "0.0000" : text);
}

std::string Vec(float x, float y, float z)
{
    return Num(x) + ";" + Num(y) + ";" + Num(z) + ";";
}

Canvas DrawSkin()
{
    // Warm glass panes between dark struts: one strut and one pane per side, 12 across.
    Canvas canvas(96, 32);
    const Rgba strut = FromHex(0x3B2A1C);
    const Rgba glow = FromHex(0xFFB347);
    const Rgba glowEdge = FromHex(0xE0572B);
    canvas.Paint([](float, float) { return true; }, strut);
    canvas.Paint([](float x, float y) { return std::fmod(x, 8.0f) > 1.5f && y > 3 && y < 29; },
                 [&](float x, float y) {
                     const float across = std::fabs(std::fmod(x, 8.0f) - 4.75f) / 3.25f;
                     const float down = std::fabs(y - 16) / 13;
                     return Mix(glow, glowEdge, std::fmin(1.0f, 0.6f * across + 0.6f * down));
                 });
    return canvas;
}

} // namespace

MeshFolder DrawLanternMesh()
{
    std::string vertices, faces, normals, normalFaces, uvs, materials;
    int vertexCount = 0;
    // Sides: corners bottom-left, top-left, top-right, bottom-right seen from outside, which
    // is clockwise: the front face of a left-handed scene (angle grows to the viewer's right).
    for (int i = 0; i < kSides; ++i) {
        const float a0 = 2 * kPi * i / kSides, a1 = 2 * kPi * (i + 1) / kSides, am = (a0 + a1) / 2;
        const float x0 = kRadius * std::sin(a0), z0 = -kRadius * std::cos(a0);
        const float x1 = kRadius * std::sin(a1), z1 = -kRadius * std::cos(a1);
        vertices += Vec(x0, -kHalfHeight, z0) + "," + Vec(x0, kHalfHeight, z0) + "," + Vec(x1, kHalfHeight, z1) + "," +
                    Vec(x1, -kHalfHeight, z1) + ",\n";
        const float u0 = static_cast<float>(i) / kSides, u1 = static_cast<float>(i + 1) / kSides;
        uvs += Num(u0) + ";1.0000;," + Num(u0) + ";0.0000;," + Num(u1) + ";0.0000;," + Num(u1) + ";1.0000;,\n";
        const int b = vertexCount;
        faces += "4;" + std::to_string(b) + "," + std::to_string(b + 1) + "," + std::to_string(b + 2) + "," +
                 std::to_string(b + 3) + ";,\n";
        normals += Vec(std::sin(am), 0, -std::cos(am)) + ",\n";
        const std::string n = std::to_string(i);
        normalFaces += "4;" + n + "," + n + "," + n + "," + n + ";,\n";
        materials += "0,";
        vertexCount += 4;
    }
    // Caps: the top seen from above and the bottom seen from below, each clockwise.
    for (int cap = 0; cap < 2; ++cap) {
        const float y = cap == 0 ? kHalfHeight : -kHalfHeight;
        std::string face = std::to_string(kSides) + ";";
        for (int i = 0; i < kSides; ++i) {
            const int k = cap == 0 ? kSides - 1 - i : i;
            const float a = 2 * kPi * k / kSides;
            vertices += Vec(kRadius * std::sin(a), y, -kRadius * std::cos(a)) + ",\n";
            uvs += "0.0000;0.0000;,\n";
            face += std::to_string(vertexCount + i) + (i + 1 < kSides ? "," : ";");
        }
        faces += face + (cap == 0 ? ",\n" : ";\n");
        normals += Vec(0, cap == 0 ? 1.0f : -1.0f, 0) + (cap == 0 ? ",\n" : ";\n");
        std::string normalFace = std::to_string(kSides) + ";";
        const std::string n = std::to_string(kSides + cap);
        for (int i = 0; i < kSides; ++i)
            normalFace += n + (i + 1 < kSides ? "," : ";");
        normalFaces += normalFace + (cap == 0 ? ",\n" : ";\n");
        materials += cap == 0 ? "1," : "1;";
        vertexCount += kSides;
    }
    vertices.replace(vertices.size() - 2, 2, ";\n");
    uvs.replace(uvs.size() - 2, 2, ";\n");
    const std::string faceCount = std::to_string(kSides + 2);

    MeshFolder folder;
    folder.texture = "Lantern.png";
    folder.skin = DrawSkin();
    folder.xText = "xof 0303txt 0032\n"
                   "// A lantern drum made by vireo-artgen; regenerate rather than edit.\n"
                   "Frame Lantern {\n"
                   "FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,0.0,1.0;; }\n"
                   "Mesh Drum {\n" +
                   std::to_string(vertexCount) + ";\n" + vertices + faceCount + ";\n" + faces + "MeshNormals {\n" +
                   std::to_string(kSides + 2) + ";\n" + normals + faceCount + ";\n" + normalFaces +
                   "}\n"
                   "MeshTextureCoords {\n" +
                   std::to_string(vertexCount) + ";\n" + uvs +
                   "}\n"
                   "MeshMaterialList {\n2;\n" +
                   faceCount + ";\n" + materials +
                   ";\n"
                   "Material Panes { 1.0;1.0;1.0;1.0;; 12.0; 0.6;0.5;0.3;; 0.25;0.15;0.05;; TextureFilename { \"" +
                   folder.texture +
                   "\"; } }\n"
                   "Material Caps { 0.35;0.24;0.16;1.0;; 4.0; 0.2;0.2;0.2;; 0.0;0.0;0.0;; }\n"
                   "}\n}\n}\n";
    return folder;
}

} // namespace artgen
