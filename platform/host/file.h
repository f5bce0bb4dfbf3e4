#pragma once
// Files and folders. Every path here is an SDK path (CP932, `\` or `/`), turned into a host path by
// ToHostPath (platform/path.h), so names that differ from the disk only in ASCII letter case are found.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A file opened for reading whole or in pieces. Folders do not open.
class FileReader
{
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // False when the path has no host form, does not exist, is a folder or cannot be opened.
    bool Open(std::string_view path);
    bool IsOpen() const { return m_fd >= 0; }
    bool GetSize(std::uint64_t& size) const;
    bool Seek(std::uint64_t offset);
    // Reads exactly `count` bytes; false on an error or when the file ends first.
    bool Read(void* destination, std::size_t count);
    // False when closing reported an error; the file is closed either way.
    bool Close();

private:
    int m_fd = -1;
};

enum class WriteResult
{
    Ok = 0,
    CannotCreate = 1,
    WriteFailed = 2,
    CloseFailed = 3,
    BadName = -1,
};

// Writes `size` bytes as the whole file: into a new file in the same folder, renamed over the target
// only once every byte is written and the file closed, so a failed write leaves the old file as it was.
WriteResult WriteWholeFile(std::string_view path, const void* data, std::size_t size);

// The same for a host path (UTF-8, `/`), taken as it is.
WriteResult WriteWholeHostFile(const std::string& hostPath, const void* data, std::size_t size);

// A whole file written beside its target under a temporary name and put in place later, so that several
// files can all be written before any of them replaces its old version. A file written but never put
// in place is removed.
class StagedFile
{
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes every byte to the disk under the temporary name; a file staged before is discarded first.
    WriteResult Write(std::string_view path, const void* data, std::size_t size);
    // Renames the staged file over its target. False when nothing is staged or the rename fails (the
    // temporary file is then removed and the target left as it was).
    bool Commit();
    // Removes the staged file, if any.
    void Discard();

private:
    std::string m_temporary; // host paths
    std::string m_target;
};

// Removes from the folder the temporary files that whole-file writes of a process no longer running
// left behind (a write cut short by a kill or a power cut); the number removed.
int RemoveLeftoverWrites(std::string_view folder);

// Told before every change a file operation is about to make on the disk (a file put in place, deleted,
// moved or renamed, a file opened for writing, a setting written), with the host path (a setting's key
// and name for a setting). Null by default; tests set it to stop a run between any two changes.
using FileChangeObserver = void (*)(const std::string& what);
void SetFileChangeObserver(FileChangeObserver observer);
void NotifyFileChange(const std::string& what);

// Asked before every write of bytes to the disk (a whole file, a staged file, a copy, a file opened for
// writing or appending, a setting), with the path NotifyFileChange gives: true refuses the write, which
// then fails as on a full disk or a read-only folder. Deletes and renames still go through, as they do
// on a full disk. Null by default; tests set it to make the disk fail from a chosen write on.
using FileWriteRefusal = bool (*)(const std::string& what);
void SetFileWriteRefusal(FileWriteRefusal refusal);
bool IsFileWriteRefused(const std::string& what);

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(std::string_view path, std::vector<unsigned char>& content);

enum class StreamResult
{
    Ok = 0,
    CannotOpen = 1,
    BadName = -1,
    BadMode = -2,
};

// A standard I/O stream on the file, opened with a standard open mode ("rb", "w", "ab", "r+b" ...).
// Text and binary modes behave alike here: nothing converts line ends. A mode that writes never goes
// through a symbolic link, and a file with other names too (hard links) is first made this folder's own:
// a copy is put in its place, so that the writes reach none of the others.
std::FILE* OpenStream(std::string_view path, std::string_view mode, StreamResult& result);

bool DeleteFile(std::string_view path);
// Asks the disk to hold the file's bytes written so far, so that a power loss after this cannot take
// them; false when the file cannot be opened or the disk refuses.
bool SyncFile(std::string_view path);
// Cuts a file to `length` bytes in place, needing no room for a copy; false when it is not a regular
// file (a link is never followed), is shorter, or cannot be cut. A cut is a write: it is refused as one.
// A file with other names too is first made this folder's own (a copy put in its place, as OpenStream
// does before any write), so the cut never reaches the others.
bool TruncateFile(std::string_view path, std::uint64_t length);
// Gives a file a new name in its own folder, replacing a file of that name. The new name (one CP932
// name, no folder) is taken exactly as written, so a name can change its letter case alone.
bool RenameFileInPlace(std::string_view path, std::string_view newName);
// Copies a file's bytes to a new path, written as WriteWholeFile writes (a failed copy leaves nothing
// at the target, and an old target as it was). With `failIfExists` an existing target is never
// replaced: the copy fails instead. The target keeps the source's permissions.
bool CopyFile(std::string_view from, std::string_view to, bool failIfExists);
// Moves a file to a new path, never over an existing one. Across file systems it is copied and the
// source removed once the copy is in place.
bool MoveFile(std::string_view from, std::string_view to);
// True when the folder was made or already exists; makes missing parent folders too.
bool MakeFolder(std::string_view path);
// Removes an empty folder.
bool RemoveFolder(std::string_view path);
bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

struct FolderEntry
{
    std::string name; // CP932
    bool isFolder = false;
    std::uint64_t size = 0; // of a file, as the listing found it
};
// Whether a name (CP932) is wanted from a folder's listing.
using FolderNameFilter = std::function<bool(std::string_view name)>;
// The entries of a folder, without "." and "..", sorted by name. Entries whose names have no CP932
// form are left out, and with `keep` those it does not want: the disk is asked only about the others.
// False when the folder cannot be read.
bool ListFolder(std::string_view path, std::vector<FolderEntry>& entries, const FolderNameFilter& keep = {});

// The process's working folder (CP932, `/` separated, no final separator unless it is the root).
bool GetCurrentFolder(std::string& path);
bool SetCurrentFolder(std::string_view path);
// The full path of the running executable (CP932).
bool GetExecutablePath(std::string& path);
// The user's own data folder ($XDG_DATA_HOME, else ~/.local/share), without a final separator; false
// when the environment names neither or the path has no CP932 form.
bool GetUserDataFolder(std::string& path);
// The user's configuration folder as a host path ($XDG_CONFIG_HOME, else ~/.config); empty when the
// environment names neither.
std::string GetUserConfigHostFolder();
// The folder for temporary files ($TMPDIR, else /tmp), with a final `/`.
bool GetTemporaryFolder(std::string& path);
// Creates a new empty file in the temporary folder whose name starts with `prefix`; `path` receives
// its full path (CP932).
bool MakeTemporaryFile(std::string_view prefix, std::string& path);

} // namespace platform
