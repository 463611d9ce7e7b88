// Helpers for the resource and tool tests: the shared scratch folder and byte-exact files,
// UTF-16 text, package records laid out by hand, and a comparable view of an INI model.
#pragma once

#include "common/RiffBytes.h"
#include "common/ScratchDir.h"

#include <vireo/resource.h>

#include <cstdint>
#include <string>
#include <vector>

using vireo::test::Le32;
using vireo::test::ReadFileBytes;
using vireo::test::ScratchDir;
using vireo::test::WriteFileBytes;

// UTF-16LE bytes of a text of BMP characters, optionally with the FF FE mark.
inline std::string Utf16Bytes(const std::wstring& text, bool mark = true)
{
    std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (wchar_t ch : text) {
        bytes.push_back(static_cast<char>(ch & 0xFF));
        bytes.push_back(static_cast<char>((ch >> 8) & 0xFF));
    }
    return bytes;
}

// A package record: 20 bytes of UTF-16LE name, the length N (the data's own by default), the data.
inline std::string Record(const std::wstring& name, const std::string& data, std::uint32_t length)
{
    std::string bytes = Utf16Bytes(name, false);
    bytes.resize(20, '\0');
    return bytes + Le32(length) + data;
}
inline std::string Record(const std::wstring& name, const std::string& data)
{
    return Record(name, data, static_cast<std::uint32_t>(data.size()));
}

// The text fields of every line, for whole-model comparisons.
struct LineView {
    std::wstring section, key, value, comment;
    bool operator==(const LineView&) const = default;
};

inline std::vector<LineView> Lines(const CIniFile& ini)
{
    std::vector<LineView> out;
    for (const SIniLine& line : ini.GetLines())
        out.push_back({line.strSection, line.strKey, line.strValue, line.strComment});
    return out;
}
