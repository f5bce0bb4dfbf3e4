#pragma once
// Data tables as the game reads them, written by tests: CP932 lines (as the tests' literals are
// compiled) joined by CR LF.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline std::string TableText(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i > 0 ? "\r\n" : "") + lines[i];
    return text;
}

inline void WriteTable(const std::filesystem::path& path, const std::vector<std::string>& lines)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << TableText(lines);
}
