#pragma once
// The audio mixer: reads and sets the volume of four lines of the machine's first mixer device (0 the
// master output, 1 the wave output, 2 the MIDI synthesizer, 3 CD audio). Opening it remembers each line's
// volume as found, so the program can set volumes as a fraction of the user's own and put them back.
// Volumes are 0 to 65535 per channel. Every operation answers -1 while the mixer is not open.

#include "platform/mixer.h"

#include <array>
#include <cstdint>
#include <vector>

namespace zelvoranGameSDK3rd::Multimedia {

class IAudioMixer
{
public:
    // Each channel := round(saved volume × rate), ties to even, through SetVolume.
    virtual int SetVolumeRate(int line, double rate) = 0;
    // 0 when the line's control was found, -1 when the line cannot be used.
    virtual int SetVolume(int line, const std::vector<std::uint32_t>& volumes) = 0;
    // 0, 1 no mixer or the set failed, 2 the line cannot be used.
    virtual int RestoreVolume(int line) = 0;
    // 0 with current / saved, 1 when a volume cannot be read.
    virtual int GetVolumeRate(int line, double& rate) = 0;
    // 0, -1 when the line cannot be used.
    virtual int GetVolume(int line, std::vector<std::uint32_t>& volumes) = 0;
    virtual int GetSavedVolume(int line, std::vector<std::uint32_t>& volumes) = 0;
    // 0, 1 when the current volume cannot be read.
    virtual int SaveVolume(int line) = 0;
    virtual ~IAudioMixer() = default;
};

class CAudioMixer : public IAudioMixer
{
public:
    static constexpr int kLineCount = 4;

    // Opens the mixer.
    CAudioMixer();
    CAudioMixer(const CAudioMixer&) = delete;
    CAudioMixer& operator=(const CAudioMixer&) = delete;
    ~CAudioMixer() override;

    int SetVolumeRate(int line, double rate) override;
    int SetVolume(int line, const std::vector<std::uint32_t>& volumes) override;
    int RestoreVolume(int line) override;
    int GetVolumeRate(int line, double& rate) override;
    int GetVolume(int line, std::vector<std::uint32_t>& volumes) override;
    int GetSavedVolume(int line, std::vector<std::uint32_t>& volumes) override;
    int SaveVolume(int line) override;

    // 0, 1 the previous mixer did not close, 2 no mixer device, 3 it did not open, 4 its information
    // could not be read.
    int Open();
    // 0, 1 the mixer did not close.
    int Close();
    bool IsOpened() const { return m_opened; }
    // Whether the device has the line with a volume control.
    bool IsLineSupported(int line) const;

private:
    struct LineRecord
    {
        bool supported = false;
        std::vector<std::uint32_t> savedVolume;
    };

    // Writes the text of a mixer result, then the caller's message, to the error output.
    static void ReportError(platform::MixerResult result, const char* message);
    bool FindLines();
    // Finds the line's volume control and reads its values into m_values.
    bool LookUpVolumeControl(const platform::MixerLine& line);
    // The start of every line operation: the mixer, the line and its control.
    bool CheckLine(int line);
    bool WriteValues(int line);
    bool IsValidLine(int line) const { return line >= 0 && line < kLineCount; }

    std::array<LineRecord, kLineCount> m_lineRecords{};
    platform::HMIXER m_mixer = nullptr;
    std::uint32_t m_mixerId = 0;
    platform::MixerCaps m_caps;
    std::array<platform::MixerLine, kLineCount> m_lines{};
    platform::MixerControl m_currentControl;
    std::vector<std::uint32_t> m_values;
    bool m_opened = false;
};

} // namespace zelvoranGameSDK3rd::Multimedia
