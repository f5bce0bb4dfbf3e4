#include "sdk/auxiliary/file.h"

#include "platform/host/encoding.h"
#include "platform/host/file.h"
#include "platform/host/path.h"
#include "sdk/auxiliary/pack_archive.h"
#include "sdk/thread/callback_registry.h"
#include "sdk/thread/critical_section.h"
#include "sdk/ztl/callback.h"
#include "sdk/ztl/sjis.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace zelvoranGameSDK3rd::Auxiliary {
namespace {

constexpr char kTag[4] = {'Z', 'P', 'K', '1'};
// One step (swap the halves, then exclusive-or the key) both scrambles and descrambles; that holds
// only for a key whose two halves are equal: swap(swap(b) ^ k) ^ k == b ^ swap(k) ^ k.
constexpr std::uint8_t kKey = 0xAA;
// The longest open mode that converts for the host.
constexpr std::uint32_t kMaxModeLength = 32;

std::uint8_t ScrambleByte(std::uint8_t b)
{
    return static_cast<std::uint8_t>(((b << 4) | (b >> 4)) ^ kKey);
}

std::string_view View(const ZTL::string& s)
{
    return std::string_view(s.c_str(), s.length());
}

ZTL::string FromView(std::string_view s)
{
    return ZTL::string(s.data(), static_cast<std::uint32_t>(s.size()));
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Positions of the separators of `path` that are not second bytes of double-byte characters,
// starting the scan at `from`.
std::vector<std::size_t> SeparatorPositions(std::string_view path, std::size_t from)
{
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (ZTL::IsSjisLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
            continue;
        }
        if (i >= from && IsSeparator(path[i])) positions.push_back(i);
    }
    return positions;
}

std::size_t LastSeparator(std::string_view path)
{
    std::vector<std::size_t> positions = SeparatorPositions(path, 0);
    return positions.empty() ? std::string_view::npos : positions.back();
}

bool EndsWithSeparator(std::string_view path)
{
    std::size_t last = LastSeparator(path);
    return last != std::string_view::npos && last + 1 == path.size();
}

// A network name (`\\`), a drive (a `:` anywhere) or the host's root (a leading `/`). A single leading
// `\` is not: it is dropped and the name resolves under the current folder.
bool IsAbsolute(std::string_view path)
{
    const bool network = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return network || (!path.empty() && path[0] == '/') || path.find(':') != std::string_view::npos;
}

// Shortens `folder` to its parent; false when the result is not a proper prefix of `within`. A network
// name without a share, for one, grows a separator instead of losing a name.
bool ToParentWithin(ZTL::string& folder, std::string_view within)
{
    if (CFile::ToParentFolder(folder) != 0) return false;
    const std::string_view parent = View(folder);
    return parent.size() < within.size() && within.substr(0, parent.size()) == parent;
}

// The process-wide current folder and search folders, and the lock that guards them: the music
// loading thread reads files while the game thread may still be setting up.
struct SFolders
{
    Thread::CCriticalSection lock;
    std::string current;
    std::vector<std::string> search;
};

SFolders& Folders()
{
    static SFolders* folders = new SFolders; // never destroyed: files may be read during static clean-up
    return *folders;
}

void StoreCurrentFolder(std::string_view text, std::string& out)
{
    std::string folder(text);
    if (!folder.empty() && folder[0] == '"') {
        folder.erase(0, 1);
        if (folder.find('.') != std::string::npos) {
            ZTL::string quoted = FromView(folder);
            CFile::ToParentFolder(quoted);
            out.assign(View(quoted));
            return;
        }
        // A quoted folder without a dot: drop the closing quote and treat it as a folder.
        if (!folder.empty() && folder.back() == '"') folder.pop_back();
    }
    if (!EndsWithSeparator(folder)) folder += '\\';
    out = std::move(folder);
}

// Runs `attempt` on the name, then, for a relative name that failed, on each search folder joined
// with it; the last result stands.
template <class Attempt> int WithSearchFolders(const ZTL::string& name, Attempt attempt, bool search = true)
{
    int result = attempt(name);
    if (result == 0 || !search || name.empty() || IsAbsolute(View(name))) return result;
    std::vector<std::string> folders;
    {
        SFolders& f = Folders();
        Thread::CLockGuard<Thread::CCriticalSection> guard(f.lock);
        folders = f.search;
    }
    for (const std::string& folder : folders) {
        result = attempt(FromView(folder + std::string(View(name))));
        if (result == 0) break;
    }
    return result;
}

// At application start the current folder becomes the working folder of that moment.
void CaptureWorkingFolder()
{
    std::string working;
    if (!platform::GetCurrentFolder(working)) return;
    SFolders& f = Folders();
    Thread::CLockGuard<Thread::CCriticalSection> guard(f.lock);
    StoreCurrentFolder(working, f.current);
}

[[maybe_unused]] const bool g_captureRegistered = [] {
    Thread::CallbackRegistry::Callback callback;
    callback.add(new ZTL::function_callback_vg0(&CaptureWorkingFolder));
    Thread::CallbackRegistry::CreateInstance()->AddCallback(Thread::CallbackRegistry::StartUpList, callback);
    return true;
}();

class CFilePackSource : public IPackSource
{
public:
    explicit CFilePackSource(platform::FileReader& reader, std::uint64_t length)
        : m_reader(reader), m_length(length)
    {}
    std::uint64_t GetLength() override { return m_length; }
    bool Seek(std::uint64_t position) override { return position <= m_length && m_reader.Seek(position); }
    bool Read(void* destination, std::uint32_t count) override { return m_reader.Read(destination, count); }

private:
    platform::FileReader& m_reader;
    std::uint64_t m_length;
};

} // namespace

