// Fuzz target for the .x reader: text, binary and compressed files by their own header, read
// into one flattened mesh. Traps when a success breaks the mesh's shape (an index past the
// vertices, a triangle without its attribute, an attribute past the materials).
#include "platform/gfx/mesh/XFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace xf = vireo::gfx::xfile;
    xf::MeshData mesh;
    std::string error;
    if (!xf::ReadXFile(data, size, &mesh, &error)) {
        if (error.empty() || !mesh.vertices.empty() || !mesh.indices.empty())
            __builtin_trap();
        return 0;
    }
    if (mesh.indices.empty() || mesh.indices.size() != mesh.attributes.size() * 3 || mesh.materials.empty())
        __builtin_trap();
    for (std::uint32_t index : mesh.indices)
        if (index >= mesh.vertices.size())
            __builtin_trap();
    for (std::uint32_t attribute : mesh.attributes)
        if (attribute >= mesh.materials.size())
            __builtin_trap();
    return 0;
}
