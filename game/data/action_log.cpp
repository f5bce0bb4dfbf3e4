#include "game/data/action_log.h"

#include "game/data/appending_file.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"
#include "platform/host/file.h"
#include "platform/host/little_endian.h"
#include "sdk/auxiliary/file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr std::uint8_t kMagic[4] = {'q', 'r', 'l', 's'};
constexpr std::size_t kTextWords = 4;
constexpr std::size_t kTextBytes = kTextWords * 4;
// Buffered words beyond which WriteCommand compacts.
constexpr std::size_t kCompactAbove = 256;

std::uint32_t KindOf(std::uint32_t word)
{
    return word & 0xFF;
}

std::int32_t ArgumentOf(std::uint32_t word)
{
    return std::int32_t((word >> 8) & 0xFFFF);
}

// Words a command takes, by the kind of its first word.
std::size_t CommandLength(std::uint32_t word)
{
    switch (KindOf(word)) {
    case 4:
        return 1 + kTextWords;
    case 8:
        return 2;
    default:
        return 1;
    }
}

// The running sum after one more word: its four bytes added, cut to 16 bits.
std::uint32_t AddToSum(std::uint32_t sum, std::uint32_t word)
{
    sum += (word & 0xFF) + ((word >> 8) & 0xFF) + ((word >> 16) & 0xFF) + (word >> 24);
    return sum & 0xFFFF;
}

void AppendLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        bytes.push_back(std::uint8_t(value >> (8 * i)));
}

// The 16-byte text block of a kind-4 command as four words: the text and its terminating zero, the
// rest 0x01; a text of 16 bytes or more fills the block without a terminator.
std::array<std::uint32_t, kTextWords> EncodeText(const char* text, std::size_t length)
{
    std::array<std::uint8_t, kTextBytes> block;
    block.fill(0x01);
    const std::size_t copied = length < kTextBytes ? length : kTextBytes;
    std::memcpy(block.data(), text, copied);
    if (copied < kTextBytes) block[copied] = 0;
    std::array<std::uint32_t, kTextWords> words;
    for (std::size_t i = 0; i < kTextWords; ++i)
        words[i] = platform::ReadU32(block.data() + 4 * i);
    return words;
}

constexpr std::size_t kHeaderBytes = 12;

// The sum of the word's four bytes.
std::uint32_t ByteSum(std::uint32_t word)
{
    return AddToSum(0, word);
}

// Whether the chunk at `at` (the running sum before it `sum`), all there but not checking, is one that
// zeros from `zerosFrom` to the end of the file explain: they begin inside it, and what is left of its
// sum before them is right.
bool ZerosTearChunk(std::span<const std::uint8_t> file, std::size_t at, std::uint32_t sum,
                    std::size_t zerosFrom)
{
    const std::size_t count = platform::ReadU16(file.data() + at);
    const std::size_t end = at + 4 + 4 * count;
    if (zerosFrom >= end) return false;
    if (zerosFrom + 1 < end) return true; // the whole sum is zeros: nothing of the chunk is left to check
    for (std::size_t i = 0; i < count; ++i)
        sum = AddToSum(sum, platform::ReadU32(file.data() + at + 2 + 4 * i));
    return (sum & 0xFF) == file[end - 2];
}

