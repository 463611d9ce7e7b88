// CIniFile: reads INI text line by line into records, answers lookups with a cursor that
// makes repeated lookups in one section cheap, places new keys next to their section and
// writes the whole text back. It parses the text itself and reports nothing to the log.
#include "resource/IniFile.h"

#include "support/AnsiText.h"
#include "support/LineReader.h"

#include <vireo/support.h>

#include <cwchar>
#include <optional>
#include <string>

namespace {

// Positions at or beyond this count as "no such character" in the section test; a line never
// holds more than kMaxLineLength characters, so every real position is below it.
constexpr std::size_t kNoPosition = 1024;

// Bytes per read while a file loads.
constexpr std::size_t kFileBlockBytes = 64 * 1024;

// Pieces of text written in ANSI mode are cut to this many bytes after conversion.
constexpr std::size_t kMaxAnsiWrite = 4095;

std::wstring Trim(const std::wstring& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IniIsSpace(text[begin]))
        ++begin;
    while (end > begin && IniIsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

wchar_t FoldCase(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
}

// The same bytes WriteTextAnsi produces: up to the first NUL, converted, cut to 4095 bytes
// without splitting a character.
void AppendAnsi(std::string& out, const wchar_t* text)
{
    out += vireo::WideToAnsi(text, std::wcslen(text), kMaxAnsiWrite);
}

// UTF-16LE code units up to the first NUL; characters beyond U+FFFF as surrogate pairs.
void AppendUtf16(std::string& out, const wchar_t* text)
{
    auto unit = [&out](unsigned value) {
        out.push_back(static_cast<char>(value & 0xFF));
        out.push_back(static_cast<char>((value >> 8) & 0xFF));
    };
    for (const wchar_t* p = text; *p; ++p) {
        auto cp = static_cast<unsigned>(*p);
        if (cp > 0xFFFF && cp <= 0x10FFFF) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp & 0xFFFF);
        }
    }
}

} // namespace

bool IniIsSpace(wchar_t ch)
{
    switch (ch) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return ch >= 0x2000 && ch <= 0x200A;
    }
}

bool IniNameEquals(const std::wstring& a, const wchar_t* b)
{
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == L'\0' || FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return b[i] == L'\0';
}

SIniLine ParseIniLine(const std::wstring& line)
{
    SIniLine record;
    if (line.empty())
        return record;

    // Comment, equals sign and bracket are found first; key and section are then decided
    // independently of each other, so '[a]=1' is a header and a key at once.
    const std::size_t semicolon = line.find(L';');
    std::size_t commentPos = kNoPosition;
    if (semicolon != std::wstring::npos) {
        commentPos = semicolon;
        if (semicolon < kNoPosition)
            record.strComment = line.substr(semicolon + 1);
    }

    const std::size_t equals = line.find(L'=');
    if (equals != std::wstring::npos && equals < commentPos) {
        record.strKey = Trim(line.substr(0, equals));
        const std::size_t valueEnd = (semicolon == std::wstring::npos) ? line.size() : semicolon;
        record.strValue = Trim(line.substr(equals + 1, valueEnd - equals - 1));
    }

    const std::size_t equalsPos = (equals == std::wstring::npos) ? kNoPosition : equals;
    const std::size_t open = line.find(L'[');
    if (open != std::wstring::npos && open < commentPos && open < equalsPos) {
        const std::size_t close = line.find(L']');
        if (close != std::wstring::npos && close > open)
            record.strSection = line.substr(open + 1, close - open - 1);
    }
    return record;
}

// The key lines of one section header, up to the next header: first line per folded name
// (what a walk would find first), and where the run of key lines after the header ends
// (where SetString puts a new key), once known.
struct CIniFile::SKeyIndex {
    std::unordered_map<std::wstring, LineList::iterator> keys;
    bool runEndKnown = false;
    LineList::iterator runEnd;
};

namespace {

std::wstring Folded(const wchar_t* text)
{
    std::wstring folded(text);
    for (wchar_t& ch : folded)
        ch = FoldCase(ch);
    return folded;
}

} // namespace

CIniFile::CIniFile()
    : m_pCursor(m_Lines.end()), m_pKeyIndex(std::make_unique<std::unordered_map<const SIniLine*, SKeyIndex>>())
{
}

CIniFile::~CIniFile() = default;

CIniFile::SKeyIndex& CIniFile::KeysOf(LineList::iterator header)
{
    auto [entry, added] = m_pKeyIndex->try_emplace(&*header);
    if (added) {
        for (auto it = std::next(header); it != m_Lines.end() && it->strSection.empty(); ++it)
            if (!it->strKey.empty())
                entry->second.keys.try_emplace(Folded(it->strKey.c_str()), it);
    }
    return entry->second;
}

