#pragma once
// The one way to the file system: whole files read from disk or from pack archives into memory,
// whole files written, standard I/O streams, line and byte readers over loaded content, and paths.

#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace zelvoranGameSDK3rd::Auxiliary {

class IFile
{
public:
    virtual int Open(const ZTL::string& name, const ZTL::string& mode) = 0;
    virtual int Write(const ZTL::string& name, const void* data, std::uint32_t size) = 0;
    virtual int WriteString(const ZTL::string& text) = 0;
    virtual int Close() = 0;
    virtual std::FILE* GetStream() = 0;
    virtual int Read(const ZTL::string& name) = 0;
    virtual ZTL::string GetName() = 0;
    virtual ZTL::string GetFileNamePart() = 0;
    virtual ZTL::string GetNameSuffix() = 0;
    virtual void* GetMemory() = 0;
    virtual std::uint32_t GetSize() = 0;
    virtual int ReadLineString(ZTL::string& line) = 0;
    virtual int ReadLine(char* buffer, int capacity) = 0;
    virtual int ReadQuotedText(char* buffer, std::int32_t workSize) = 0;
    virtual void* Rewind() = 0;
    virtual int ReadBytes(void* destination, std::uint32_t count) = 0;
    virtual int Save(const ZTL::string& name) = 0;
    virtual int Scramble() = 0;
    virtual int Delete(const ZTL::string& name) = 0;
    virtual int ToTemporaryFile(bool force) = 0;
    virtual int ReadToVector(const ZTL::string& name, std::vector<std::uint8_t>& content) = 0;
    virtual int WriteLines(const ZTL::string& name, const std::vector<ZTL::string>& lines) = 0;
    virtual int WriteFromVector(const ZTL::string& name, const std::vector<std::uint8_t>& content) = 0;
    virtual ~IFile() = default;
};

class CFile : public IFile
{
public:
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() override;

    // 0 opened; 1 cannot open (also for a mode that is no standard open mode); -1 the name has no host
    // form; -2 the mode has none.
    // A relative name that does not open for reading is tried in each registered search folder.
    int Open(const ZTL::string& name, const ZTL::string& mode) override;
    // Writes the bytes as the whole file through a temporary file renamed over it, so a failed write
    // keeps the old file: 0 ok, 1 cannot create, 2 write failed, 3 close failed.
    int Write(const ZTL::string& name, const void* data, std::uint32_t size) override;
    // To the open stream: 0 ok, 1 write error, -1 no stream open.
    int WriteString(const ZTL::string& text) override;
    // Closes the open stream (its close result), else releases the content and forgets the name.
    int Close() override;
    std::FILE* GetStream() override { return m_stream; }
    std::FILE* GetFilePointer() { return GetStream(); }
    // Results of Read, ReadFromDiskOrPack and ReadFromMemory.
    static constexpr int kReadOk = 0;
    static constexpr int kReadEmptyName = -1;
    static constexpr int kReadNotFound = 1;
    static constexpr int kReadSizeUnreadable = 2;
    static constexpr int kReadNoMemory = 3;
    static constexpr int kReadFailed = 4; // reading or decoding failed
    static constexpr int kReadCloseFailed = 5;
    static constexpr int kReadNullBlock = 6;
    static constexpr int kReadTooLarge = 7; // the file, or the member's content, exceeds kMaxReadSize

    // The largest file read whole. The largest the game reads are its pictures (an effect strip of
    // 3072 x 384 pixels, 4.7 MB as 32-bit pixels) and its music (some 2 MB a piece); the tables and
    // save files stay under a few hundred KB. 16 MiB leaves three times the largest, and keeps a read
    // and the copy ReadToVector makes of it far below what a hostile file could otherwise claim.
    static constexpr std::uint32_t kMaxReadSize = 16u << 20;

