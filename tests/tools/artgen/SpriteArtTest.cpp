// Checks the Desc.ini texts of the demo's packages against their frames. The exact pixels are
// the byte-for-byte art check's.
#include "tools/artgen/SpriteArt.h"
#include "tools/artgen/ExplosionArt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

namespace {

int DescInt(const std::string& desc, const std::string& key)
{
    const std::size_t at = desc.find("\n" + key + "=");
    return at == std::string::npos ? -1 : std::atoi(desc.c_str() + at + key.size() + 2);
}

TEST(SpriteArt, PackagesMatchTheirDescriptions)
{
    const std::tuple<const char*, artgen::SpritePackage, int, int, int> cases[] = {
        {"hero", artgen::DrawHeroPackage(), 48, 64, 12},
        {"sparkle", artgen::DrawSparklePackage(), 32, 32, 1},
        {"explosion", artgen::DrawExplosionPackage(), 64, 64, 1}};
    for (const auto& [name, package, width, height, rowCentres] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(DescInt(package.desc, "PictureCount"), static_cast<int>(package.frames.size()));
        for (const artgen::Canvas& frame : package.frames)
            EXPECT_EQ(std::pair(frame.Width(), frame.Height()), std::pair(width, height));
        // Every line CRLF-terminated, and one centre point per picture (or one for all).
        std::size_t lines = 0;
        for (std::size_t i = 0; i < package.desc.size(); ++i)
            if (package.desc[i] == '\n') {
                ++lines;
                EXPECT_TRUE(i > 0 && package.desc[i - 1] == '\r') << "bare LF at byte " << i;
            }
        EXPECT_GT(lines, 10u);
        EXPECT_EQ(package.desc.back(), '\n');
        const std::string centres = package.desc.substr(package.desc.find("[CenterPoint]"));
        int count = 0;
        for (std::size_t at = centres.find('='); at != std::string::npos; at = centres.find('=', at + 1))
            ++count;
        EXPECT_EQ(count, rowCentres);
    }
}

} // namespace