void StringToLower(ZTL::string& text)
{
    std::string bytes(View(text));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (ZTL::IsSjisLeadByte(c)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            bytes[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (text.isAllocated()) text = FromView(bytes);
}

CFile::~CFile()
{
    Close();
}

int CFile::Open(const ZTL::string& name, const ZTL::string& mode)
{
    Close();
    // -2 is for a mode that cannot be converted for the host (bytes CP932 lacks, or longer than a mode
    // can be); a mode that converts but names no way of opening simply fails to open (1).
    std::string hostMode;
    if (mode.length() > kMaxModeLength || !platform::Cp932ToUtf8(View(mode), hostMode)) return -2;
    // Only reading looks further: a file written or appended to stays where it was named.
    const bool reading = !mode.empty() && mode[0] == 'r';
    return WithSearchFolders(
        name,
        [&](const ZTL::string& candidate) {
            platform::StreamResult result;
            m_stream = platform::OpenStream(View(ResolvePath(candidate)), View(mode), result);
            if (m_stream != nullptr) m_name = candidate;
            switch (result) {
            case platform::StreamResult::Ok:
                return 0;
            case platform::StreamResult::BadName:
                return -1;
            default:
                return 1;
            }
        },
        reading);
}

int CFile::Write(const ZTL::string& name, const void* data, std::uint32_t size)
{
    if (name.empty()) return 1;
    switch (platform::WriteWholeFile(View(ResolvePath(name)), data, size)) {
    case platform::WriteResult::Ok:
        return 0;
    case platform::WriteResult::WriteFailed:
        return 2;
    case platform::WriteResult::CloseFailed:
        return 3;
    default:
        return 1;
    }
}

int CFile::WriteString(const ZTL::string& text)
{
    if (m_stream == nullptr) return -1;
    return std::fputs(text.c_str(), m_stream) < 0 ? 1 : 0;
}

int CFile::Close()
{
    if (m_stream != nullptr) {
        int result = std::fclose(m_stream);
        m_stream = nullptr;
        return result;
    }
    if (m_memoryBacked) {
        m_memoryBacked = false;
    } else {
        std::free(m_memory);
    }
    m_memory = nullptr;
    m_size = 0;
    m_readPosition = nullptr;
    m_descrambled = false;
    if (m_temporaryFile) {
        m_temporaryFile = false;
        Delete(m_name);
    }
    m_fromArchive = false;
    m_name = ZTL::string();
    return 0;
}

int CFile::Read(const ZTL::string& name)
{
    return WithSearchFolders(name,
                             [&](const ZTL::string& candidate) { return ReadFromDiskOrPack(candidate); });
}

int CFile::ReadFromDiskOrPack(const ZTL::string& name)
{
    if (name.empty()) return kReadEmptyName;
    Close();
    m_name = name;
    return ReadPlainOrMember(ResolvePath(name));
}

int CFile::ReadPlainOrMember(const ZTL::string& path)
{
    platform::FileReader reader;
    std::uint64_t length = 0;
    SPackMember member; // kind 0: a plain file read whole from its start
    if (reader.Open(View(path))) {
        if (!reader.GetSize(length) || length >= 0xFFFFFFFFu) {
            reader.Close();
            return kReadSizeUnreadable;
        }
        if (length > kMaxReadSize) {
            reader.Close();
            return kReadTooLarge;
        }
        member.size = member.storedSize = static_cast<std::uint32_t>(length);
    } else {
        // Look for the file as a member of the archive of each folder above it, nearest first.
        ZTL::string candidate = path;
        bool found = false;
        while (!found) {
            ZTL::string folder = candidate;
            if (!ToParentWithin(folder, View(path))) return kReadNotFound;
            ZTL::string top = folder;
            if (!ToParentWithin(top, View(folder))) return kReadNotFound;
            ZTL::string memberName = path.substr(folder.length());
            candidate = folder.substr(0, folder.length() - 1);
            candidate += ".dat";
            if (!reader.Open(View(candidate))) continue;
            if (!reader.GetSize(length)) {
                reader.Close();
                continue;
            }
            CFilePackSource source(reader, length);
            switch (FindPackMember(source, memberName, member)) {
            case PackLookup::Found:
                found = true;
                break;
            case PackLookup::BadMember:
                reader.Close();
                Close();
                return kReadFailed;
            case PackLookup::NotFound:
                reader.Close();
                break;
            }
        }
        m_fromArchive = true;
        if (member.size > kMaxReadSize || member.storedSize > kMaxReadSize) {
            reader.Close();
            Close();
            return kReadTooLarge;
        }
    }

    m_memory = static_cast<std::uint8_t*>(std::malloc(std::size_t{member.size} + 1));
    if (m_memory == nullptr) {
        reader.Close();
        return kReadNoMemory;
    }
    m_size = member.size;
    m_memory[m_size] = 0;
    CFilePackSource source(reader, length);
    if (!LoadPackMember(source, member, m_memory)) {
        reader.Close();
        Close();
        return kReadFailed;
    }
    if (!reader.Close()) {
        Close();
        return kReadCloseFailed;
    }
    m_readPosition = m_memory;
    if (m_size >= 4 && std::memcmp(m_memory, kTag, 4) == 0) {
        m_descrambled = true;
        for (std::uint32_t i = 4; i < m_size; ++i)
            m_memory[i] = ScrambleByte(m_memory[i]);
        m_readPosition = m_memory + 4;
    }
    return kReadOk;
}

int CFile::ReadFromMemory(const void* data, std::uint32_t size)
{
    Close();
    if (data == nullptr && size != 0) return kReadNullBlock;
    m_memory = static_cast<std::uint8_t*>(const_cast<void*>(data));
    m_size = size;
    m_readPosition = m_memory;
    m_memoryBacked = true;
    return kReadOk;
}

void* CFile::GetMemory()
{
    if (m_memory == nullptr) return nullptr;
    return m_descrambled ? m_memory + 4 : m_memory;
}

std::uint32_t CFile::GetSize()
{
    return m_descrambled ? m_size - 4 : m_size;
}

int CFile::ReadLineString(ZTL::string& line)
{
    line = ZTL::string();
    if (!HasContent()) return 3;
    if (m_readPosition == nullptr || m_readPosition >= ContentEnd()) return 1;
    const std::uint8_t* start = m_readPosition;
    const std::uint8_t* end = ContentEnd();
    const std::uint8_t* p = start;
    while (p < end && !(p[0] == '\r' && p + 1 < end && p[1] == '\n'))
        ++p;
    line.assign(reinterpret_cast<const char*>(start), static_cast<std::uint32_t>(p - start));
    m_readPosition = p < end ? const_cast<std::uint8_t*>(p) + 2 : ContentEnd();
    return 0;
}

int CFile::ReadLine(char* buffer, int capacity)
{
    if (!HasContent()) return 3;
    if (m_readPosition == nullptr || m_readPosition >= ContentEnd()) return 1;
    if (buffer == nullptr || capacity <= 1) {
        if (buffer != nullptr && capacity == 1) buffer[0] = '\0';
        return 2;
    }
    const std::uint8_t* end = ContentEnd();
    int copied = 0;
    for (;;) {
        // A full buffer is reported before the line's end is looked at: a line of exactly capacity - 1
        // bytes gives 2, and its CR LF comes back as an empty line on the next call.
        if (copied == capacity - 1) {
            buffer[copied] = '\0';
            return 2;
        }
        if (m_readPosition >= end) {
            buffer[copied] = '\0';
            return 0;
        }
        if (m_readPosition[0] == '\r' && m_readPosition + 1 < end && m_readPosition[1] == '\n') {
            buffer[copied] = '\0';
            m_readPosition += 2;
            return 0;
        }
        buffer[copied++] = static_cast<char>(*m_readPosition++);
    }
}

int CFile::ReadQuotedText(char* buffer, std::int32_t workSize)
{
    if (buffer == nullptr || workSize <= 0) return 1;
    buffer[0] = '\0';
    // Lines are read 255 bytes at most; `workSize` bounds the text handed back.
    constexpr int lineCapacity = 256;
    std::vector<char> work(lineCapacity);
    std::size_t length = 0;
    bool truncated = false;
    char last = '\0'; // the text's last character, kept even when the buffer is full
    auto append = [&](const char* text, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (length + 1 < static_cast<std::size_t>(workSize)) {
                buffer[length++] = text[i];
            } else {
                truncated = true;
            }
            last = text[i];
        }
        buffer[length] = '\0';
    };

    if (ReadLine(work.data(), lineCapacity) != 0) return 1;
    if (std::strcmp(work.data(), "\"END\"") == 0) return 1;
    const std::size_t firstLength = std::strlen(work.data());
    if (firstLength > 0) append(work.data() + 1, firstLength - 1);
    bool empty = firstLength <= 1;
    while (empty || last != '"') {
        if (ReadLine(work.data(), lineCapacity) != 0) return 1;
        append("\n", 1);
        append(work.data(), std::strlen(work.data()));
        empty = false;
    }
    if (!truncated && length > 0) buffer[--length] = '\0'; // the closing quote
    return truncated ? 2 : 0;
}

void* CFile::Rewind()
{
    m_readPosition = static_cast<std::uint8_t*>(GetMemory());
    return m_readPosition;
}

int CFile::ReadBytes(void* destination, std::uint32_t count)
{
    if (!HasContent()) return 2;
    if (m_readPosition == nullptr || m_readPosition >= ContentEnd()) return 1;
    if (count > static_cast<std::size_t>(ContentEnd() - m_readPosition)) return 1;
    if (count != 0) std::memcpy(destination, m_readPosition, count);
    m_readPosition += count;
    return 0;
}

int CFile::Save(const ZTL::string& name)
{
    return Write(name, GetMemory(), GetSize());
}

int CFile::Scramble()
{
    if (m_memory == nullptr || m_descrambled) return 1;
    if (m_size >= 4 && std::memcmp(m_memory, kTag, 4) == 0) return 1;
    if (m_size > 0xFFFFFFFFu - 5) return 1;
    auto* block = static_cast<std::uint8_t*>(std::malloc(std::size_t{m_size} + 5));
    if (block == nullptr) return 1;
    std::memcpy(block, kTag, 4);
    for (std::uint32_t i = 0; i < m_size; ++i)
        block[4 + i] = ScrambleByte(m_memory[i]);
    block[m_size + 4] = 0;
    const std::uint32_t size = m_size + 4;
    Close();
    m_memory = block;
    m_size = size;
    m_readPosition = block;
    return 0;
}

int CFile::Delete(const ZTL::string& name)
{
    if (name.empty()) return -1;
    return platform::DeleteFile(View(ResolvePath(name))) ? 0 : 1;
}

int CFile::ToTemporaryFile(bool force)
{
    if (!HasContent() && !force) return 1;
    if (!m_fromArchive && !m_memoryBacked && !force) {
        ZTL::string name = m_name;
        Close();
        m_name = name;
        return 0;
    }
    ZTL::string temporary;
    if (MakeTempFileName(temporary) != 0) return 2;
    if (Save(temporary) != 0) {
        Delete(temporary);
        return 2;
    }
    Close();
    m_temporaryFile = true;
    m_name = temporary;
    return 0;
}

int CFile::ReadToVector(const ZTL::string& name, std::vector<std::uint8_t>& content)
{
    int result = Read(name);
    if (result == 0) {
        const auto* data = static_cast<const std::uint8_t*>(GetMemory());
        try {
            content.assign(data, data + GetSize());
        } catch (const std::bad_alloc&) {
            content.clear();
            return kReadNoMemory;
        }
    }
    return result;
}

int CFile::WriteLines(const ZTL::string& name, const std::vector<ZTL::string>& lines)
{
    std::string text;
    for (const ZTL::string& line : lines)
        text += View(line);
    switch (platform::WriteWholeFile(View(ResolvePath(name)), text.data(), text.size())) {
    case platform::WriteResult::Ok:
        return 0;
    case platform::WriteResult::BadName:
        return -1;
    case platform::WriteResult::CannotCreate:
        return 1;
    default:
        return 2;
    }
}

int CFile::WriteFromVector(const ZTL::string& name, const std::vector<std::uint8_t>& content)
{
    return Write(name, content.data(), static_cast<std::uint32_t>(content.size()));
}

ZTL::string CFile::ResolvePath(const ZTL::string& path)
{
    std::string rest(View(path));
    std::string resolved;
    if (IsAbsolute(rest)) {
        resolved = std::move(rest);
    } else {
        ZTL::string base = GetCurrentFolder();
        std::size_t i = 0;
        for (;;) {
            std::string_view front = std::string_view(rest).substr(i);
            if (front.size() >= 3 && front[0] == '.' && front[1] == '.' && IsSeparator(front[2])) {
                ToParentFolder(base);
                i += 3;
            } else if (front.size() >= 2 && front[0] == '.' && IsSeparator(front[1])) {
                i += 2;
            } else if (!front.empty() && IsSeparator(front[0])) {
                i += 1;
            } else {
                resolved = std::string(View(base)) + std::string(front);
                break;
            }
        }
    }
    // A leading `/` stays: it names the host's root, so a resolved path resolves to itself again.
    for (std::size_t i = resolved.starts_with('/') ? 1 : 0; i < resolved.size(); ++i) {
        if (ZTL::IsSjisLeadByte(static_cast<unsigned char>(resolved[i]))) {
            ++i;
        } else if (resolved[i] == '/') {
            resolved[i] = '\\';
        }
    }
    return FromView(resolved);
}

int CFile::ToParentFolder(ZTL::string& path)
{
    std::string_view s = View(path);
    if (s.empty()) return 1;
    std::size_t from = 0;
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        // A network path: the server's name is not a folder to climb out of.
        std::vector<std::size_t> all = SeparatorPositions(s, 2);
        from = all.empty() ? s.size() : all.front() + 1;
    }
    std::vector<std::size_t> positions = SeparatorPositions(s, from);
    const bool endsWithSeparator = !positions.empty() && positions.back() + 1 == s.size();
    if (!endsWithSeparator) {
        if (positions.empty()) {
            path.append("\\");
        } else {
            path = path.substr(0, static_cast<std::uint32_t>(positions.back() + 1));
        }
        return 0;
    }
    if (positions.size() < 2) return 1;
    path = path.substr(0, static_cast<std::uint32_t>(positions[positions.size() - 2] + 1));
    return 0;
}

