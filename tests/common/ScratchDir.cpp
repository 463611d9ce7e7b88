// Small file helpers for tests that check the bytes the engine wrote.
#include "common/ScratchDir.h"

#include <fstream>
#include <iterator>

namespace vireo::test {

std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace vireo::test
