#include "game/ui/image_list.h"

#include "sdk/auxiliary/text_output_stream.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

namespace {

// Every picture is keyed on magenta.
constexpr std::uint32_t kImageColorKey = 0xFF00FF;

// The decimal number of `text` from `pos` on: blanks, tabs and line ends before it, then an optional
// sign and the digits; what follows is ignored. A value beyond 32 bits stops at the nearest bound. False
// when there is no digit.
bool ReadNumber(const ZTL::string& text, std::uint32_t pos, std::int32_t& value)
{
    const std::uint32_t n = text.size();
    while (pos < n && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
        ++pos;
    bool negative = false;
    if (pos < n && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    if (pos >= n || text[pos] < '0' || text[pos] > '9') return false;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; pos < n && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        if (magnitude < kLimit) magnitude = magnitude * 10 + (text[pos] - '0');
    if (negative) {
        value = static_cast<std::int32_t>(-std::min(magnitude, kLimit));
    } else {
        value = static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
    }
    return true;
}

} // namespace

CImageLoader::CImageLoader()
{
    Auxiliary::CFile file;
    if (file.Read(kImageListFileName) == Auxiliary::CFile::kReadOk) ReadList(file, m_names);
}

void CImageLoader::ReadList(Auxiliary::CFile& file, std::map<std::int32_t, ZTL::string>& names)
{
    ZTL::string line;
    while (file.ReadLineString(line) == 0) {
        if (line.empty() || line.compare(0, 2, "//") == 0) continue;
        const std::uint32_t comma = line.find(",");
        if (comma == ZTL::string::npos || comma == 0) continue;
        std::int32_t number = 0;
        if (!ReadNumber(line, comma + 1, number)) continue;
        names.emplace(number, line.substr(0, comma));
    }
}

Draw::CFastPlane* CImageLoader::Get(std::int32_t imageId)
{
    if (auto found = m_loaded.find(imageId); found != m_loaded.end()) {
        m_recency.splice(m_recency.begin(), m_recency, found->second);
        return &m_planes[static_cast<std::size_t>(found->second->slot)];
    }
    const auto name = m_names.find(imageId);
    if (name == m_names.end()) return nullptr;

    std::int32_t slot = static_cast<std::int32_t>(m_recency.size());
    if (slot >= kSlots) {
        const SImageInner oldest = m_recency.back();
        m_loaded.erase(oldest.imageId);
        m_recency.pop_back();
        slot = oldest.slot;
    }
    Draw::CFastPlane& plane = m_planes[static_cast<std::size_t>(slot)];
    // The plane keeps the name, so that it can load itself again after a change of the display. A file
    // that does not load leaves the plane empty, and the number keeps the slot until it gives way.
    const ZTL::string file = ZTL::string(kImageFolder) + name->second;
    if (plane.Load(file) != 0)
        Auxiliary::GetErrorStream().Out("CImageLoader::Get \"%s\"が読み込めません(画像番号%d)", file.c_str(),
                                        imageId);
    plane.SetColorKey(kImageColorKey);
    m_recency.push_front(SImageInner{slot, imageId});
    m_loaded[imageId] = m_recency.begin();
    return &plane;
}

void CImageLoader::ReleaseAll()
{
    for (Draw::CFastPlane& plane : m_planes)
        plane.Release();
    m_loaded.clear();
    m_recency.clear();
}

Draw::CFastPlane& AccessImageList(std::int32_t command, std::int32_t imageId)
{
    static std::unique_ptr<CImageLoader> list;
    static Draw::CFastPlane empty;
    switch (command) {
    case kImageListGet: {
        if (!list) list = std::make_unique<CImageLoader>();
        Draw::CFastPlane* plane = list->Get(imageId);
        return plane != nullptr ? *plane : empty;
    }
    case kImageListDestroy:
        list.reset();
        break;
    case kImageListRelease:
        if (list) list->ReleaseAll();
        break;
    default:
        break;
    }
    return empty;
}
