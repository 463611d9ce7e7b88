// Checks the Desc.ini texts of the demo's packages against their frames. The exact pixels are
// the byte-for-byte art check's.
#include "tools/artgen/SpriteArt.h"
#include "tools/artgen/ExplosionArt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

int DescInt(const std::string& desc, const std::string& key)
{
    const std::size_t at = desc.find("\n" + key + "=");
    return at == std::string::npos ? -1 : std::atoi(desc.c_str() + at + key.size() + 2);
}

TEST(SpriteArt, PackagesMatchTheirDescriptions)
{
    struct Case {
        const char* name;
        artgen::SpritePackage package;
        int width, height, centres;
    };
    const Case cases[] = {{"hero", artgen::DrawHeroPackage(), 48, 64, 12},
                          {"sparkle", artgen::DrawSparklePackage(), 32, 32, 1},
                          {"explosion", artgen::DrawExplosionPackage(), 64, 64, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DescInt(c.package.desc, "PictureCount"), static_cast<int>(c.package.frames.size()));
        for (const artgen::Canvas& frame : c.package.frames) {
            EXPECT_EQ(frame.Width(), c.width);
            EXPECT_EQ(frame.Height(), c.height);
        }
        // Every line CRLF-terminated, and one centre point per picture (or one for all).
        std::size_t lines = 0;
        for (std::size_t i = 0; i < c.package.desc.size(); ++i)
            if (c.package.desc[i] == '\n') {
                ++lines;
                EXPECT_TRUE(i > 0 && c.package.desc[i - 1] == '\r') << "bare LF at byte " << i;
            }
        EXPECT_GT(lines, 10u);
        EXPECT_EQ(c.package.desc.back(), '\n');
        const std::string centres = c.package.desc.substr(c.package.desc.find("[CenterPoint]"));
        int count = 0;
        for (std::size_t at = centres.find('='); at != std::string::npos; at = centres.find('=', at + 1))
            ++count;
        EXPECT_EQ(count, c.centres);
    }
}

} // namespace
