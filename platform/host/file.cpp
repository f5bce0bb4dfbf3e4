#include "platform/host/file.h"

#include "platform/host/encoding.h"
#include "platform/host/path.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool CloseDescriptor(int fd)
{
    // Linux releases the descriptor even when close reports EINTR: never retry.
    return ::close(fd) == 0 || errno == EINTR;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string ParentOf(const std::string& hostPath)
{
    std::size_t slash = hostPath.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return hostPath.substr(0, slash);
}

std::string NameOf(const std::string& hostPath)
{
    std::size_t slash = hostPath.find_last_of('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

bool StatPath(std::string_view path, struct stat& st)
{
    std::string host;
    return ToHostPath(path, host) && ::stat(host.c_str(), &st) == 0;
}

// A standard open mode: r, w or a, then any of +, b and t. The t of text mode means nothing here.
bool NormaliseMode(std::string_view mode, std::string& out)
{
    out.clear();
    if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
    out.push_back(mode[0]);
    bool plus = false, binary = false, text = false;
    for (std::size_t i = 1; i < mode.size(); ++i) {
        bool* flag = mode[i] == '+' ? &plus : mode[i] == 'b' ? &binary : mode[i] == 't' ? &text : nullptr;
        if (!flag || *flag) return false;
        *flag = true;
    }
    if (binary && text) return false;
    if (plus) out.push_back('+');
    out.push_back('b');
    return true;
}

// Whether the host path names a regular file itself (not through a link), or nothing at all.
bool IsRegularOrMissing(const std::string& host)
{
    struct stat st;
    return ::lstat(host.c_str(), &st) == 0 ? S_ISREG(st.st_mode) : errno == ENOENT;
}

// Writes into a new file beside the host path what `fill` writes to its descriptor (false when it
// fails), flushed to the disk and closed; `temporary` receives its path. Nothing is left behind on
// failure.
template <typename Fill>
WriteResult WriteBesideWith(const std::string& host, const Fill& fill, std::string& temporary)
{
    temporary.clear();
    const std::string folder = ParentOf(host);
    const std::string name = NameOf(host);
    if (name.empty() || name == "." || name == "..") return WriteResult::CannotCreate;
    // Only a regular file is replaced: never a link, whatever it points at, nor a pipe or a device.
    if (!IsRegularOrMissing(host)) return WriteResult::CannotCreate;
    if (IsFileWriteRefused(host)) return WriteResult::WriteFailed;

    static std::atomic<unsigned> counter{0};
    std::string candidate;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        candidate = folder + "/." + name + "." + std::to_string(::getpid()) + "." +
                    std::to_string(counter.fetch_add(1)) + ".tmp";
        fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR) break;
    }
    if (fd < 0) return WriteResult::CannotCreate;

    // A replaced file keeps its permissions.
    struct stat old;
    if (::lstat(host.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    if (!fill(fd) || ::fsync(fd) != 0) {
        CloseDescriptor(fd);
        ::unlink(candidate.c_str());
        return WriteResult::WriteFailed;
    }
    if (!CloseDescriptor(fd)) {
        ::unlink(candidate.c_str());
        return WriteResult::CloseFailed;
    }
    temporary = candidate;
    return WriteResult::Ok;
}

// Writes the bytes into a new file beside the host path, as WriteBesideWith does.
WriteResult WriteBeside(const std::string& host, const void* data, std::size_t size, std::string& temporary)
{
    return WriteBesideWith(
        host, [&](int fd) { return WriteAll(fd, static_cast<const unsigned char*>(data), size); }, temporary);
}

// Opens a regular file and nothing else, in blocking mode once open. The open itself never blocks: a
// FIFO, a device or a socket lying where a save, a replay or a dropped file is looked for would
// otherwise hold the game for ever. -1 (errno set) on failure.
int OpenRegularFile(const std::string& host, int flags, mode_t permissions = 0666,
                    struct stat* opened = nullptr)
{
    int fd;
    do {
        fd = ::open(host.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, permissions);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat own;
    struct stat& st = opened != nullptr ? *opened : own;
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        CloseDescriptor(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// Makes a regular file with other names (hard links, which O_NOFOLLOW does not stop) the folder's own: a
// copy of its bytes (none when `keepBytes` is false, for a write that empties it anyway) is renamed over
// this name, so that a write reaches none of the others. False when the copy cannot be made, as on a
// full disk, or the file cannot be read.
bool MakeOwnCopy(const std::string& host, bool keepBytes)
{
    const int source = keepBytes ? OpenRegularFile(host, O_RDONLY | O_NOFOLLOW) : -1;
    if (keepBytes && source < 0) return false;
    const auto copy = [&](int fd) {
        unsigned char buffer[1 << 16];
        for (;;) {
            const ssize_t n = source < 0 ? 0 : ::read(source, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return n == 0;
            if (!WriteAll(fd, buffer, std::size_t(n))) return false;
        }
    };
    std::string temporary;
    const WriteResult written = WriteBesideWith(host, copy, temporary);
    if (source >= 0) CloseDescriptor(source);
    if (written != WriteResult::Ok) return false;
    NotifyFileChange(host);
    if (::rename(temporary.c_str(), host.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

// Opens a regular file to be written in place (`flags` as open(2) takes them), never through a link: a
// symbolic one does not open, and a file with other names is first made the folder's own (MakeOwnCopy).
// The names are counted on the descriptor the open gives, so a file with one name costs the open alone;
// a file to be emptied is emptied only once it is known to have no other. `opened`, when given, receives
// what the open found of the file. -1 on failure.
int OpenToWriteInPlace(const std::string& host, int flags, struct stat* opened = nullptr)
{
    const bool empties = (flags & O_TRUNC) != 0;
    const int opening = (flags & ~O_TRUNC) | O_NOFOLLOW;
    struct stat own;
    struct stat& st = opened != nullptr ? *opened : own;
    int fd = OpenRegularFile(host, opening, 0666, &st);
    if (fd >= 0 && st.st_nlink > 1) {
        CloseDescriptor(fd);
        fd = MakeOwnCopy(host, !empties) ? OpenRegularFile(host, opening, 0666, &st) : -1;
        if (fd >= 0 && st.st_nlink > 1) {
            CloseDescriptor(fd);
            return -1;
        }
    }
    if (fd >= 0 && empties) {
        int result;
        do {
            result = ::ftruncate(fd, 0);
        } while (result != 0 && errno == EINTR);
        if (result != 0) {
            CloseDescriptor(fd);
            return -1;
        }
    }
    return fd;
}

// The open(2) flags of a normalised stream mode (NormaliseMode's form, without the 'e').
int StreamModeFlags(const std::string& mode)
{
    const bool plus = mode.find('+') != std::string::npos;
    switch (mode[0]) {
    case 'r':
        return plus ? O_RDWR : O_RDONLY;
    case 'w':
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    default:
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    }
}

std::atomic<FileChangeObserver> g_fileChangeObserver{nullptr};
std::atomic<FileWriteRefusal> g_fileWriteRefusal{nullptr};

// The writer's process id of a name WriteBeside gives (".<name>.<pid>.<counter>.tmp"); 0 when the name
// is not one.
long WriterOfTemporaryName(const std::string& name)
{
    constexpr std::string_view suffix = ".tmp";
    if (name.size() < 8 || name[0] != '.' ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string stem = name.substr(0, name.size() - suffix.size());
    const std::size_t counterDot = stem.rfind('.');
    if (counterDot == std::string::npos || counterDot == 0) return 0;
    const std::size_t pidDot = stem.rfind('.', counterDot - 1);
    if (pidDot == std::string::npos || pidDot == 0) return 0;
    const auto digits = [&](std::size_t from, std::size_t to) {
        return to > from && to - from <= 9 &&
               std::all_of(stem.begin() + std::ptrdiff_t(from), stem.begin() + std::ptrdiff_t(to),
                           [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(pidDot + 1, counterDot) || !digits(counterDot + 1, stem.size())) return 0;
    return std::strtol(stem.c_str() + pidDot + 1, nullptr, 10);
}

} // namespace

void SetFileChangeObserver(FileChangeObserver observer)
{
    g_fileChangeObserver = observer;
}

void NotifyFileChange(const std::string& what)
{
    if (const FileChangeObserver observer = g_fileChangeObserver) observer(what);
}

void SetFileWriteRefusal(FileWriteRefusal refusal)
{
    g_fileWriteRefusal = refusal;
}

bool IsFileWriteRefused(const std::string& what)
{
    const FileWriteRefusal refusal = g_fileWriteRefusal;
    if (refusal == nullptr || !refusal(what)) return false;
    errno = ENOSPC;
    return true;
}

FileReader::~FileReader()
{
    Close();
}

bool FileReader::Open(std::string_view path)
{
    Close();
    std::string host;
    if (!ToHostPath(path, host)) return false;
    const int fd = OpenRegularFile(host, O_RDONLY);
    if (fd < 0) return false;
    m_fd = fd;
    return true;
}

bool FileReader::GetSize(std::uint64_t& size) const
{
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || st.st_size < 0) return false;
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool FileReader::Seek(std::uint64_t offset)
{
    if (m_fd < 0 || offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
    return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool FileReader::Read(void* destination, std::size_t count)
{
    if (m_fd < 0) return false;
    auto* out = static_cast<unsigned char*>(destination);
    while (count > 0) {
        ssize_t n = ::read(m_fd, out, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false; // the file ended first
        out += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool FileReader::Close()
{
    if (m_fd < 0) return true;
    int fd = m_fd;
    m_fd = -1;
    return CloseDescriptor(fd);
}

WriteResult WriteWholeFile(std::string_view path, const void* data, std::size_t size)
{
    std::string host;
    if (!ToHostPath(path, host)) return WriteResult::BadName;
    return WriteWholeHostFile(host, data, size);
}

WriteResult WriteWholeHostFile(const std::string& host, const void* data, std::size_t size)
{
    std::string temporary;
    const WriteResult result = WriteBeside(host, data, size, temporary);
    if (result != WriteResult::Ok) return result;
    NotifyFileChange(host);
    if (::rename(temporary.c_str(), host.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return WriteResult::CannotCreate;
    }
    return WriteResult::Ok;
}

StagedFile::~StagedFile()
{
    Discard();
}

WriteResult StagedFile::Write(std::string_view path, const void* data, std::size_t size)
{
    Discard();
    std::string host;
    if (!ToHostPath(path, host)) return WriteResult::BadName;
    const WriteResult result = WriteBeside(host, data, size, m_temporary);
    if (result == WriteResult::Ok) m_target = host;
    return result;
}

bool StagedFile::Commit()
{
    if (m_temporary.empty()) return false;
    NotifyFileChange(m_target);
    const bool renamed = ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (!renamed) ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_target.clear();
    return renamed;
}

void StagedFile::Discard()
{
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_target.clear();
}

int RemoveLeftoverWrites(std::string_view folder)
{
    std::string host;
    if (!ToHostPath(folder, host)) return 0;
    DIR* dir = ::opendir(host.c_str());
    if (dir == nullptr) return 0;
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const long writer = WriterOfTemporaryName(name);
        // A writer that still runs may yet put its file in place.
        if (writer <= 0 || writer == long(::getpid()) || ::kill(pid_t(writer), 0) == 0 || errno != ESRCH)
            continue;
        struct stat st;
        const std::string path = host + "/" + name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) leftovers.push_back(path);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& path : leftovers)
        removed += ::unlink(path.c_str()) == 0 ? 1 : 0;
    return removed;
}

bool ReadWholeFile(std::string_view path, std::vector<unsigned char>& content)
{
    FileReader reader;
    std::uint64_t size = 0;
    if (!reader.Open(path) || !reader.GetSize(size) || size > SIZE_MAX / 2) return false;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (!reader.Read(bytes.data(), bytes.size()) || !reader.Close()) return false;
    content.swap(bytes);
    return true;
}

std::FILE* OpenStream(std::string_view path, std::string_view mode, StreamResult& result)
{
    std::string hostMode;
    std::string host;
    if (!ToHostPath(path, host)) {
        result = StreamResult::BadName;
        return nullptr;
    }
    if (!NormaliseMode(mode, hostMode)) {
        result = StreamResult::BadMode;
        return nullptr;
    }
    const bool writing = hostMode[0] != 'r' || hostMode.find('+') != std::string::npos;
    if (writing) {
        if (IsFileWriteRefused(host)) {
            result = StreamResult::CannotOpen;
            return nullptr;
        }
        NotifyFileChange(host);
    }
    // Only a regular file opens; a FIFO is refused at once instead of waiting for the other end. A write
    // never goes through a link: the link may lead out of the user's folders.
    const int fd = writing ? OpenToWriteInPlace(host, StreamModeFlags(hostMode))
                           : OpenRegularFile(host, StreamModeFlags(hostMode));
    std::FILE* f = fd >= 0 ? ::fdopen(fd, hostMode.c_str()) : nullptr;
    if (fd >= 0 && f == nullptr) CloseDescriptor(fd);
    result = f ? StreamResult::Ok : StreamResult::CannotOpen;
    return f;
}

bool DeleteFile(std::string_view path)
{
    std::string host;
    struct stat st;
    if (!ToHostPath(path, host) || ::lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    NotifyFileChange(host);
    return ::unlink(host.c_str()) == 0;
}

bool SyncFile(std::string_view path)
{
    std::string host;
    if (!ToHostPath(path, host)) return false;
    const int fd = OpenRegularFile(host, O_RDONLY);
    if (fd < 0) return false;
    int result;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    CloseDescriptor(fd);
    return result == 0;
}

bool TruncateFile(std::string_view path, std::uint64_t length)
{
    std::string host;
    if (!ToHostPath(path, host) || IsFileWriteRefused(host)) return false;
    NotifyFileChange(host);
    struct stat st;
    const int fd = OpenToWriteInPlace(host, O_WRONLY, &st);
    if (fd < 0) return false;
    bool cut =
        std::uint64_t(st.st_size) >= length && length <= std::uint64_t(std::numeric_limits<off_t>::max());
    if (cut) {
        int result;
        do {
            result = ::ftruncate(fd, off_t(length));
        } while (result != 0 && errno == EINTR);
        cut = result == 0;
    }
    CloseDescriptor(fd);
    return cut;
}

bool RenameFileInPlace(std::string_view path, std::string_view newName)
{
    std::string source, name;
    struct stat st;
    if (!ToHostPath(path, source) || !Cp932ToUtf8(newName, name) || name.empty() || name == "." ||
        name == ".." || name.find('/') != std::string::npos || ::lstat(source.c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return false;
    const std::string target = ParentOf(source) + "/" + name;
    if (!IsRegularOrMissing(target)) return false;
    NotifyFileChange(source);
    return ::rename(source.c_str(), target.c_str()) == 0;
}

bool CopyFile(std::string_view from, std::string_view to, bool failIfExists)
{
    std::string source, target;
    if (!ToHostPath(from, source) || !ToHostPath(to, target)) return false;
    struct stat st;
    if (::stat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(from, bytes)) return false;
    std::string temporary;
    if (WriteBeside(target, bytes.data(), bytes.size(), temporary) != WriteResult::Ok) return false;
    ::chmod(temporary.c_str(), st.st_mode & 07777);
    NotifyFileChange(target);
    bool placed;
    if (failIfExists) {
        // A hard link never replaces what is there, so a target made meanwhile is kept too.
        placed = ::link(temporary.c_str(), target.c_str()) == 0;
    } else {
        placed = ::rename(temporary.c_str(), target.c_str()) == 0;
    }
    ::unlink(temporary.c_str());
    return placed;
}

bool MoveFile(std::string_view from, std::string_view to)
{
    std::string source, target;
    if (!ToHostPath(from, source) || !ToHostPath(to, target)) return false;
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    NotifyFileChange(source);
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename: check, then rename.
        struct stat existing;
        if (::lstat(target.c_str(), &existing) == 0) return false;
        return ::rename(source.c_str(), target.c_str()) == 0;
    }
    if (errno != EXDEV) return false;
    if (!CopyFile(from, to, true)) return false;
    if (::unlink(source.c_str()) != 0) {
        ::unlink(target.c_str());
        return false;
    }
    return true;
}

bool MakeFolder(std::string_view path)
{
    std::string host;
    if (!ToHostPath(path, host)) return false;
    // Make every missing folder on the way, from the top down.
    for (std::size_t i = 1; i <= host.size(); ++i) {
        if (i != host.size() && host[i] != '/') continue;
        std::string prefix = host.substr(0, i);
        struct stat st;
        if (::stat(prefix.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false;
            continue;
        }
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return FolderExists(path);
}

bool RemoveFolder(std::string_view path)
{
    std::string host;
    return ToHostPath(path, host) && ::rmdir(host.c_str()) == 0;
}

bool FileExists(std::string_view path)
{
    struct stat st;
    return StatPath(path, st) && S_ISREG(st.st_mode);
}

bool FolderExists(std::string_view path)
{
    struct stat st;
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool ListFolder(std::string_view path, std::vector<FolderEntry>& entries, const FolderNameFilter& keep)
{
    entries.clear();
    std::string host;
    if (!ToHostPath(path, host)) return false;
    DIR* dir = ::opendir(host.c_str());
    if (!dir) return false;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        FolderEntry item;
        if (!ToSdkPath(name, item.name) || (keep && !keep(item.name))) continue;
        struct stat st;
        std::string full = host + "/" + std::string(name);
        const bool found = ::stat(full.c_str(), &st) == 0;
        item.isFolder = found && S_ISDIR(st.st_mode);
        item.size = found && S_ISREG(st.st_mode) ? std::uint64_t(st.st_size) : 0;
        entries.push_back(std::move(item));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return true;
}

bool GetCurrentFolder(std::string& path)
{
    std::string buffer(256, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return false;
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return ToSdkPath(buffer, path);
}

bool SetCurrentFolder(std::string_view path)
{
    std::string host;
    return ToHostPath(path, host) && ::chdir(host.c_str()) == 0;
}

bool GetExecutablePath(std::string& path)
{
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return false;
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return ToSdkPath(buffer, path);
}

namespace {

// An XDG base folder without a final separator: the variable when it names an absolute path, else the
// fallback under the home folder. Empty when neither is known.
std::string XdgFolder(const char* variable, const char* fallbackUnderHome)
{
    const char* value = std::getenv(variable);
    const char* home = std::getenv("HOME");
    const auto trimmed = [](std::string folder) {
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    };
    if (value != nullptr && value[0] == '/') return trimmed(value);
    if (home == nullptr || home[0] != '/') return "";
    const std::string base = trimmed(home);
    return (base == "/" ? base : base + "/") + fallbackUnderHome;
}

} // namespace

bool GetUserDataFolder(std::string& path)
{
    const std::string host = XdgFolder("XDG_DATA_HOME", ".local/share");
    return !host.empty() && ToSdkPath(host, path);
}

std::string GetUserConfigHostFolder()
{
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

bool GetTemporaryFolder(std::string& path)
{
    const char* folder = std::getenv("TMPDIR");
    std::string host = folder && *folder ? folder : "/tmp";
    if (host.back() != '/') host += '/';
    return ToSdkPath(host, path);
}

bool MakeTemporaryFile(std::string_view prefix, std::string& path)
{
    std::string folder, hostFolder, hostPrefix;
    if (!GetTemporaryFolder(folder) || !ToHostPath(folder, hostFolder) || !Cp932ToUtf8(prefix, hostPrefix))
        return false;
    std::string pattern = hostFolder + "/" + hostPrefix + "XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return false;
    CloseDescriptor(fd);
    if (!ToSdkPath(pattern, path)) {
        ::unlink(pattern.c_str());
        return false;
    }
    return true;
}

} // namespace platform