void CIniFile::DetectEncoding(const wchar_t* path, const wchar_t* mirrorPath)
{
    m_strPath = path ? path : L"";
    m_strMirrorPath = mirrorPath ? mirrorPath : L"";
    HANDLE file = CreateFileW(m_strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    BYTE mark[2] = {0, 0};
    DWORD read = 0;
    ReadFile(file, mark, 2, &read, nullptr);
    m_bUnicode = (read == 2 && mark[0] == 0xFF && mark[1] == 0xFE) ? 1 : 0;
    CloseHandle(file);
}

BOOL CIniFile::Load(const wchar_t* path, const wchar_t* mirrorPath)
{
    m_pKeyIndex->clear();
    m_Lines.clear();
    m_pCursor = m_Lines.end();
    m_hFile = nullptr;

    if (!m_pMemData) {
        DetectEncoding(path, mirrorPath);
        HANDLE file = CreateFileW(m_strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 0;
        m_hFile = file;
        if (m_bUnicode) {
            BYTE mark[2];
            DWORD read = 0;
            ReadFile(m_hFile, mark, 2, &read, nullptr);
        }
    }

    // A file is read in large blocks (one or two reads for a description file); the line
    // rules stay those of ReadLineAnsi and ReadLineUnicode.
    std::optional<vireo::CLineReader> reader;
    if (m_hFile)
        m_pReader = &reader.emplace(m_hFile, m_bUnicode != 0, kFileBlockBytes);
    std::wstring line;
    while (ReadLine(line)) {
        // The line readers cut at the same limit; cutting again keeps this bound here even
        // for a reader that does not.
        if (line.size() > kMaxLineLength)
            line.resize(kMaxLineLength);
        m_Lines.push_back(ParseIniLine(line));
    }

    m_pReader = nullptr;
    if (m_hFile) {
        CloseHandle(m_hFile);
        m_hFile = nullptr;
    }
    m_pCursor = m_Lines.begin();
    return 1;
}

BOOL CIniFile::LoadFromMemory(const void* data, DWORD size)
{
    m_hFile = nullptr;
    m_bUnicode = 0;
    m_pKeyIndex->clear();
    m_Lines.clear();
    m_pCursor = m_Lines.end();
    m_pMemData = static_cast<const BYTE*>(data);
    m_nMemSize = data ? size : 0;
    m_nMemPos = 0;
    Load(nullptr, nullptr);
    return 1;
}

BOOL CIniFile::ReadLine(std::wstring& line)
{
    line.clear();
    if (!m_pMemData)
        return m_pReader ? m_pReader->Next(line) : 0;

    // Memory: only text closed by a carriage return is a line. Bytes past the line limit are
    // dropped up to that carriage return.
    char bytes[kMaxLineLength];
    int count = 0;
    while (m_nMemPos < m_nMemSize) {
        const BYTE ch = m_pMemData[m_nMemPos++];
        if (ch == 0x0A)
            continue;
        if (ch == 0x0D) {
            line = vireo::AnsiToWide(bytes, static_cast<std::size_t>(count));
            // As the file reader does: a cut through a multibyte character leaves a '?' for
            // its lead byte, which is dropped.
            if (count == static_cast<int>(kMaxLineLength) && !line.empty() && line.back() == L'?' &&
                bytes[count - 1] != '?')
                line.pop_back();
            return 1;
        }
        if (count < static_cast<int>(kMaxLineLength))
            bytes[count++] = static_cast<char>(ch);
    }
    return 0;
}

CIniFile::LineList::iterator CIniFile::FindSection(const wchar_t* section)
{
    if (m_Lines.empty() || !section || !*section)
        return m_Lines.end();
    for (auto it = m_pCursor; it != m_Lines.end(); ++it) {
        if (!it->strSection.empty() && IniNameEquals(it->strSection, section)) {
            m_pCursor = it;
            it->bUsed = 1;
            return it;
        }
    }
    for (auto it = m_Lines.begin(); it != m_pCursor; ++it) {
        if (!it->strSection.empty() && IniNameEquals(it->strSection, section)) {
            m_pCursor = it;
            it->bUsed = 1;
            return it;
        }
    }
    return m_Lines.end();
}

BOOL CIniFile::FindKey(const wchar_t* section, const wchar_t* key, std::wstring& value)
{
    if (!key || !*key)
        return 0;
    auto header = FindSection(section);
    if (header == m_Lines.end())
        return 0;
    const SKeyIndex& index = KeysOf(header);
    const auto found = index.keys.find(Folded(key));
    if (found == index.keys.end())
        return 0;
    value = found->second->strValue;
    found->second->bUsed = 1;
    return 1;
}

std::wstring CIniFile::GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText, BOOL writeBack)
{
    std::wstring value;
    if (FindKey(section, key, value))
        return value;
    const wchar_t* fallback = defaultText ? defaultText : L"";
    if (writeBack)
        SetString(section, key, fallback);
    return fallback;
}

int CIniFile::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue, BOOL writeBack)
{
    const std::wstring text = GetString(section, key, std::to_wstring(defaultValue).c_str(), writeBack);
    return ParseIntW(text.c_str());
}

