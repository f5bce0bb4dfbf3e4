#pragma once
// Reading the game's data tables: a whole table file read into memory and walked line by line, and its
// header with the check number.

#include "game/data/table_line.h"
#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/file.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <string_view>

using table_text::CTableLine;

// Results of the numbered tables' loaders.
constexpr std::int32_t kTableLoaded = 0;
constexpr std::int32_t kTableUnreadable = 1;
// A bad header, or a line the loader refuses: longer than the line limit, short of a field it needs,
// a number beyond 32 bits, or a structure the table cannot hold.
constexpr std::int32_t kTableRefused = -1;
constexpr std::int32_t kTableSumMismatch = 5;

// Reads the next line of an open file and takes it as the header: 0 and the check number; -1 when its
// first word is not the marker (an empty or missing line included); -2 when no number follows it.
int ReadTableHeader(Auxiliary::CFile& file, std::int32_t& check);

// A table file read whole, walked one line at a time.
class CTableFile
{
public:
    static constexpr int kLine = 0;
    static constexpr int kEnd = 1;
    static constexpr int kTooLong = 2;

    // 0 read; otherwise the file's read result.
    int Read(const ZTL::string& name) { return m_file.Read(name); }
    // Takes bytes the caller keeps alive as the table's content.
    int ReadFromMemory(const void* data, std::uint32_t size) { return m_file.ReadFromMemory(data, size); }
    int ReadHeader(std::int32_t& check) { return ReadTableHeader(m_file, check); }
    // The next line without its CR LF, valid until the next call: kLine, kEnd, or kTooLong for a line
    // longer than the loaders take.
    int NextLine(std::string_view& line);

private:
    Auxiliary::CFile m_file;
    ZTL::string m_line;
};

inline ZTL::string ToTableString(std::string_view text)
{
    return ZTL::string(text.data(), static_cast<ZTL::string::size_type>(text.size()));
}