// Whether the bytes from `at` on, where no whole chunk reads, are the torn tail of an append (the running
// sum before them `sum`). An append writes whole chunks at the end of the file, so its torn tail is a
// beginning of one chunk, shorter than that chunk (a write cut short), or the chunks from the one in
// which zeros begin that last to the end of the file (a file system that kept the length of appends
// it lost, in part or whole, without an fsync). A count that a damaged byte made larger looks short
// too; it shows itself by the chunk's true end inside it: the running sum stored where the true count
// ends, followed by the end of the file, zeros or a whole chunk.
bool IsTornTail(std::span<const std::uint8_t> file, std::size_t at, std::uint32_t sum)
{
    const auto nonZero =
        std::find_if(file.rbegin(), file.rend(), [](std::uint8_t byte) { return byte != 0; });
    const std::size_t zerosFrom = std::size_t(file.rend() - nonZero);
    if (zerosFrom <= at || file.size() - at < 2) return true;
    const std::span<const std::uint8_t> tail = file.subspan(at);
    const std::size_t count = platform::ReadU16(tail.data());
    // All there, yet it does not check: damaged, unless zeros begin inside it.
    if (tail.size() >= 4 && (tail.size() - 4) / 4 >= count && !ZerosTearChunk(file, at, sum, zerosFrom))
        return false;

    // The byte sums of the tail's first k words (the words a chunk here would hold, and those after).
    const std::size_t words = (tail.size() - 2) / 4;
    std::vector<std::uint32_t> sums(words + 1, 0);
    for (std::size_t k = 0; k < words; ++k)
        sums[k + 1] = sums[k] + ByteSum(platform::ReadU32(tail.data() + 2 + 4 * k));
    for (std::size_t taken = 1; 4 + 4 * taken <= tail.size(); ++taken) {
        const std::uint32_t after = (sum + sums[taken]) & 0xFFFF;
        if (platform::ReadU16(tail.data() + 2 + 4 * taken) != after) continue;
        const std::size_t end = at + 4 + 4 * taken;
        if (end >= zerosFrom) return false;
        // The next chunk's words are the tail's words from taken + 1 on.
        const std::size_t next = file.size() - end >= 2 ? platform::ReadU16(file.data() + end) : 0;
        if (file.size() - end < 4 || (file.size() - end - 4) / 4 < next) continue;
        const std::uint32_t nextSum = (after + sums[taken + 1 + next] - sums[taken + 1]) & 0xFFFF;
        if (platform::ReadU16(file.data() + end + 2 + 4 * next) == nextSum) return false;
    }
    return true;
}

// The chunks of an ".act" file from `position` (after its header): their words and the running sum
// after them, and where they end. Chunks are read while `position` is below byteLimit.
struct SChunks
{
    std::vector<std::uint32_t> words;
    std::uint32_t sum = 0;
    std::size_t end = 0;
};
int ReadChunks(std::span<const std::uint8_t> file, std::size_t position, std::size_t byteLimit, SChunks& out)
{
    out = SChunks();
    for (; position < byteLimit && position < file.size();) {
        const std::size_t left = file.size() - position;
        const std::size_t count = left >= 2 ? platform::ReadU16(file.data() + position) : 0;
        if (left < 4 || (left - 4) / 4 < count) {
            if (!IsTornTail(file, position, out.sum)) return kActionFileSumWrong;
            break;
        }
        // A kind-4 word's text must lie within the count.
        const std::uint8_t* chunk = file.data() + position + 2;
        for (std::size_t i = 0; i < count; ++i) {
            if (KindOf(platform::ReadU32(chunk + 4 * i)) != 4) continue;
            if (count - i <= kTextWords) return kActionFileWordMissing;
            i += kTextWords;
        }
        std::uint32_t sum = out.sum;
        for (std::size_t i = 0; i < count; ++i)
            sum = AddToSum(sum, platform::ReadU32(chunk + 4 * i));
        if (platform::ReadU16(chunk + 4 * count) != sum) {
            if (!IsTornTail(file, position, out.sum)) return kActionFileSumWrong;
            break;
        }
        for (std::size_t i = 0; i < count; ++i)
            out.words.push_back(platform::ReadU32(chunk + 4 * i));
        out.sum = sum;
        position += 4 + 4 * count;
    }
    out.end = position;
    return kActionFileRead;
}

// The length of an ".act" file's header and the whole chunks after it: where an append cut short began.
// A file whose header is not whole, or whose chunks do not read, is kept as it is.
std::size_t WholeChunksLength(std::span<const std::uint8_t> file)
{
    SChunks chunks;
    if (file.size() < kHeaderBytes || ReadChunks(file, kHeaderBytes, kNoByteLimit, chunks) != kActionFileRead)
        return file.size();
    return chunks.end;
}

} // namespace

ZTL::string MakeSlotFilePath(std::int32_t userNumber, std::int32_t runNumber)
{
    char name[32];
    std::snprintf(name, sizeof name, "\\%04d%04d", userNumber, runNumber);
    return GetUserFolder(g_globalData, false) + name;
}