ZTL::string CFile::GetSuffix(const ZTL::string& path)
{
    ZTL::string name = GetFileNamePart(path);
    std::string_view s = View(name);
    std::size_t dot = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (ZTL::IsSjisLeadByte(static_cast<unsigned char>(s[i]))) {
            ++i;
        } else if (s[i] == '.') {
            dot = i;
        }
    }
    return dot == std::string_view::npos ? ZTL::string() : FromView(s.substr(dot + 1));
}

ZTL::string CFile::GetFileNamePart(const ZTL::string& path)
{
    std::string_view s = View(path);
    std::size_t last = LastSeparator(s);
    return last == std::string_view::npos ? path : FromView(s.substr(last + 1));
}

ZTL::string CFile::GetCurrentFolder()
{
    SFolders& f = Folders();
    Thread::CLockGuard<Thread::CCriticalSection> guard(f.lock);
    if (f.current.empty()) {
        std::string working;
        if (platform::GetCurrentFolder(working)) StoreCurrentFolder(working, f.current);
    }
    return FromView(f.current);
}

void CFile::SetCurrentFolder(const ZTL::string& folder)
{
    SFolders& f = Folders();
    Thread::CLockGuard<Thread::CCriticalSection> guard(f.lock);
    StoreCurrentFolder(View(folder), f.current);
}

int CFile::MakeTempFileName(ZTL::string& name)
{
    std::string path;
    if (!platform::MakeTemporaryFile("ZLV", path)) return 2;
    name = FromView(path);
    return 0;
}

void CFile::AddSearchFolder(const ZTL::string& folder)
{
    std::string text(View(folder));
    if (text.empty()) return;
    if (!EndsWithSeparator(text)) text += '\\';
    SFolders& f = Folders();
    Thread::CLockGuard<Thread::CCriticalSection> guard(f.lock);
    f.search.push_back(std::move(text));
}

void CFile::ClearSearchFolders()
{
    SFolders& f = Folders();
    Thread::CLockGuard<Thread::CCriticalSection> guard(f.lock);
    f.search.clear();
}

} // namespace zelvoranGameSDK3rd::Auxiliary