    // Reads the whole file, or the archive member standing for it, into memory (kReadTooLarge past
    // kMaxReadSize, before anything is allocated); a relative name that
    // is not found is tried in each registered search folder. The archive search climbs only while the
    // folder above is a proper prefix of the name.
    int Read(const ZTL::string& name) override;
    // Read without the search folders.
    int ReadFromDiskOrPack(const ZTL::string& name);
    // Takes a block the caller keeps alive and owns as the content (nothing copied, never freed
    // here): kReadOk, or kReadNullBlock for a null block of non-zero size.
    int ReadFromMemory(const void* data, std::uint32_t size);
    ZTL::string GetName() override { return m_name; }
    ZTL::string GetFileNamePart() override { return GetFileNamePart(m_name); }
    ZTL::string GetNameSuffix() override { return GetSuffix(m_name); }
    // The content, past the 4-byte tag of the scrambled form.
    void* GetMemory() override;
    std::uint32_t GetSize() override;
    // The next line without its CR LF (a lone CR or LF is data): 0 a line, 1 at the end, 3 nothing
    // loaded (the line emptied on 1 and 3).
    int ReadLineString(ZTL::string& line) override;
    // As ReadLineString into at most capacity - 1 bytes and a NUL: 2 once the buffer is full, even when
    // the line ends right there (the line, or its empty end, goes on at the next call).
    int ReadLine(char* buffer, int capacity) override;
    // The next text between double quotes, possibly over several lines joined by LF, into a buffer of
    // `workSize` bytes: 0 ok, 1 at the end or at the line "END" in quotes, 2 the text did not fit (the
    // buffer holds its start and the whole quoted text is consumed).
    int ReadQuotedText(char* buffer, std::int32_t workSize) override;
    void* Rewind() override;
    // 0 copied, 1 fewer than `count` bytes left (nothing copied), 2 nothing loaded.
    int ReadBytes(void* destination, std::uint32_t count) override;
    int Save(const ZTL::string& name) override;
    // Turns the content into the tagged, scrambled form: 0 done, 1 already tagged or nothing loaded.
    int Scramble() override;
    // 0 deleted, 1 failed, -1 empty name.
    int Delete(const ZTL::string& name) override;
    // Makes the name denote a disk file holding the content: 0 ok, 1 nothing loaded, 2 no temporary
    // file. A plain disk file serves itself unless `force` is set.
    int ToTemporaryFile(bool force) override;
    int CreateTemporary(bool force) { return ToTemporaryFile(force); }
    // Read, then the content copied: the results of Read, kReadNoMemory when the copy cannot be made.
    int ReadToVector(const ZTL::string& name, std::vector<std::uint8_t>& content) override;
    // The strings one after another, no line breaks added: 0 ok, -1 no host form, 1 cannot create,
    // 2 write failed.
    int WriteLines(const ZTL::string& name, const std::vector<ZTL::string>& lines) override;
    int WriteFromVector(const ZTL::string& name, const std::vector<std::uint8_t>& content) override;

    // The full path for every open, create and delete, `\` separated after a leading `/`. A path
    // starting with `\\` or `/` or holding a `:` is absolute; any other is taken against the current
    // folder, with leading "..\", ".\" and separators consumed.
    static ZTL::string ResolvePath(const ZTL::string& path);
    // Shortens a path to its folder: 0 changed, 1 already at the top.
    static int ToParentFolder(ZTL::string& path);
    static ZTL::string GetSuffix(const ZTL::string& path);
    static ZTL::string GetFileNamePart(const ZTL::string& path);
    static ZTL::string GetCurrentFolder();
    static void SetCurrentFolder(const ZTL::string& folder);
    // A new empty file "ZLV..." in the temporary folder: 0, or 2 when it cannot be made.
    static int MakeTempFileName(ZTL::string& name);
    // Folders where Read and Open look for a relative name that is not found as given.
    static void AddSearchFolder(const ZTL::string& folder);
    static void ClearSearchFolders();

private:
    int ReadPlainOrMember(const ZTL::string& path);
    std::uint8_t* ContentEnd() const { return m_memory + m_size; }
    bool HasContent() const { return m_memory != nullptr || m_memoryBacked; }

    std::FILE* m_stream = nullptr;
    std::uint8_t* m_memory = nullptr;
    std::uint32_t m_size = 0;
    std::uint8_t* m_readPosition = nullptr;
    ZTL::string m_name;
    bool m_descrambled = false;
    bool m_temporaryFile = false;
    bool m_fromArchive = false;
    bool m_memoryBacked = false;
};

// Lower-cases single-byte letters in place, leaving both bytes of double-byte characters alone.
void StringToLower(ZTL::string& text);

} // namespace zelvoranGameSDK3rd::Auxiliary
