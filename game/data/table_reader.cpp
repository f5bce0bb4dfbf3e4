#include "game/data/table_reader.h"

int ReadTableHeader(Auxiliary::CFile& file, std::int32_t& check)
{
    ZTL::string line;
    check = 0;
    if (file.ReadLineString(line) != 0) return table_text::kHeaderNoMarker;
    return table_text::ParseHeader(std::string_view(line.c_str(), line.size()), check);
}

int CTableFile::NextLine(std::string_view& line)
{
    line = {};
    if (m_file.ReadLineString(m_line) != 0) return kEnd;
    if (m_line.size() > table_text::kMaxLineBytes) return kTooLong;
    line = std::string_view(m_line.c_str(), m_line.size());
    return kLine;
}