void CompactActionLog(std::vector<std::uint32_t>& words, SCompaction& state)
{
    // Once walked, the buffer holds at most one command of each of the three kinds, so walking only
    // the words added since gives what a walk of the whole buffer gives.
    std::size_t position = state.walked;
    for (; position < words.size(); position += CommandLength(words[position])) {
        const std::ptrdiff_t at = std::ptrdiff_t(position);
        switch (KindOf(words[position])) {
        case 2:
            if (state.lastKind2 >= 0) words[std::size_t(state.lastKind2)] = 0;
            state.lastKind2 = at;
            break;
        case 3:
            if (state.firstKind3 >= 0)
                words[position] = 0;
            else
                state.firstKind3 = at;
            break;
        case 10:
            if (state.lastKind10 >= 0) words[std::size_t(state.lastKind10)] = 0;
            state.lastKind10 = at;
            break;
        default:
            break;
        }
    }
    state.walked = position;
}

void CActionLog::Reset()
{
    // Swapping with fresh objects releases the storage too.
    CActionLog fresh;
    std::swap(*this, fresh);
}

void CActionLog::ClearWordBuffer()
{
    m_words.clear();
    m_compaction = SCompaction();
}

void CActionLog::WriteCommand(const SPlayerCommand& command)
{
    const std::int32_t kind = command.kind;
    if (kind < 0 || kind > 15) return;
    const std::uint32_t k = std::uint32_t(kind);
    const std::uint32_t arg1 = std::uint32_t(command.arg1);
    const std::uint32_t arg2 = std::uint32_t(command.arg2);
    const std::uint32_t arg3 = std::uint32_t(command.arg3);
    switch (kind) {
    case 2:
    case 5:
    case 6:
    case 7:
        m_words.push_back(arg1 << 8 | k);
        break;
    case 4: {
        const char* text = command.text.c_str();
        const std::size_t length = std::strlen(text);
        if (command.arg2 > 0xFFFF || length > kTextBytes + 1) return;
        m_words.push_back(arg2 << 8 | k);
        for (std::uint32_t word : EncodeText(text, length))
            m_words.push_back(word);
        break;
    }
    case 8:
        m_words.push_back(arg3 << 24 | (arg2 & 0xFFFF) << 8 | k);
        m_words.push_back(arg1 << 8 | k);
        break;
    case 10:
    case 11:
    case 13:
        m_words.push_back(arg2 << 8 | k);
        break;
    case 12:
        m_words.push_back(arg3 << 8 | k);
        break;
    default: // 0, 1, 3, 9, 14, 15
        m_words.push_back(k);
        break;
    }
    if (m_words.size() > kCompactAbove) CompactActionLog(m_words, m_compaction);
}

int CActionLog::AppendToFile()
{
    if (m_writeFileName.empty()) return kAppendNoFileName;
    if (m_words.empty()) return kAppendNothingBuffered;
    if (m_held) {
        const std::vector<std::uint8_t> chunks = EncodeChunks(m_sum);
        m_heldFile.insert(m_heldFile.end(), chunks.begin(), chunks.end());
        ClearWordBuffer();
        return kAppendHeld;
    }
    const int result = WriteBufferedWords();
    if (result == kAppended) {
        m_failureShown = false;
    } else if (!m_failureShown) {
        // A disk that stays full refuses every turn's append: the player hears of it once.
        m_failureShown = true;
        ShowErrorBox(kSaveFailedMessage);
    }
    return result;
}

std::vector<std::uint8_t> CActionLog::EncodeChunks(std::uint32_t& sum)
{
    CompactActionLog(m_words, m_compaction);

    // The new chunks, each closed by the running sum: a reader takes the file up to its last whole one.
    std::vector<std::uint8_t> chunks;
    std::size_t begin = 0;
    while (begin < m_words.size()) {
        // As many whole commands as one count can hold (a command is at most five words).
        std::size_t end = begin;
        while (end < m_words.size() && end + CommandLength(m_words[end]) - begin <= kMaxChunkWords)
            end += CommandLength(m_words[end]);
        end = std::min(end, m_words.size());
        AppendLittleEndian(chunks, std::uint32_t(end - begin), 2);
        for (std::size_t i = begin; i < end; ++i) {
            AppendLittleEndian(chunks, m_words[i], 4);
            sum = AddToSum(sum, m_words[i]);
        }
        AppendLittleEndian(chunks, sum, 2);
        begin = end;
    }
    return chunks;
}

