// Chooses font files with fontconfig: the face for a requested name, weight and slant (the
// nearest installed one when the name is missing), and a face that has a given character
// when the chosen one lacks it. It opens no files and renders nothing.
#pragma once

#include <string>

namespace vireo::font {

struct SFaceRequest {
    std::wstring face; // Win32 face name, e.g. L"Times New Roman"; empty = default face
    int weight = 400;  // LOGFONT weight 0-1000 (0 = normal)
    bool italic = false;
};

struct SFaceMatch {
    bool found = false;            // false only when fontconfig knows no font file at all
    std::string file;              // path of the font file
    int index = 0;                 // face index inside a collection (.ttc)
    std::string family;            // family name of the face taken
    std::string style;             // its style name, e.g. "Bold"
    bool exactFamily = false;      // the family taken is the one asked for
    bool metricSubstitute = false; // a family made to the asked one's metrics (Liberation Serif)
    bool syntheticBold = false;    // asked bold, the family has no bold face
    bool syntheticItalic = false;  // asked italic, the family has no italic or oblique face
};

// The face for a request. The first time a request (name, weight, italic) is seen, the
// match is logged: level 1 for the face asked for or its metric-compatible substitute,
// level 2 when another face stands in.
SFaceMatch MatchFace(const SFaceRequest& request);

// Faces for characters the chosen face lacks, as fontconfig ranks them: coverage of the
// character first, then closeness to the request (the way fc-match ranks "Times New
// Roman:charset=4f60"). Each look-up costs a fontconfig match (well under a millisecond), so
// after kMaxMisses characters that no face has, it stops asking and reports none.
class CFallbackFaces {
  public:
    static constexpr int kMaxMisses = 64;

    explicit CFallbackFaces(const SFaceRequest& request);
    ~CFallbackFaces();
    CFallbackFaces(const CFallbackFaces&) = delete;
    CFallbackFaces& operator=(const CFallbackFaces&) = delete;

    // The closest face that has c; found is false when no installed face has it. The first
    // time a face is taken for this request, that is logged (level 1).
    SFaceMatch FindFor(char32_t c);

  private:
    SFaceRequest m_Request;
    void* m_Pattern = nullptr; // FcPattern*, the request after substitution
    int m_Misses = 0;
};

// Forgets which requests were logged (tests).
void ResetFaceMatchLog();

// UTF-8 form of a wide string (one code point per wchar_t); invalid code points become U+FFFD.
std::string WideToUtf8(const std::wstring& text);

} // namespace vireo::font
