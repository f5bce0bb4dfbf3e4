#include "platform/host/settings_store.h"

#include "platform/host/file.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string Fold(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return folded;
}

// The key path without separators at its ends; false when it is empty or holds an empty name.
bool NormaliseKey(std::string_view key, std::string& path)
{
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    if (key.empty() || key.find("\\\\") != std::string_view::npos) return false;
    path.assign(key);
    return true;
}

// Names are written with every byte that could be taken for the file's own syntax as %XX.
bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '%' || c == '=' || c == '[' || c == ']' || c == ';';
}

const char kHex[] = "0123456789abcdef";

std::string Escape(std::string_view text)
{
    std::string out;
    for (unsigned char c : text) {
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (text.size() - i < 3) return false;
        const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return false;
        out += char(high * 16 + low);
        i += 2;
    }
    return true;
}

bool ParseHex(std::string_view text, SettingsStore::Bytes& bytes)
{
    bytes.clear();
    if (text.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(std::uint8_t(high * 16 + low));
    }
    return true;
}

} // namespace

bool SettingsStore::Insert(const std::string& path)
{
    // Parents first, one level at a time: no recursion, so the depth of a key costs no stack.
    if (std::count(path.begin(), path.end(), '\\') >= kMaxKeyDepth) return false;
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const std::string prefix = path.substr(0, end);
        Key& key = m_keys[Fold(prefix)];
        if (key.path.empty()) key.path = prefix;
        if (end == std::string::npos) return true;
    }
}

bool SettingsStore::Read(std::string_view key, std::string_view name, Bytes& value) const
{
    std::string path;
    if (!NormaliseKey(key, path)) return false;
    auto k = m_keys.find(Fold(path));
    if (k == m_keys.end()) return false;
    auto v = k->second.values.find(Fold(name));
    if (v == k->second.values.end()) return false;
    value = v->second.second;
    return true;
}

bool SettingsStore::Write(std::string_view key, std::string_view name, const Bytes& value)
{
    std::string path;
    if (!NormaliseKey(key, path) || !Insert(path)) return false;
    auto& entry = m_keys[Fold(path)].values[Fold(name)];
    if (entry.first.empty()) entry.first.assign(name);
    entry.second = value;
    return true;
}

bool SettingsStore::Delete(std::string_view key, std::string_view name)
{
    std::string path;
    if (!NormaliseKey(key, path)) return false;
    auto k = m_keys.find(Fold(path));
    return k != m_keys.end() && k->second.values.erase(Fold(name)) == 1;
}

bool SettingsStore::CreateKey(std::string_view key)
{
    std::string path;
    return NormaliseKey(key, path) && Insert(path);
}

bool SettingsStore::DeleteKey(std::string_view key)
{
    std::uint32_t subKeys = 0, values = 0;
    std::string path;
    if (!NormaliseKey(key, path) || !Count(path, subKeys, values) || subKeys != 0) return false;
    m_keys.erase(Fold(path));
    return true;
}

