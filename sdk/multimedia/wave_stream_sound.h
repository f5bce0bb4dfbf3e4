#pragma once
// The wave sound that plays a file of any length through a buffer holding three seconds of it: the
// buffer plays looped as a ring, and a refill thread of the sound's own copies the next PCM from the
// stream into the part of the ring that has been played. A looped sound rewinds its stream when the data
// runs out, so its end joins its start without a gap; a sound that is not looped is padded with silence
// and stopped when its last byte has been played.

#include "sdk/multimedia/sound_buffer.h"
#include "sdk/thread/critical_section.h"
#include "sdk/thread/thread.h"

namespace zelvoranGameSDK3rd::Multimedia {

class CWaveStreamSound : public IWaveSound, public Thread::CThread
{
public:
    explicit CWaveStreamSound(IWaveOutput* waveOutput);
    CWaveStreamSound(const CWaveStreamSound&) = delete;
    CWaveStreamSound& operator=(const CWaveStreamSound&) = delete;
    ~CWaveStreamSound() override;

    // Opens the stream at 0; 0 even when no stream kind reads the file (Play then fails).
    int Open(const string& fileName) override;
    // Ends playing (a paused sound's too) and empties the buffer and the name; the stream stays.
    int Close() override;
    // From the stream's position (0 after Open or Stop): 0, 1 no buffer, 2 it does not play, 3 no thread.
    int Play() override;
    int Pause() override;
    int Replay() override;
    // A paused sound stays paused (0).
    int Stop() override;
    bool IsPlay() override;
    // The refill thread reads it when the data runs out: a change takes effect at the end of the pass.
    int SetLoopPlay(bool loop) override;
    bool IsLoopPlay() override;
    int SetCurrentPos(int milliseconds) override;
    int GetCurrentPos() override;
    int GetLength() override;
    // Kept for every new buffer.
    int SetVolume(int volume) override;
    int GetVolume() override;
    int GetType() override { return kSoundTypeWaveStream; }
    string GetFileName() override;
    // Opens the file again from its start when the buffer was lost.
    int Restore() override;

    ZTL::smart_ptr<ISoundBuffer> GetBuffer() const;
    ZTL::smart_ptr<ISoundStream> GetStream() const;

    // The refill thread.
    void ThreadProc() override;

private:
    int Load(const string& fileName);
    int Release();
    int InitBuffer();
    // One fill of the ring: 0 filled or nothing to do yet (after a 20 ms sleep), 1 the stream has no more
    // data, 2 to 4 the read, lock or unlock failed.
    int GetNextSoundData();
    int StopBuffer();
    // Moves the position on by what the play cursor passed since the last look.
    void TrackPlayCursor();
    // The data has run out and the sound is not looped: silence after it, then stop once it is played.
    void Drain();
    // Ends the refill thread and, when the sound plays or is paused, stops and rewinds it.
    void Halt();
    bool IsPaused() const;
    void AddPlayed(std::uint32_t bytes);
    std::uint32_t RingSize() const { return 3 * m_blockSize; }
    std::uint32_t FirstFillSize() const { return ((m_blockSize * 21) >> 3) & ~3u; }

    ZTL::smart_ptr<ISoundBuffer> m_buffer;
    ZTL::smart_ptr<ISoundStream> m_stream;
    // Guards the fields below, the buffer and the stream against the refill thread.
    mutable Thread::CCriticalSection m_lock;
    IWaveOutput* m_waveOutput;
    std::uint32_t m_playedBytes = 0; // bytes played since the start, modulo the length: the position
    std::uint32_t m_lastWriteCursor = 0;
    std::uint32_t m_writeOffset = 0; // where the next data goes in the ring: the end of the valid data
    std::uint32_t m_carry = 0;       // bytes the last fill asked for and the stream did not give
    std::uint32_t m_lastPlayCursor = 0;
    string m_fileName;
    int m_pauseCount = 0;
    bool m_loop = false;
    std::uint32_t m_blockSize = 0; // one second of the stream's bytes; 0 while nothing is open
    int m_totalBytes = 0;
    int m_volume = 0;
};

} // namespace zelvoranGameSDK3rd::Multimedia
