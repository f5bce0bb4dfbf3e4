// The per-user settings store: a tree of keys, each holding named values of bytes, where a Windows
// program would keep its registry settings. Keys are paths of names separated by `\`
// ("Software\Quorlith\marovellin"); names of keys and values are UTF-8 and compared ignoring ASCII
// letter case, as the registry compares them.
//
// The memory form serves the headless back end; the file form keeps the same tree in a small text file
// under the user's configuration folder for the real one. A line of the file that does not read is
// skipped; every line that does is kept.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class SettingsStore
{
public:
    using Bytes = std::vector<std::uint8_t>;

    // The deepest key: the program's own keys are 3 levels deep, the registry allows far more; 32 leaves
    // room for any real use while a key's parents stay few and short.
    static constexpr int kMaxKeyDepth = 32;

    // Every call answers false for a key path that is empty, has an empty name in it or is deeper than
    // kMaxKeyDepth.
    bool Read(std::string_view key, std::string_view name, Bytes& value) const;
    // Creates the key and its parents as needed.
    bool Write(std::string_view key, std::string_view name, const Bytes& value);
    // False when there is no such value.
    bool Delete(std::string_view key, std::string_view name);
    // Makes the key and its parents; true when it exists afterwards.
    bool CreateKey(std::string_view key);
    // Removes the key with its values; false when it does not exist or still has subkeys.
    bool DeleteKey(std::string_view key);
    // The number of direct subkeys and of values; false when the key does not exist.
    bool Count(std::string_view key, std::uint32_t& subKeys, std::uint32_t& values) const;
    bool IsEmpty() const { return m_keys.empty(); }

    // The text form: "[key]" lines, each followed by "name=hex bytes" lines of its values.
    std::string ToText() const;
    // The store a text holds: every line that reads. A line that does not is skipped, as are the value
    // lines under a key line that does not read.
    static SettingsStore FromText(std::string_view text);

private:
    struct Key
    {
        std::string path;                                            // as first written
        std::map<std::string, std::pair<std::string, Bytes>> values; // folded name -> (name, bytes)
    };
    std::map<std::string, Key> m_keys; // folded path -> key

    bool Insert(const std::string& path); // with its parents; path already normalised
};

// The store kept in a file. Every operation reads the file, applies itself and, when it changed the
// store, writes the file again through a temporary file renamed over it, so other processes see each
// change and an interrupted write leaves the previous file whole. An empty store removes the file.
// A file that cannot be read, or is larger than kMaxFileSize, answers every operation with false and is
// never written over: a write could only put back less than the file holds.
class SettingsFile
{
public:
    // The largest file read: the program keeps one 4-byte value a user, some 15 bytes a line, so even
    // thousands of users stay under 100 KB; 1 MiB leaves ten times that.
    static constexpr std::size_t kMaxFileSize = 1 << 20;

    // The file of this user: "marovellin/settings.ini" in the configuration folder ($XDG_CONFIG_HOME,
    // else ~/.config); empty when the environment names no such folder.
    static std::string DefaultPath();

    explicit SettingsFile(std::string hostPath) : m_path(std::move(hostPath)) {}
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // Each operation is whole: threads of this process never see half of another's change.

    bool Read(std::string_view key, std::string_view name, SettingsStore::Bytes& value) const;
    bool Write(std::string_view key, std::string_view name, const SettingsStore::Bytes& value);
    bool Delete(std::string_view key, std::string_view name);
    bool CreateKey(std::string_view key);
    bool DeleteKey(std::string_view key);
    bool Count(std::string_view key, std::uint32_t& subKeys, std::uint32_t& values) const;

private:
    // The store the file holds (empty when there is no file); false when it cannot be read whole.
    bool Load(SettingsStore& store) const;
    // False when the file could not be written (or removed).
    bool Store(const SettingsStore& store) const;

    std::string m_path;
    mutable std::mutex m_mutex;
};

} // namespace platform
