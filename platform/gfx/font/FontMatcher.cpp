// Face matching over fontconfig's own configuration, so its metric aliases apply ("Times New
// Roman" to Liberation Serif). Synthetic bold and italic are flagged here and applied by the
// glyph renderer; fontconfig's substitution rules are not trusted alone for them.
#include "platform/gfx/font/FontMatcher.h"

#include "platform/core/Utf8.h"
#include "platform/gfx/font/FontLog.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace vireo::font {

namespace {

// Family names and paths are UTF-8 and may be non-ASCII (localised family names): the wide
// printf would read a narrow %s through the C locale and fail on them, so they go in wide.
std::wstring Wide(const std::string& utf8)
{
    return vireo::platform::WideFromUtf8(utf8);
}

std::set<std::string>& LoggedRequests()
{
    static std::set<std::string> logged;
    return logged;
}

bool EnsureFontconfig()
{
    static const bool ready = FcInit() == FcTrue;
    return ready;
}

int ClampWeight(int weight)
{
    if (weight <= 0)
        return 400; // FW_DONTCARE draws as normal
    return std::min(weight, 1000);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string RequestKey(const SFaceRequest& request)
{
    return Lower(WideToUtf8(request.face)) + '|' + std::to_string(ClampWeight(request.weight)) + '|' +
           (request.italic ? 'i' : 'r');
}

// Families designed to the metrics of a Windows face: taking one is no loss, so not a warning.
bool IsMetricSubstitute(const std::string& wanted, const std::string& family)
{
    static const std::pair<const char*, const char*> kPairs[] = {
        {"times new roman", "liberation serif"},
        {"times new roman", "tinos"},
        {"arial", "liberation sans"},
        {"arial", "arimo"},
        {"courier new", "liberation mono"},
        {"courier new", "cousine"},
    };
    for (const auto& [windows, substitute] : kPairs) {
        if (wanted == windows && Lower(family) == substitute)
            return true;
    }
    return false;
}

// The pattern of a request before fontconfig's substitutions.
FcPattern* RequestPattern(const SFaceRequest& request)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return nullptr;
    std::string family = WideToUtf8(request.face);
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(ClampWeight(request.weight)));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    return pattern;
}

// What a prepared font pattern offers for a request.
SFaceMatch Describe(FcPattern* match, const SFaceRequest& request)
{
    SFaceMatch result;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        result.found = true;
        result.file = reinterpret_cast<const char*>(file);
    }
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
        result.index = index;
    FcChar8* style = nullptr;
    if (FcPatternGetString(match, FC_STYLE, 0, &style) == FcResultMatch && style)
        result.style = reinterpret_cast<const char*>(style);

    const std::string wanted = Lower(WideToUtf8(request.face));
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        std::string name = reinterpret_cast<const char*>(family);
        if (i == 0)
            result.family = name;
        if (!wanted.empty() && Lower(name) == wanted)
            result.exactFamily = true;
        if (IsMetricSubstitute(wanted, name))
            result.metricSubstitute = true;
    }

    double weight = FC_WEIGHT_REGULAR;
    FcPatternGetDouble(match, FC_WEIGHT, 0, &weight);
    FcBool embolden = FcFalse;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    // Weight 600 and above asks for a bold face, as GDI does.
    result.syntheticBold = ClampWeight(request.weight) >= 600 && (weight < FC_WEIGHT_DEMIBOLD || embolden == FcTrue);
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    result.syntheticItalic = request.italic && slant == FC_SLANT_ROMAN;
    return result;
}

// Runs the substitutions and the match.
SFaceMatch Resolve(FcPattern* pattern, const SFaceRequest& request)
{
    SFaceMatch result;
    if (!pattern)
        return result;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &status);
    if (!match)
        return result;
    result = Describe(match, request);
    FcPatternDestroy(match);
    return result;
}

} // namespace

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

SFaceMatch MatchFace(const SFaceRequest& request)
{
    SFaceMatch result;
    if (EnsureFontconfig()) {
        FcPattern* pattern = RequestPattern(request);
        result = Resolve(pattern, request);
        if (pattern)
            FcPatternDestroy(pattern);
    }

    if (LoggedRequests().insert(RequestKey(request)).second) {
        if (!result.found) {
            FontLog(3, L"Font \"%ls\": no font file found", request.face.c_str());
        } else {
            const wchar_t* how = result.exactFamily        ? L"using"
                                 : result.metricSubstitute ? L"using the metric-compatible"
                                                           : L"not installed, substitute";
            FontLog(result.exactFamily || result.metricSubstitute ? 1 : 2,
                    L"Font \"%ls\" weight %d%ls: %ls \"%ls\" %ls%ls%ls (%ls)", request.face.c_str(),
                    ClampWeight(request.weight), request.italic ? L" italic" : L"", how, Wide(result.family).c_str(),
                    Wide(result.style).c_str(), result.syntheticBold ? L" +synthetic bold" : L"",
                    result.syntheticItalic ? L" +synthetic italic" : L"", Wide(result.file).c_str());
        }
    }
    return result;
}

CFallbackFaces::CFallbackFaces(const SFaceRequest& request) : m_Request(request)
{
    if (!EnsureFontconfig())
        return;
    FcPattern* pattern = RequestPattern(request);
    if (!pattern)
        return;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    m_Pattern = pattern;
}

CFallbackFaces::~CFallbackFaces()
{
    if (m_Pattern)
        FcPatternDestroy(static_cast<FcPattern*>(m_Pattern));
}

SFaceMatch CFallbackFaces::FindFor(char32_t c)
{
    SFaceMatch result;
    if (!m_Pattern || c > 0x10FFFF || m_Misses >= kMaxMisses)
        return result;
    FcPattern* pattern = FcPatternDuplicate(static_cast<FcPattern*>(m_Pattern));
    FcCharSet* wanted = FcCharSetCreate();
    FcPattern* match = nullptr;
    if (pattern && wanted && FcCharSetAddChar(wanted, c) && FcPatternAddCharSet(pattern, FC_CHARSET, wanted)) {
        FcResult status = FcResultNoMatch;
        match = FcFontMatch(nullptr, pattern, &status);
    }
    // The best match need not have c (coverage is ranked, not required): check it does.
    FcCharSet* coverage = nullptr;
    if (match && FcPatternGetCharSet(match, FC_CHARSET, 0, &coverage) == FcResultMatch && FcCharSetHasChar(coverage, c))
        result = Describe(match, m_Request);
    if (match)
        FcPatternDestroy(match);
    if (wanted)
        FcCharSetDestroy(wanted);
    if (pattern)
        FcPatternDestroy(pattern);

    if (!result.found) {
        ++m_Misses;
    } else if (LoggedRequests().insert(RequestKey(m_Request) + '|' + result.file).second) {
        FontLog(1, L"Font \"%ls\": characters it lacks (first U+%04X) drawn with \"%ls\" (%ls)", m_Request.face.c_str(),
                static_cast<unsigned>(c), Wide(result.family).c_str(), Wide(result.file).c_str());
    }
    return result;
}

void ResetFaceMatchLog()
{
    LoggedRequests().clear();
}

} // namespace vireo::font
