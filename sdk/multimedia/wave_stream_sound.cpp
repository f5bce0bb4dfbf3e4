#include "sdk/multimedia/wave_stream_sound.h"

#include "sdk/auxiliary/text_output_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

constexpr std::uint32_t kRefillSleepMs = 20;

void Report(const char* message)
{
    Auxiliary::GetErrorStream().Out("%s", message);
}

} // namespace

CWaveStreamSound::CWaveStreamSound(IWaveOutput* waveOutput)
    : m_buffer(new CNullSoundBuffer), m_stream(new CNullSoundStream), m_waveOutput(waveOutput)
{
    m_waveOutput->AddSound(this);
}

CWaveStreamSound::~CWaveStreamSound()
{
    Close();
    m_waveOutput->RemoveSound(this);
}

// ---- Opening and closing. Both end the refill thread first, so the stream changes under nobody.

int CWaveStreamSound::Open(const string& fileName)
{
    return Load(fileName);
}

int CWaveStreamSound::Load(const string& fileName)
{
    Close();
    m_fileName = string();
    if (fileName.empty()) return 0;
    m_stream = m_waveOutput->GetSoundParameter()->GetStreamFactory()->Open(fileName);
    const WAVEFORMATEX* format = m_stream->GetFormat();
    m_blockSize = format != nullptr ? format->nAvgBytesPerSec : 0;
    m_fileName = fileName;
    m_totalBytes = int(std::int64_t(m_stream->GetLength()) * std::int64_t(m_blockSize) / 1000);
    SetCurrentPos(0);
    return 0;
}

int CWaveStreamSound::Close()
{
    return Release();
}

int CWaveStreamSound::Release()
{
    Halt();
    Thread::CLockGuard guard(m_lock);
    m_buffer = ZTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
    m_fileName = string();
    return 0;
}

void CWaveStreamSound::Halt()
{
    const bool active = IsPlay() || IsPaused();
    StopAndWait();
    if (active) StopBuffer();
}

bool CWaveStreamSound::IsPaused() const
{
    Thread::CLockGuard guard(m_lock);
    return m_pauseCount != 0;
}

// ---- Playing.

int CWaveStreamSound::Play()
{
    if (IsPlay() || IsPaused()) Halt();
    {
        Thread::CLockGuard guard(m_lock);
        m_pauseCount = 0;
    }
    if (InitBuffer() != 0) {
        Stop();
        return 1;
    }
    if (GetBuffer()->Play(true) != 0) {
        Report("CWaveStreamSound::InitBuffer GetBuffer()->Play()に失敗！");
        Stop();
        return 2;
    }
    if (Start() != 0) {
        Report("CWaveStreamSound::InitBuffer CreateThread()に失敗！");
        Stop();
        return 3;
    }
    return 0;
}

int CWaveStreamSound::InitBuffer()
{
    Thread::CLockGuard guard(m_lock);
    if (m_fileName.empty() || m_blockSize == 0) {
        Report("CWaveStreamSound::InitBuffer ファイルが読み込めてない");
        return 1;
    }
    const WAVEFORMATEX* format = m_stream->GetFormat();
    if (format == nullptr) {
        Report("CWaveStreamSound::InitBuffer GetStream()->GetFormat()==NULL");
        return 2;
    }
    m_buffer = m_waveOutput->CreateBuffer();
    if (m_buffer->Create(format, RingSize(), true, m_waveOutput->GetSoundParameter().get()) != 0) {
        Report("CWaveStreamSound::InitBuffer サウンドバッファの作成に失敗！");
        return 3;
    }
    m_lastWriteCursor = m_writeOffset = m_carry = m_lastPlayCursor = 0;
    m_buffer->SetCurrentPosition(0);
    m_buffer->SetVolume(m_volume);
    const std::uint32_t firstFill = FirstFillSize();
    void* part = nullptr;
    std::uint32_t size = 0;
    if (m_buffer->Lock(m_writeOffset, firstFill, &part, &size, nullptr, nullptr) != 0) {
        Report("CWaveStreamSound::InitBuffer GetBuffer()->Lock()に失敗！");
        return 4;
    }
    const std::uint32_t read = m_stream->Read(part, size);
    if (read > size) {
        Report("CWaveStreamSound::InitBuffer GetStream()->Read()に失敗！");
        m_buffer->Unlock(part, size, nullptr, 0);
        return 5;
    }
    if (m_buffer->Unlock(part, size, nullptr, 0) != 0) {
        Report("CWaveStreamSound::InitBuffer GetBuffer()->Unlock()に失敗！");
        return 6;
    }
    m_writeOffset += read;
    if (read < firstFill) m_carry = firstFill - read;
    return 0;
}

