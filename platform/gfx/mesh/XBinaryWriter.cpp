// Turns a text .x body into the binary encoding, token for token: runs of integers become
// integer lists, runs of floats float lists (32-bit), separators semicolons. For the art tool,
// the fuzz seeds and the tests; the loader never writes.
#include "platform/gfx/mesh/XFile.h"
#include "platform/gfx/mesh/XTokens.h"

#include <cstring>

namespace vireo::gfx::xfile {

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

bool TextToBinaryX(const std::uint8_t* text, std::size_t size, std::vector<std::uint8_t>* out)
{
    if (size < 16)
        return false;
    out->assign(text, text + 16);
    std::memcpy(out->data() + 8, "bin 0032", 8);
    TextTokenStream tokens(text + 16, size - 16);
    std::vector<std::uint32_t> run; // the pending list's elements
    bool runFloats = false;
    auto flush = [&] {
        if (run.empty())
            return;
        Put(*out, runFloats ? 7 : 6, 2);
        Put(*out, static_cast<std::uint32_t>(run.size()), 4);
        for (std::uint32_t v : run)
            Put(*out, v, 4);
        run.clear();
    };
    for (;;) {
        const Token t = tokens.Next();
        if (t.kind == TokenKind::Separator)
            continue;
        if (t.kind == TokenKind::Number) {
            const bool isFloat = !t.integral || t.number < 0 || t.number > 4294967295.0;
            if (isFloat != runFloats)
                flush();
            runFloats = isFloat;
            std::uint32_t bits = static_cast<std::uint32_t>(t.number);
            if (isFloat) {
                const float f = static_cast<float>(t.number);
                std::memcpy(&bits, &f, 4);
            }
            run.push_back(bits);
            continue;
        }
        flush();
        switch (t.kind) {
        case TokenKind::End:
            return true;
        case TokenKind::Error:
            return false;
        case TokenKind::Name:
        case TokenKind::String:
            Put(*out, t.kind == TokenKind::Name ? 1 : 2, 2);
            Put(*out, static_cast<std::uint32_t>(t.text.size()), 4);
            out->insert(out->end(), t.text.begin(), t.text.end());
            if (t.kind == TokenKind::String)
                Put(*out, 20, 2);
            break;
        case TokenKind::Guid:
            Put(*out, 5, 2);
            out->insert(out->end(), 16, 0);
            break;
        case TokenKind::Open:
            Put(*out, 10, 2);
            break;
        case TokenKind::Close:
            Put(*out, 11, 2);
            break;
        case TokenKind::Template:
            Put(*out, 31, 2);
            break;
        default:
            Put(*out, 18, 2); // punctuation inside a template: kept as a dot
            break;
        }
    }
}

} // namespace vireo::gfx::xfile
