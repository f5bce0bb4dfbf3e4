#pragma once
// The buffer layer under the wave sounds: the sound parameter every wave sound reads, the buffers they
// fill and play, and the wave output that hands buffers out and brings static sounds back when the
// application becomes active again.

#include "sdk/multimedia/direct_sound.h"
#include "sdk/multimedia/sound.h"
#include "sdk/multimedia/sound_stream.h"
#include "sdk/window/win_hook.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>
#include <list>
#include <memory>

namespace zelvoranGameSDK3rd::Multimedia {

// The buffer options and the stream factory that the wave sounds of one sound factory share.
class CSoundParameter
{
public:
    // With a new stream factory of its own.
    CSoundParameter();
    virtual ~CSoundParameter() = default;
    // Secondary buffers keep playing while another application has the focus.
    virtual void SetGlobalFocus(bool globalFocus) { m_globalFocus = globalFocus; }
    virtual bool IsGlobalFocus() { return m_globalFocus; }
    // Secondary buffers accept pan changes.
    virtual void SetPanControl(bool panControl) { m_panControl = panControl; }
    virtual bool IsPanControl() { return m_panControl; }
    // Secondary buffers accept frequency changes.
    virtual void SetFrequencyControl(bool frequencyControl) { m_frequencyControl = frequencyControl; }
    virtual bool IsFrequencyControl() { return m_frequencyControl; }
    virtual void SetStreamFactory(const ZTL::smart_ptr<ISoundStreamFactory>& factory);
    virtual ZTL::smart_ptr<ISoundStreamFactory> GetStreamFactory() { return m_streamFactory; }

private:
    bool m_globalFocus = false;
    bool m_panControl = false;
    bool m_frequencyControl = false;
    ZTL::smart_ptr<ISoundStreamFactory> m_streamFactory;
};

// Results: 0 done, 1 no platform buffer, 2 the platform call failed, unless an operation says otherwise;
// a null buffer answers -1 to everything.
class ISoundBuffer
{
public:
    static constexpr int kStatusNone = 0;
    static constexpr int kStatusLost = 1;
    static constexpr int kStatusStopped = 2;
    static constexpr int kStatusPlaying = 3;

    virtual ~ISoundBuffer() = default;
    // 1 for a device's buffer, 0 for the null buffer.
    virtual int GetType() = 0;
    // Makes the platform buffer (a null parameter asks for no options): 0, 1 not made, 2 or 3 the
    // clearing lock or unlock failed.
    virtual int Create(const WAVEFORMATEX* format, std::uint32_t size, bool clear,
                       CSoundParameter* parameter) = 0;
    // A buffer over the same sound data.
    virtual ZTL::smart_ptr<ISoundBuffer> Duplicate() = 0;
    // kStatus values.
    virtual int GetStatus() = 0;
    virtual int SetFormat(const WAVEFORMATEX* format) = 0;
    // The 18 bytes of the format, without extra bytes.
    virtual int GetFormat(WAVEFORMATEX* format) = 0;
    virtual int SetCurrentPosition(std::uint32_t offset) = 0;
    virtual int GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) = 0;
    virtual int SetVolume(int volume) = 0;
    virtual int GetVolume(int* volume) = 0;
    virtual int SetPan(int pan) = 0;
    virtual int GetPan(int* pan) = 0;
    virtual int SetFrequency(std::uint32_t frequency) = 0;
    virtual int GetFrequency(std::uint32_t* frequency) = 0;
    // Two regions when the lock wraps; `part2` may be null for one that does not. A lost buffer is
    // restored and locked once more.
    virtual int Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1,
                     void** part2, std::uint32_t* size2) = 0;
    virtual int Unlock(void* part1, std::uint32_t size1, void* part2, std::uint32_t size2) = 0;
    // 0, 1 no platform buffer, 2 the buffer is lost, 3 another failure.
    virtual int Play(bool loop) = 0;
    virtual int Stop() = 0;
    virtual int Restore() = 0;
};

class CNullSoundBuffer : public ISoundBuffer
{
public:
    int GetType() override { return 0; }
    int Create(const WAVEFORMATEX*, std::uint32_t, bool, CSoundParameter*) override { return -1; }
    ZTL::smart_ptr<ISoundBuffer> Duplicate() override;
    int GetStatus() override { return -1; }
    int SetFormat(const WAVEFORMATEX*) override { return -1; }
    int GetFormat(WAVEFORMATEX*) override { return -1; }
    int SetCurrentPosition(std::uint32_t) override { return -1; }
    int GetCurrentPosition(std::uint32_t*, std::uint32_t*) override { return -1; }
    int SetVolume(int) override { return -1; }
    int GetVolume(int*) override { return -1; }
    int SetPan(int) override { return -1; }
    int GetPan(int*) override { return -1; }
    int SetFrequency(std::uint32_t) override { return -1; }
    int GetFrequency(std::uint32_t*) override { return -1; }
    int Lock(std::uint32_t, std::uint32_t, void**, std::uint32_t*, void**, std::uint32_t*) override
    {
        return -1;
    }
    int Unlock(void*, std::uint32_t, void*, std::uint32_t) override { return -1; }
    int Play(bool) override { return -1; }
    int Stop() override { return -1; }
    int Restore() override { return -1; }
};