int CWaveStreamSound::StopBuffer()
{
    Thread::CLockGuard guard(m_lock);
    const int r = m_buffer->Stop();
    m_buffer->SetCurrentPosition(0);
    if (m_stream) m_stream->SetCurrentPos(0);
    m_playedBytes = 0;
    m_pauseCount = 0;
    return r;
}

int CWaveStreamSound::Stop()
{
    {
        Thread::CLockGuard guard(m_lock);
        if (m_pauseCount != 0) return 0;
    }
    StopAndWait();
    return StopBuffer();
}

int CWaveStreamSound::Pause()
{
    Thread::CLockGuard guard(m_lock);
    if (m_pauseCount > 0) ++m_pauseCount;
    if (m_buffer->GetStatus() != ISoundBuffer::kStatusPlaying) return 0;
    // The refill thread keeps running and finds the cursors still.
    m_pauseCount = 1;
    return m_buffer->Stop();
}

int CWaveStreamSound::Replay()
{
    Thread::CLockGuard guard(m_lock);
    if (m_pauseCount == 0) return 0;
    if (--m_pauseCount == 0) return m_buffer->Play(true);
    return 0;
}

bool CWaveStreamSound::IsPlay()
{
    Thread::CLockGuard guard(m_lock);
    return m_buffer->GetStatus() == ISoundBuffer::kStatusPlaying;
}

int CWaveStreamSound::SetLoopPlay(bool loop)
{
    Thread::CLockGuard guard(m_lock);
    m_loop = loop;
    return 0;
}

bool CWaveStreamSound::IsLoopPlay()
{
    Thread::CLockGuard guard(m_lock);
    return m_loop;
}

int CWaveStreamSound::SetCurrentPos(int milliseconds)
{
    std::uint32_t blockSize;
    {
        Thread::CLockGuard guard(m_lock);
        blockSize = m_blockSize;
    }
    if (blockSize == 0) return 1;
    const bool wasPlaying = IsPlay();
    Halt();
    m_stream->SetCurrentPos(milliseconds);
    {
        Thread::CLockGuard guard(m_lock);
        m_playedBytes =
            std::uint32_t(std::uint64_t(std::int64_t(milliseconds) * std::int64_t(blockSize)) / 1000);
    }
    return wasPlaying ? Play() : 0;
}

int CWaveStreamSound::GetCurrentPos()
{
    Thread::CLockGuard guard(m_lock);
    if (m_blockSize == 0) return -1;
    return int(std::uint64_t(m_playedBytes) * 1000 / m_blockSize);
}

int CWaveStreamSound::GetLength()
{
    Thread::CLockGuard guard(m_lock);
    return m_stream->GetLength();
}

int CWaveStreamSound::SetVolume(int volume)
{
    Thread::CLockGuard guard(m_lock);
    m_volume = volume;
    return m_buffer->SetVolume(volume);
}

int CWaveStreamSound::GetVolume()
{
    Thread::CLockGuard guard(m_lock);
    return m_volume;
}

string CWaveStreamSound::GetFileName()
{
    Thread::CLockGuard guard(m_lock);
    return m_fileName;
}

int CWaveStreamSound::Restore()
{
    int status;
    string name;
    {
        Thread::CLockGuard guard(m_lock);
        status = m_buffer->GetStatus();
        name = m_fileName;
    }
    if (name.empty() || status != ISoundBuffer::kStatusLost) return 0;
    const bool wasPlaying = IsPlay();
    Stop();
    Load(name);
    return wasPlaying ? Play() : 0;
}

ZTL::smart_ptr<ISoundBuffer> CWaveStreamSound::GetBuffer() const
{
    Thread::CLockGuard guard(m_lock);
    return m_buffer;
}

ZTL::smart_ptr<ISoundStream> CWaveStreamSound::GetStream() const
{
    Thread::CLockGuard guard(m_lock);
    return m_stream;
}

// ---- The refill thread.

void CWaveStreamSound::AddPlayed(std::uint32_t bytes)
{
    // A sound of no length has no position to move.
    m_playedBytes = m_totalBytes > 0
                        ? std::uint32_t((std::uint64_t(m_playedBytes) + bytes) % std::uint32_t(m_totalBytes))
                        : 0;
}

void CWaveStreamSound::TrackPlayCursor()
{
    Thread::CLockGuard guard(m_lock);
    std::uint32_t play = 0, write = 0;
    if (m_buffer->GetCurrentPosition(&play, &write) != 0) return;
    AddPlayed(play - m_lastPlayCursor + (play < m_lastPlayCursor ? RingSize() : 0));
    m_lastPlayCursor = play;
}

