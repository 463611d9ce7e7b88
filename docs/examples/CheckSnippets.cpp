// Keeps the guide honest: every code block in a Markdown file that follows a marker line
//   <!-- code: FILE -->          (the whole file, without region marker lines)
//   <!-- code: FILE#REGION -->   (the lines between "// [REGION]" and "// [/REGION]", dedented)
// must equal that part of FILE (relative to the Markdown file). Arguments are Markdown files
// or folders whose *.md files are read. Exit 1 with the first difference of each block.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

bool ReadLines(const fs::path& path, Lines& out)
{
    std::ifstream in(path);
    if (!in)
        return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') // Desc.ini files end their lines with CR LF
            line.pop_back();
        out.push_back(line);
    }
    return true;
}

std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool IsRegionMarker(const std::string& line)
{
    const std::string t = Trim(line);
    return t.size() > 5 && t.rfind("// [", 0) == 0 && t.back() == ']';
}

// The lines a marker names, or an error text.
bool Extract(const fs::path& file, const std::string& region, Lines& out, std::string& error)
{
    Lines all;
    if (!ReadLines(file, all)) {
        error = "cannot read " + file.string();
        return false;
    }
    if (region.empty()) {
        std::copy_if(all.begin(), all.end(), std::back_inserter(out), [](auto& l) { return !IsRegionMarker(l); });
        return true;
    }
    auto begin = std::find_if(all.begin(), all.end(), [&](auto& l) { return Trim(l) == "// [" + region + "]"; });
    auto end = std::find_if(begin, all.end(), [&](auto& l) { return Trim(l) == "// [/" + region + "]"; });
    if (begin == all.end() || end == all.end()) {
        error = "no region [" + region + "] ... [/" + region + "] in " + file.string();
        return false;
    }
    std::size_t indent = std::string::npos;
    for (auto it = begin + 1; it != end; ++it)
        if (!Trim(*it).empty())
            indent = std::min(indent, it->find_first_not_of(" "));
    for (auto it = begin + 1; it != end; ++it)
        if (!IsRegionMarker(*it))
            out.push_back(Trim(*it).empty() ? "" : it->substr(indent));
    return true;
}

int CheckMarkdown(const fs::path& md)
{
    Lines lines;
    if (!ReadLines(md, lines)) {
        std::cerr << md.string() << ": cannot read\n";
        return 1;
    }
    const std::string open = "<!-- code: ";
    int failures = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string marker = Trim(lines[i]);
        if (marker.rfind(open, 0) != 0)
            continue;
        const std::string where = md.string() + ":" + std::to_string(i + 1) + ": ";
        const std::string target = marker.substr(open.size(), marker.size() - open.size() - 4);
        const auto hash = target.find('#');
        const std::string region = hash == std::string::npos ? "" : target.substr(hash + 1);
        Lines expected;
        std::string error;
        if (marker.size() < open.size() + 4 || marker.substr(marker.size() - 4) != " -->" ||
            !Extract(md.parent_path() / target.substr(0, hash), region, expected, error)) {
            std::cerr << where << (error.empty() ? "malformed marker" : error) << "\n";
            ++failures;
            continue;
        }
        if (i + 1 >= lines.size() || lines[i + 1].rfind("```", 0) != 0) {
            std::cerr << where << "the marker is not followed by a code block\n";
            ++failures;
            continue;
        }
        Lines shown;
        std::size_t j = i + 2;
        for (; j < lines.size() && lines[j].rfind("```", 0) != 0; ++j)
            shown.push_back(lines[j]);
        const auto diff = std::mismatch(shown.begin(), shown.end(), expected.begin(), expected.end());
        if (diff.first != shown.end() || diff.second != expected.end()) {
            const std::size_t at = diff.first - shown.begin();
            std::cerr << where << target << " differs at block line " << at + 1
                      << ":\n  shown: " << (diff.first != shown.end() ? *diff.first : "(end)")
                      << "\n  file:  " << (diff.second != expected.end() ? *diff.second : "(end)") << "\n";
            ++failures;
        }
        i = j;
    }
    return failures;
}

} // namespace

int main(int argc, char** argv)
{
    int failures = 0;
    int files = 0;
    for (int a = 1; a < argc; ++a) {
        std::vector<fs::path> mds;
        if (fs::is_directory(argv[a])) {
            for (const auto& entry : fs::directory_iterator(argv[a]))
                if (entry.path().extension() == ".md")
                    mds.push_back(entry.path());
        } else {
            mds.push_back(argv[a]);
        }
        for (const auto& md : mds) {
            failures += CheckMarkdown(md);
            ++files;
        }
    }
    std::cout << files << " Markdown files checked, " << failures << " blocks differ\n";
    return failures == 0 && files > 0 ? 0 : 1;
}