bool SettingsStore::Count(std::string_view key, std::uint32_t& subKeys, std::uint32_t& values) const
{
    std::string path;
    if (!NormaliseKey(key, path)) return false;
    const std::string folded = Fold(path);
    auto k = m_keys.find(folded);
    if (k == m_keys.end()) return false;
    values = std::uint32_t(k->second.values.size());
    subKeys = 0;
    // Keys are sorted by their folded paths, so the subkeys lie together from the first path with their
    // prefix on; a sibling such as "name games" can sort between the key and its subkeys.
    const std::string prefix = folded + '\\';
    for (auto it = m_keys.lower_bound(prefix);
         it != m_keys.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
        if (it->first.find('\\', prefix.size()) == std::string::npos) ++subKeys;
    return true;
}

std::string SettingsStore::ToText() const
{
    std::string text;
    for (const auto& [folded, key] : m_keys) {
        text += '[' + Escape(key.path) + "]\n";
        for (const auto& [foldedName, value] : key.values) {
            text += Escape(value.first) + '=';
            for (std::uint8_t b : value.second) {
                text += kHex[b >> 4];
                text += kHex[b & 15];
            }
            text += '\n';
        }
    }
    return text;
}

SettingsStore SettingsStore::FromText(std::string_view text)
{
    SettingsStore store;
    std::string current; // the key the value lines belong to; empty after a key line that does not read
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;

        // A line that does not read is skipped, and so are the value lines of a key line that does not:
        // they cannot be told from another key's.
        std::string name;
        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']' || !Unescape(line.substr(1, line.size() - 2), name) ||
                !NormaliseKey(name, current) || !store.Insert(current))
                current.clear();
            continue;
        }
        const std::size_t equals = line.find('=');
        Bytes value;
        if (current.empty() || equals == std::string_view::npos || !Unescape(line.substr(0, equals), name) ||
            !ParseHex(line.substr(equals + 1), value))
            continue;
        store.Write(current, name, value);
    }
    return store;
}

std::string SettingsFile::DefaultPath()
{
    const std::string folder = GetUserConfigHostFolder();
    return folder.empty() ? std::string() : folder + "/marovellin/settings.ini";
}

bool SettingsFile::Load(SettingsStore& store) const
{
    store = SettingsStore();
    struct stat status = {};
    if (::stat(m_path.c_str(), &status) != 0) return errno == ENOENT; // no file is an empty store
    std::ifstream in(m_path, std::ios::binary);
    if (!in) return false;
    // One byte past the cap tells a file that is too large from one that just fits.
    std::string text(kMaxFileSize + 1, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    if (in.bad() || std::size_t(in.gcount()) > kMaxFileSize) return false;
    text.resize(std::size_t(in.gcount()));
    store = SettingsStore::FromText(text);
    return true;
}

bool SettingsFile::Store(const SettingsStore& store) const
{
    if (m_path.empty()) return false;
    const std::size_t slash = m_path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : m_path.substr(0, slash);
    if (store.IsEmpty()) {
        if (::unlink(m_path.c_str()) != 0 && errno != ENOENT) return false;
        ::rmdir(folder.c_str()); // only when nothing else lies there
        return true;
    }
    ::mkdir(folder.c_str(), 0700);
    const std::string text = "; per-user settings of marovellin\n" + store.ToText();
    return WriteWholeHostFile(m_path, text.data(), text.size()) == WriteResult::Ok;
}

bool SettingsFile::Read(std::string_view key, std::string_view name, SettingsStore::Bytes& value) const
{
    std::lock_guard lock(m_mutex);
    SettingsStore store;
    return Load(store) && store.Read(key, name, value);
}

bool SettingsFile::Write(std::string_view key, std::string_view name, const SettingsStore::Bytes& value)
{
    std::lock_guard lock(m_mutex);
    SettingsStore store;
    return Load(store) && store.Write(key, name, value) && Store(store);
}

bool SettingsFile::Delete(std::string_view key, std::string_view name)
{
    std::lock_guard lock(m_mutex);
    SettingsStore store;
    return Load(store) && store.Delete(key, name) && Store(store);
}

bool SettingsFile::CreateKey(std::string_view key)
{
    std::lock_guard lock(m_mutex);
    SettingsStore store;
    if (!Load(store)) return false;
    std::uint32_t subKeys = 0, values = 0;
    if (store.Count(key, subKeys, values)) return true;
    return store.CreateKey(key) && Store(store);
}

bool SettingsFile::DeleteKey(std::string_view key)
{
    std::lock_guard lock(m_mutex);
    SettingsStore store;
    return Load(store) && store.DeleteKey(key) && Store(store);
}

bool SettingsFile::Count(std::string_view key, std::uint32_t& subKeys, std::uint32_t& values) const
{
    std::lock_guard lock(m_mutex);
    SettingsStore store;
    return Load(store) && store.Count(key, subKeys, values);
}

} // namespace platform