void CWaveStreamSound::ThreadProc()
{
    while (IsThreadValid()) {
        TrackPlayCursor();
        const int r = GetNextSoundData();
        if (r == 1) {
            if (!IsLoopPlay()) {
                Drain();
                return;
            }
            // The next fill goes on at the write offset with the start of the sound.
            m_stream->SetCurrentPos(0);
        } else if (r >= 2) {
            StopBuffer();
            return;
        }
    }
}

int CWaveStreamSound::GetNextSoundData()
{
    m_lock.Enter();
    const std::uint32_t ring = RingSize();
    std::uint32_t play = m_lastPlayCursor, write = m_lastWriteCursor;
    m_buffer->GetCurrentPosition(&play, &write);
    std::uint32_t space = write - m_lastWriteCursor + (write < m_lastWriteCursor ? ring : 0) + m_carry;
    // Nothing moved, or less than half a second is free: look again later from the same cursor.
    if (write == m_lastWriteCursor || space < m_blockSize / 2) {
        m_lock.Leave();
        InterruptibleSleep(kRefillSleepMs);
        return 0;
    }
    m_carry = 0;
    // A fill never passes the play cursor.
    if (m_writeOffset + space > ring) {
        const std::uint32_t tail = ring - m_writeOffset;
        if (space - tail > play) space = tail + play;
    } else if (m_writeOffset < play && play < m_writeOffset + space) {
        space = play - m_writeOffset;
    }
    space &= ~3u;
    m_lastWriteCursor = write;

    std::vector<std::uint8_t> data(space);
    const std::uint32_t read = m_stream->Read(data.data(), space);
    if (read == 0) {
        // Nothing was written: the whole space waits for the next fill.
        m_carry = space;
        m_lock.Leave();
        return 1;
    }
    if (read > space) {
        Report("CWaveStreamSound::GetNextSoundData GetStream()->Read()に失敗！");
        m_lock.Leave();
        return 2;
    }
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t size1 = 0, size2 = 0;
    if (m_buffer->Lock(m_writeOffset, space, &part1, &size1, &part2, &size2) != 0) {
        Report("CWaveStreamSound::GetNextSoundData GetBuffer()->Lock()に失敗！");
        m_lock.Leave();
        return 3;
    }
    // The locked bytes beyond what was read keep what they held.
    std::memcpy(part1, data.data(), std::min(read, size1));
    if (part2 != nullptr && read > size1)
        std::memcpy(part2, data.data() + size1, std::min(read - size1, size2));
    if (m_buffer->Unlock(part1, size1, part2, size2) != 0) {
        Report("CWaveStreamSound::GetNextSoundData GetBuffer()->Unlock()に失敗！");
        m_lock.Leave();
        return 4;
    }
    m_writeOffset = (m_writeOffset + read) % ring;
    if (read < space) m_carry = space - read;
    m_lock.Leave();
    return 0;
}

void CWaveStreamSound::Drain()
{
    const std::uint32_t ring = RingSize();
    std::uint32_t end;
    bool wrapPending;
    {
        Thread::CLockGuard guard(m_lock);
        end = m_writeOffset;
        std::uint32_t play = m_lastPlayCursor;
        m_buffer->GetCurrentPosition(&play, nullptr);
        // With the cursor at or after the end, it has to pass the ring's end before it reaches the end.
        wrapPending = play >= end;
        const std::uint32_t length = wrapPending ? play - end : ring - end;
        if (length != 0) {
            void* part = nullptr;
            std::uint32_t size = 0;
            if (m_buffer->Lock(end, length, &part, &size, nullptr, nullptr) != 0) {
                Report("CWaveStreamSound::ThreadProc GetBuffer()->Lock()に失敗！");
                StopBuffer();
                return;
            }
            std::memset(part, 0, size);
            if (m_buffer->Unlock(part, size, nullptr, 0) != 0) {
                Report("CWaveStreamSound::ThreadProc GetBuffer()->Unlock()に失敗！");
                StopBuffer();
                return;
            }
        }
    }
    while (IsThreadValid()) {
        m_lock.Enter();
        std::uint32_t play = m_lastPlayCursor;
        m_buffer->GetCurrentPosition(&play, nullptr);
        if (!wrapPending && play >= end) {
            // The last byte has been played.
            m_lock.Leave();
            StopBuffer();
            return;
        }
        if (play == m_lastPlayCursor) {
            m_lock.Leave();
            if (InterruptibleSleep(kRefillSleepMs) == 1) return;
            continue;
        }
        std::uint32_t advance = play - m_lastPlayCursor;
        if (play < m_lastPlayCursor) {
            advance += ring;
            wrapPending = false;
        }
        AddPlayed(advance);
        m_lastPlayCursor = play;
        m_lock.Leave();
    }
}

} // namespace zelvoranGameSDK3rd::Multimedia
