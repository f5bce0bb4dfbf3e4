#pragma once
// The MIDI devices the sound factory makes for MIDI files. Both play through the platform's MIDI songs;
// each keeps its own device's ways:
//   CMIDIOutputMCI  the sequencer device: the song is handed over as a disk file, the device opens on
//                   the first play, and the end of the song is notified to the application's window,
//                   whose hook plays it again when it loops.
//   CMIDIOutputDM   the MIDI system: the song is loaded from memory as a segment of the performance,
//                   which loops it by itself and whose master volume every song on it shares.

#include "platform/midi.h"
#include "sdk/auxiliary/file.h"
#include "sdk/multimedia/direct_sound.h"
#include "sdk/multimedia/sound.h"
#include "sdk/window/win_hook.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zelvoranGameSDK3rd::Multimedia {

// The MIDI system that plays through the sound device it is given: the performance the songs play on.
class CDirectMusic
{
public:
    // What the constructor left.
    static constexpr std::int32_t kReady = 0;
    static constexpr std::int32_t kNoPerformance = 1;

    explicit CDirectMusic(CDirectSound* directSound);
    virtual ~CDirectMusic() = default;
    // Whether the MIDI system can be used: found out once per process.
    static bool CanUseDirectMusic();
    CDirectSound* GetDirectSound() const { return m_directSound; }
    std::int32_t GetStatus() const { return m_status; }

    // The performance's master volume (hundredths of a decibel), shared by every song on it.
    void SetMasterVolume(std::int32_t volume);
    std::int32_t GetMasterVolume() const { return m_masterVolume; }
    // Songs join the performance while they are loaded.
    void Attach(platform::MidiSong* song);
    void Detach(platform::MidiSong* song);

private:
    CDirectSound* m_directSound;
    std::int32_t m_status = kReady;
    std::int32_t m_masterVolume = 0;
    std::vector<platform::MidiSong*> m_songs;
};

// MIDI through the MIDI system.
class CMIDIOutputDM : public ISound
{
public:
    explicit CMIDIOutputDM(CDirectMusic* directMusic) : m_directMusic(directMusic) {}
    ~CMIDIOutputDM() override;

    // 0, 1 no file, 2 the song cannot be loaded.
    int Open(const string& fileName) override;
    int Close() override;
    // -2 nothing loaded, 1 the song does not start.
    int Play() override;
    int Pause() override { return Stop(); }
    int Replay() override;
    int Stop() override;
    bool IsPlay() override;
    int SetLoopPlay(bool loop) override;
    bool IsLoopPlay() override { return m_loop; }
    int SetCurrentPos(int milliseconds) override;
    // -2 not playing.
    int GetCurrentPos() override;
    // -2 nothing loaded.
    int GetLength() override;
    int SetVolume(int volume) override;
    int GetVolume() override;
    int GetType() override { return kSoundTypeMIDIDirectMusic; }
    string GetFileName() override { return m_file.GetName(); }

private:
    Auxiliary::CFile m_file;
    std::uint32_t m_savedSeek = 0; // ticks
    std::int32_t m_pauseCount = 0;
    bool m_loop = false;
    std::unique_ptr<platform::MidiSong> m_segment;
    bool m_segmentState = false; // a playing instance is held
    CDirectMusic* m_directMusic;
};

// MIDI through the sequencer device.
class CMIDIOutputMCI : public ISound, public Window::IWinHook
{
public:
    // Hooks the calling thread's application window.
    CMIDIOutputMCI();
    ~CMIDIOutputMCI() override;
    // Whether the MIDI output can be used: found out once per process.
    static bool CanUseMIDIOutput();

    // 0, 1 no file, 2 no disk copy.
    int Open(const string& fileName) override;
    // 0, 1 the device does not close.
    int Close() override;
    // 0, 1 the device does not open, 2 the song does not start.
    int Play() override;
    int Pause() override { return Stop(); }
    int Replay() override;
    // 0, 1 no device, 2 the device does not stop.
    int Stop() override;
    bool IsPlay() override { return m_playing; }
    int SetLoopPlay(bool loop) override;
    bool IsLoopPlay() override { return m_loop; }
    int SetCurrentPos(int milliseconds) override;
    // -1 before the device opened.
    int GetCurrentPos() override;
    int GetLength() override;
    int SetVolume(int) override { return -1; }
    int GetVolume() override { return 0; }
    int GetType() override { return kSoundTypeMIDIMCI; }
    string GetFileName() override { return m_file.GetName(); }

    // The device's end-of-song notification for this object: plays again when looping, else stops.
    Window::LRESULT OnMessage(Window::HWND hwnd, Window::UINT message, Window::WPARAM wParam,
                              Window::LPARAM lParam) override;

    // The open device's id, -1 when none.
    std::int32_t GetDeviceId() const { return m_deviceId; }

private:
    int OpenDevice();
    // The application window of the thread that made the object: the device notifies it.
    platform::HWND NotifyWindow();

    Auxiliary::CFile m_file;
    std::uint32_t m_savedPosition = 0; // milliseconds
    std::int32_t m_deviceId = -1;
    std::int32_t m_pauseCount = 0;
    bool m_loop = false;
    bool m_playing = false;
    std::unique_ptr<platform::MidiSong> m_device;
    platform::HWND m_notifyWindow;
};

} // namespace zelvoranGameSDK3rd::Multimedia