// A buffer of the sound device; its two kinds make it.
class CDirectSoundBuffer : public ISoundBuffer
{
public:
    explicit CDirectSoundBuffer(CDirectSound* directSound) : m_directSound(directSound) {}
    int GetType() override { return 1; }
    int GetStatus() override;
    int SetFormat(const WAVEFORMATEX* format) override;
    int GetFormat(WAVEFORMATEX* format) override;
    int SetCurrentPosition(std::uint32_t offset) override;
    int GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) override;
    int SetVolume(int volume) override;
    int GetVolume(int* volume) override;
    int SetPan(int pan) override;
    int GetPan(int* pan) override;
    int SetFrequency(std::uint32_t frequency) override;
    int GetFrequency(std::uint32_t* frequency) override;
    int Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1, void** part2,
             std::uint32_t* size2) override;
    int Unlock(void* part1, std::uint32_t size1, void* part2, std::uint32_t size2) override;
    int Play(bool loop) override;
    int Stop() override;
    int Restore() override;

protected:
    // The device's buffer, made by Create.
    std::unique_ptr<platform::SoundBuffer> m_buffer;
    CDirectSound* m_directSound;
};

// The buffer that carries the output format.
class CDirectSoundPrimaryBuffer : public CDirectSoundBuffer
{
public:
    using CDirectSoundBuffer::CDirectSoundBuffer;
    // Takes no format and no size: 0 when the device gave the buffer, else 1.
    int Create(const WAVEFORMATEX* format, std::uint32_t size, bool clear,
               CSoundParameter* parameter) override;
    // Empty: the primary buffer cannot be duplicated.
    ZTL::smart_ptr<ISoundBuffer> Duplicate() override;
};

class CDirectSoundSeconderyBuffer : public CDirectSoundBuffer
{
public:
    using CDirectSoundBuffer::CDirectSoundBuffer;
    int Create(const WAVEFORMATEX* format, std::uint32_t size, bool clear,
               CSoundParameter* parameter) override;
    // A null buffer when the device cannot duplicate it.
    ZTL::smart_ptr<ISoundBuffer> Duplicate() override;
};

class IWaveOutput
{
public:
    // With a new sound parameter and an empty restore list.
    IWaveOutput();
    IWaveOutput(const IWaveOutput&) = delete;
    IWaveOutput& operator=(const IWaveOutput&) = delete;
    virtual ~IWaveOutput() = default;
    virtual int GetType() = 0;
    // A new buffer, not yet created: the sound calls its Create.
    virtual ZTL::smart_ptr<ISoundBuffer> CreateBuffer() = 0;
    virtual ZTL::smart_ptr<CSoundParameter> GetSoundParameter() { return m_soundParameter; }
    virtual void SetSoundParameter(const ZTL::smart_ptr<CSoundParameter>& parameter);
    virtual std::list<ISound*>& GetRestoreList() { return m_restoreList; }
    // Keeps a static wave sound for restoring: 0, or 1 (nothing kept) for any other kind.
    virtual int AddSound(ISound* sound);
    // Forgets its first entry: 0, or 1 when it is not kept.
    virtual int RemoveSound(ISound* sound);

protected:
    // Restores every kept sound, in order.
    void RestoreAll();

private:
    std::list<ISound*> m_restoreList;
    ZTL::smart_ptr<CSoundParameter> m_soundParameter;
};

class CWaveOutputDirectSound : public IWaveOutput, public Window::IWinHook
{
public:
    // Hooks the calling thread's application window. A null device raises ZTL::CSyntaxException.
    explicit CWaveOutputDirectSound(CDirectSound* directSound);
    ~CWaveOutputDirectSound() override;

    int GetType() override { return 1; }
    ZTL::smart_ptr<ISoundBuffer> CreateBuffer() override { return CreateSecondaryBuffer(); }
    // Output format by rate index r ((r + 1) × 11025 Hz), bits index b (8 × b + 8 bits) and channels:
    // 0 done or already so, 1 the priority level was refused, 2 the format was refused, 3 no device.
    virtual int SetPrimaryFormat(int rateIndex, int bitsIndex, bool stereo);
    // A new secondary buffer while the device is ready, else a null buffer.
    virtual ZTL::smart_ptr<ISoundBuffer> CreateSecondaryBuffer();

    // The application becoming active restores every kept sound; always 0.
    Window::LRESULT OnMessage(Window::HWND hwnd, Window::UINT message, Window::WPARAM wParam,
                              Window::LPARAM lParam) override;

private:
    CDirectSound* m_directSound;
    ZTL::smart_ptr<ISoundBuffer> m_primaryBuffer;
    std::int32_t m_primaryFormat = -1;
};

} // namespace zelvoranGameSDK3rd::Multimedia