void CIniFile::SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    if (!section || !*section || !key || !*key)
        return;
    m_bModified = 1;
    const std::wstring text = value ? value : L"";

    auto header = FindSection(section);
    if (header == m_Lines.end()) {
        // Runs that ended at the end of the list now end at the blank line added here.
        for (auto& entry : *m_pKeyIndex)
            entry.second.runEndKnown = false;
        m_Lines.push_back(SIniLine{});
        m_Lines.push_back(SIniLine{1, section, L"", L"", L""});
        m_pCursor = std::prev(m_Lines.end());
        m_Lines.push_back(SIniLine{1, L"", key, text, L""});
        return;
    }

    SKeyIndex& index = KeysOf(header);
    std::wstring folded = Folded(key);
    const auto found = index.keys.find(folded);
    if (found != index.keys.end()) {
        found->second->strKey = key;
        found->second->strValue = text;
        return;
    }
    // A new key joins the run of key lines right after the header. The run also ends at the
    // next header when that header carries a key of its own ('[a]=1'): placed behind it, the
    // new key would belong to the next section and never be found again.
    if (!index.runEndKnown) {
        auto it = std::next(header);
        while (it != m_Lines.end() && !it->strKey.empty() && it->strSection.empty())
            ++it;
        index.runEnd = it;
        index.runEndKnown = true;
    }
    index.keys.emplace(std::move(folded), m_Lines.insert(index.runEnd, SIniLine{1, L"", key, text, L""}));
}

BOOL CIniFile::WriteText(const std::wstring& text)
{
    if (text.empty())
        return 1;
    if (m_pSink) {
        if (m_bUnicode)
            AppendUtf16(*m_pSink, text.c_str());
        else
            AppendAnsi(*m_pSink, text.c_str());
        return 1;
    }
    return m_bUnicode ? WriteTextUnicode(m_hFile, text.c_str()) : WriteTextAnsi(m_hFile, text.c_str());
}

BOOL CIniFile::WriteLines(int mode)
{
    if (m_bUnicode) {
        static const BYTE kMark[2] = {0xFF, 0xFE};
        if (m_pSink) {
            m_pSink->append(reinterpret_cast<const char*>(kMark), 2);
        } else {
            DWORD written = 0;
            if (!WriteFile(m_hFile, kMark, 2, &written, nullptr) || written != 2)
                return 0;
        }
    }
    for (const SIniLine& line : m_Lines) {
        const bool empty = line.strSection.empty() && line.strKey.empty() && line.strValue.empty();
        if (mode == 1 && !line.bUsed && !empty)
            continue;
        BOOL ok = 1;
        // Piece by piece: in ANSI mode each piece is cut to 4095 bytes on its own.
        if (!line.strSection.empty())
            ok = WriteText(L"[") && WriteText(line.strSection) && WriteText(L"]");
        if (!line.strKey.empty())
            ok = ok && WriteText(line.strKey) && WriteText(L"=") && WriteText(line.strValue);
        if (!line.strComment.empty()) {
            if (!line.strSection.empty() || !line.strKey.empty()) {
                // The ';' lands in column 54 when the text before it is at most 50 long.
                const long long text = line.strSection.empty()
                                           ? 49 - static_cast<long long>(line.strKey.size() + line.strValue.size())
                                           : 48 - static_cast<long long>(line.strSection.size());
                if (text > 0)
                    ok = ok && WriteText(std::wstring(static_cast<std::size_t>(text), L' '));
                ok = ok && WriteText(L"    ");
            }
            ok = ok && WriteText(L";") && WriteText(line.strComment);
        }
        ok = ok && WriteText(L"\r\n");
        if (!ok)
            return 0;
    }
    return 1;
}

void CIniFile::SaveToBuffer(int mode, std::string& bytes)
{
    bytes.clear();
    m_pSink = &bytes;
    WriteLines(mode);
    m_pSink = nullptr;
}

BOOL CIniFile::Save(int mode, const wchar_t* path)
{
    if (!m_bModified)
        return 1;
    std::wstring target = path ? path : L"";
    const bool ownPath = target.empty();
    if (ownPath)
        target = m_strPath;
    if (target.empty() || m_Lines.empty())
        return 0;

    // Sizes are compared before anything is written: a mirror that already differs from the
    // file is a copy somebody changed, and it is not overwritten.
    const bool mirrorDiverged =
        ownPath && !m_strMirrorPath.empty() && CompareFileSizes(target.c_str(), m_strMirrorPath.c_str()) == 0;

    CreateFolderTree(GetFolderOfPath(target.c_str()).c_str(), nullptr);

    const std::wstring temp = target + L".tmp";
    m_hFile = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) {
        m_hFile = nullptr;
        return 0;
    }
    BOOL ok = WriteLines(mode);
    // The flush stays on every save: a rename can reach the disk before the data it names,
    // so after a power cut the target could be empty instead of old or new. A save only runs
    // when something changed (a package writing its missing defaults back, once), so the
    // cost is one flush per real change, never one per load.
    ok = ok && FlushFileBuffers(m_hFile);
    CloseHandle(m_hFile);
    m_hFile = nullptr;
    if (!ok || !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return 0;
    }

    if (ownPath && !m_strMirrorPath.empty()) {
        if (mirrorDiverged)
            return 0;
        CopyFileW(target.c_str(), m_strMirrorPath.c_str(), FALSE);
    }
    return 1;
}