int CActionLog::WriteBufferedWords()
{
    // The buffer and the sum stay as they are until the write is known to have worked.
    std::uint32_t sum = m_sum;
    const std::vector<std::uint8_t> chunks = EncodeChunks(sum);

    // A turn adds its chunks at the end of the file with one write, so its cost does not grow with the
    // log. That is only safe while the file is exactly what this log last left there.
    if (m_fileLength >= 0) {
        CAppendingFile appending;
        if (appending.Open(m_writeFileName) && appending.GetInitialLength() == std::uint64_t(m_fileLength)) {
            if (!appending.Write(chunks.data(), chunks.size())) return kAppendCannotOpen;
            m_fileLength += std::int64_t(chunks.size());
            m_sum = sum;
            ClearWordBuffer();
            return kAppended;
        }
    }

    // Otherwise (the first append after a resume, or after a failed write left a torn tail) the file is
    // rewritten whole through a temporary file: what this log wrote last, or else its whole chunks, with
    // the new chunks after them. A missing file is begun, as opening it for appending would.
    Auxiliary::CFile file;
    std::vector<std::uint8_t> bytes;
    const int read = file.ReadToVector(m_writeFileName, bytes);
    if (read != Auxiliary::CFile::kReadOk && read != Auxiliary::CFile::kReadNotFound)
        return kAppendCannotOpen;
    if (read != Auxiliary::CFile::kReadOk) bytes.clear();
    const std::size_t keep =
        m_fileLength >= 0 ? std::min(bytes.size(), std::size_t(m_fileLength)) : WholeChunksLength(bytes);
    bytes.resize(keep);
    bytes.insert(bytes.end(), chunks.begin(), chunks.end());
    if (file.Write(m_writeFileName, bytes.data(), std::uint32_t(bytes.size())) != 0) return kAppendCannotOpen;
    m_fileLength = std::int64_t(bytes.size());
    m_sum = sum;
    ClearWordBuffer();
    return kAppended;
}

std::vector<std::uint8_t> CActionLog::MakeFloorLogRecord() const
{
    std::vector<std::uint8_t> log;
    Auxiliary::CFile file;
    if (m_held)
        log = m_heldFile;
    else if (file.ReadToVector(m_writeFileName, log) != Auxiliary::CFile::kReadOk)
        log.clear();
    std::vector<std::uint8_t> record;
    AppendLittleEndian(record, std::uint32_t(log.size()), 4);
    record.insert(record.end(), log.begin(), log.end());
    return record;
}

int CActionLog::AppendFloorLog() const
{
    if (m_writeFileName.empty()) return kFloorLogNoFileName;
    constexpr std::size_t kSuffix = 4; // ".act"
    const std::size_t stem = m_writeFileName.size() >= kSuffix ? m_writeFileName.size() - kSuffix : 0;
    // The length and the log in one write, so that a kill leaves the record whole or not there at all.
    switch (AppendWorkRecord(m_writeFileName.substr(0, stem), MakeFloorLogRecord(), nullptr)) {
    case kWorkRecordAppended:
        return kFloorLogAppended;
    case kWorkRecordShort:
        return kFloorLogShort;
    default:
        return kFloorLogCannotOpen;
    }
}

std::vector<std::uint8_t> CActionLog::BeginLog(std::int32_t userNumber, std::int32_t runNumber,
                                               std::int32_t floor, const SPlayerCommand* first)
{
    SetFileName(userNumber, runNumber);
    std::vector<std::uint8_t> bytes(kMagic, kMagic + 4);
    AppendLittleEndian(bytes, std::uint32_t(userNumber), 4);
    AppendLittleEndian(bytes, std::uint32_t(floor), 4);
    m_sum = 0;
    ClearWordBuffer();
    if (first != nullptr) {
        WriteCommand(*first);
        const std::vector<std::uint8_t> chunks = EncodeChunks(m_sum);
        bytes.insert(bytes.end(), chunks.begin(), chunks.end());
        ClearWordBuffer();
    }
    m_logging = 1;
    return bytes;
}

int CActionLog::SaveSuspendData(std::int32_t userNumber, std::int32_t runNumber, std::int32_t floor,
                                const SPlayerCommand* first)
{
    std::vector<std::uint8_t> bytes = BeginLog(userNumber, runNumber, floor, first);
    Auxiliary::CFile file;
    if (file.Write(m_writeFileName, bytes.data(), std::uint32_t(bytes.size())) != 0) {
        m_held = true;
        m_heldFile = std::move(bytes);
        ShowErrorBox("セーブデータに保存できません");
        return 1;
    }
    m_fileLength = std::int64_t(bytes.size());
    return 0;
}

void CActionLog::HoldNewLog(std::int32_t userNumber, std::int32_t runNumber, std::int32_t floor,
                            const SPlayerCommand* first)
{
    m_heldFile = BeginLog(userNumber, runNumber, floor, first);
    m_held = true;
}

void CActionLog::Hold()
{
    if (m_held) return;
    // The file as this log left it, or its whole chunks when that is not known.
    Auxiliary::CFile file;
    std::vector<std::uint8_t> bytes;
    if (file.ReadToVector(m_writeFileName, bytes) != Auxiliary::CFile::kReadOk) bytes.clear();
    bytes.resize(m_fileLength >= 0 ? std::min(bytes.size(), std::size_t(m_fileLength))
                                   : WholeChunksLength(bytes));
    m_heldFile = std::move(bytes);
    m_held = true;
}

int CActionLog::WriteHeldLog()
{
    if (!m_held) return 0;
    if (m_writeFileName.empty()) return 1;
    Auxiliary::CFile file;
    if (file.Write(m_writeFileName, m_heldFile.data(), std::uint32_t(m_heldFile.size())) != 0) return 1;
    m_fileLength = std::int64_t(m_heldFile.size());
    m_heldFile.clear();
    m_held = false;
    return 0;
}

bool CActionLog::Flush()
{
    if (m_writeFileName.empty()) return true;
    if (m_held) {
        if (!m_words.empty()) AppendToFile();
        return true;
    }
    if (!m_words.empty() && WriteBufferedWords() != kAppended) return false;
    // The appends are not flushed one by one; the guard about to name them must never outlive them.
    const ZTL::string host = Auxiliary::CFile::ResolvePath(m_writeFileName);
    platform::SyncFile(std::string_view(host.c_str(), host.size()));
    return true;
}

std::int32_t CActionLog::ReadLoggedFloor(std::int32_t userNumber, std::int32_t runNumber)
{
    CActionLog scratch;
    scratch.SetReadFileName(userNumber, runNumber);
    Auxiliary::CFile file;
    std::vector<std::uint8_t> bytes;
    constexpr std::size_t kFloorOffset = 8;
    if (file.ReadToVector(scratch.m_readFileName, bytes) != Auxiliary::CFile::kReadOk ||
        bytes.size() < kFloorOffset + 4)
        return -1;
    const std::int32_t floor = std::int32_t(platform::ReadU32(bytes.data() + kFloorOffset));
    return ReadActionFile(scratch, userNumber, floor, bytes) == kActionFileRead ? floor : -1;
}

int CActionLog::LoadSuspendData(std::int32_t userNumber, std::int32_t runNumber, std::int32_t floor)
{
    SetReadFileName(userNumber, runNumber);
    Auxiliary::CFile file;
    std::vector<std::uint8_t> bytes;
    if (file.ReadToVector(m_readFileName, bytes) == Auxiliary::CFile::kReadOk &&
        ReadActionFile(*this, userNumber, floor, bytes) == kActionFileRead) {
        m_logging = 1;
        return 0;
    }
    ShowErrorBox("中断データが読み込めませんでした");
    m_readWords.clear();
    m_logging = 0;
    return 1;
}

std::int32_t CActionLog::PeekKind() const
{
    if (std::size_t(m_readIndex) >= m_readWords.size()) return -1;
    return std::int32_t(KindOf(m_readWords[std::size_t(m_readIndex)]));
}

std::int32_t CActionLog::TakeArgument()
{
    if (std::size_t(m_readIndex) >= m_readWords.size()) return 0;
    return ArgumentOf(m_readWords[std::size_t(m_readIndex++)]);
}

void CActionLog::TakeArgumentAndTopByte(std::int32_t& argument, std::int32_t& topByte)
{
    if (std::size_t(m_readIndex) >= m_readWords.size()) return;
    const std::uint32_t word = m_readWords[std::size_t(m_readIndex++)];
    argument = ArgumentOf(word);
    topByte = std::int32_t(word >> 24);
}

void CActionLog::ReadCommand(SPlayerCommand& command)
{
    command.Reset();
    command.kind = PeekKind();
    switch (command.kind) {
    case -1:
        return;
    case 2:
    case 5:
    case 6:
    case 7:
        command.arg1 = TakeArgument();
        return;
    case 4: {
        command.arg2 = TakeArgument();
        char text[kTextBytes + 1] = {};
        for (std::size_t i = 0; i < kTextWords && std::size_t(m_readIndex) < m_readWords.size(); ++i)
            platform::WriteU32(reinterpret_cast<std::uint8_t*>(text) + 4 * i,
                               m_readWords[std::size_t(m_readIndex++)]);
        command.text = text;
        return;
    }
    case 8:
        TakeArgumentAndTopByte(command.arg2, command.arg3);
        command.arg1 = TakeArgument();
        return;
    case 10:
    case 11:
    case 13:
        command.arg2 = TakeArgument();
        return;
    case 12:
        command.arg3 = TakeArgument();
        return;
    default: // no arguments, kinds above 15 included
        ++m_readIndex;
        return;
    }
}

void CActionLog::SetFileName(std::int32_t userNumber, std::int32_t runNumber)
{
    m_writeFileName = MakeSlotFilePath(userNumber, runNumber) + ".act";
    m_fileLength = -1;
    m_held = false;
    m_heldFile.clear();
}

void CActionLog::SetReadFileName(std::int32_t userNumber, std::int32_t runNumber)
{
    m_readFileName = MakeSlotFilePath(userNumber, runNumber) + ".act";
}

int CActionLog::DeleteFile()
{
    if (m_writeFileName.empty()) return 1;
    Auxiliary::CFile file;
    file.Delete(m_writeFileName);
    m_writeFileName = ZTL::string();
    m_fileLength = -1;
    m_held = false;
    m_heldFile.clear();
    return 0;
}

bool IsWholeActionFile(std::span<const std::uint8_t> file)
{
    SChunks chunks;
    return file.size() >= kHeaderBytes && std::memcmp(file.data(), kMagic, 4) == 0 &&
           ReadChunks(file, kHeaderBytes, kNoByteLimit, chunks) == kActionFileRead &&
           chunks.end == file.size();
}

int ReadActionFile(CActionLog& log, std::int32_t userNumber, std::int32_t floor,
                   std::span<const std::uint8_t> file, std::size_t byteLimit)
{
    std::size_t position = 0;
    // Takes `size` bytes (2 or 4) as a little-endian value; false when fewer are left.
    const auto take = [&](std::size_t size, std::uint32_t& value) {
        if (file.size() - position < size) return false;
        value =
            size == 2 ? platform::ReadU16(file.data() + position) : platform::ReadU32(file.data() + position);
        position += size;
        return true;
    };

    std::uint32_t value = 0;
    if (file.size() < 4 || std::memcmp(file.data(), kMagic, 4) != 0) return kActionFileBadMagic;
    position = 4;
    if (!take(4, value) || std::int32_t(value) != userNumber) return kActionFileOtherUser;
    if (!take(4, value) || std::int32_t(value) != floor) return kActionFileOtherFloor;

    // A limit of the header's size or less reads no chunk.
    SChunks chunks;
    const int read = ReadChunks(file, position, byteLimit, chunks);
    if (read != kActionFileRead) return read;
    log.m_readWords = std::move(chunks.words);
    log.m_sum = chunks.sum;
    log.m_readIndex = 0;
    return kActionFileRead;
}
