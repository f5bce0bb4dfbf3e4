#include "sdk/multimedia/audio_mixer.h"

#include "sdk/auxiliary/text_output_stream.h"

#include <cmath>

namespace zelvoranGameSDK3rd::Multimedia {

namespace {

using namespace platform;

// The component type each line is found as.
constexpr DWORD kLineTypes[CAudioMixer::kLineCount] = {
    MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT,
    MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC};

const char* ResultText(MixerResult result)
{
    switch (result) {
    case MMSYSERR_NOERROR:
        return "CAudioMixer::あれ？NOERRORが返ってますよ";
    case MMSYSERR_BADDEVICEID:
        return "CAudioMixer::デバイス識別子が不正または有効範囲外でした";
    case MMSYSERR_ALLOCATED:
        return "CAudioMixer::指定したリソースは、最大許容数のクライアントにすでに割り当てられていました";
    case MMSYSERR_INVALHANDLE:
        return "CAudioMixer::指定したデバイスハンドルが不正です";
    case MMSYSERR_NODRIVER:
        return "CAudioMixer::デバイスドライバが存在しませんでした";
    case MMSYSERR_NOMEM:
        return "CAudioMixer::必要なメモリを割り当てることができませんでした";
    case MMSYSERR_INVALFLAG:
        return "CAudioMixer::フラグの指定が不正です";
    case MMSYSERR_INVALPARAM:
        return "CAudioMixer::アドレスが不正です";
    case MIXERR_INVALCONTROL:
        return "CAudioMixer::コントロールの参照が不正です";
    default:
        return "CAudioMixer::原因不明のエラーが起こりました";
    }
}

} // namespace

void CAudioMixer::ReportError(MixerResult result, const char* message)
{
    Auxiliary::GetErrorStream().Out("%s", ResultText(result));
    Auxiliary::GetErrorStream().Out("%s", message);
}

CAudioMixer::CAudioMixer()
{
    Open();
}

CAudioMixer::~CAudioMixer()
{
    Close();
}

bool CAudioMixer::IsLineSupported(int line) const
{
    return IsValidLine(line) && m_lineRecords[std::size_t(line)].supported;
}

int CAudioMixer::Open()
{
    m_opened = false;
    if (Close() != 0) return 1;
    if (MixerGetDeviceCount() == 0) {
        Auxiliary::GetErrorStream().Out("CAudioMixer::Open ミキサデバイス数が 0か、エラーが発生しました");
        return 2;
    }
    m_mixerId = 0;
    const MixerResult opened = MixerOpen(&m_mixer, m_mixerId);
    if (opened != MMSYSERR_NOERROR) {
        m_mixer = nullptr;
        ReportError(opened, "ミキサデバイスをオープンできませんでした\n");
        return 3;
    }
    if (!FindLines()) return 4;
    for (int line = 0; line < kLineCount; ++line) {
        // A line this machine lacks is no fault of opening: only a caller asking for it hears of it.
        if (!IsLineSupported(line) || !CheckLine(line)) continue;
        m_lineRecords[std::size_t(line)].savedVolume = m_values;
    }
    m_opened = true;
    return 0;
}

bool CAudioMixer::FindLines()
{
    const MixerResult capsRead = MixerGetCaps(m_mixer, &m_caps);
    if (capsRead != MMSYSERR_NOERROR) {
        ReportError(capsRead, "ミキサデバイス情報を得られませんでした\n");
        return false;
    }
    for (DWORD d = 0; d < m_caps.destinations; ++d) {
        MixerLine destination;
        const MixerResult read = MixerGetDestinationLine(m_mixer, d, &destination);
        if (read != MMSYSERR_NOERROR) {
            ReportError(read, "ミキサデバイスのディスティネ―ション情報を得られませんでした\n");
            return false;
        }
        // Only the sources of a speakers line with a volume control are looked at; a later one replaces
        // the master line, while for the sources the first match stays.
        if (destination.componentType != kLineTypes[0] || !LookUpVolumeControl(destination)) continue;
        m_lines[0] = destination;
        m_lineRecords[0].supported = true;
        for (DWORD s = 0; s < destination.connections; ++s) {
            MixerLine source;
            const MixerResult sourceRead = MixerGetSourceLine(m_mixer, d, s, &source);
            if (sourceRead != MMSYSERR_NOERROR) {
                ReportError(sourceRead, "ミキサデバイスのソース情報を得られませんでした\n");
                return false;
            }
            for (std::size_t line = 1; line < kLineCount; ++line) {
                if (source.componentType != kLineTypes[line] || m_lineRecords[line].supported) continue;
                if (!LookUpVolumeControl(source)) continue;
                m_lines[line] = source;
                m_lineRecords[line].supported = true;
            }
        }
    }
    return true;
}

bool CAudioMixer::LookUpVolumeControl(const MixerLine& line)
{
    if (line.controls == 0) return false;
    std::vector<MixerControl> controls;
    const MixerResult read = MixerGetLineControls(m_mixer, line.lineId, &controls);
    if (read != MMSYSERR_NOERROR) {
        ReportError(read, "オーディオラインのコントロール情報を得られませんでした\n");
        return false;
    }
    for (const MixerControl& control : controls) {
        if (control.controlType != MIXERCONTROL_CONTROLTYPE_VOLUME || line.channels == 0) continue;
        std::vector<DWORD> values;
        if (MixerGetControlValues(m_mixer, control.controlId, line.channels, &values) != MMSYSERR_NOERROR)
            continue;
        m_currentControl = control;
        m_values.assign(values.begin(), values.end());
        return true;
    }
    Auxiliary::GetErrorStream().Out(
        "MixerControl構造体に関連付けられるオーディオラインコントロールがありませんでした");
    return false;
}

bool CAudioMixer::CheckLine(int line)
{
    if (m_mixer == nullptr) {
        Auxiliary::GetErrorStream().Out("ミキサデバイスのハンドルがありませんでした");
        return false;
    }
    if (!IsLineSupported(line)) {
        Auxiliary::GetErrorStream().Out(
            "%dのIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした", line);
        return false;
    }
    return LookUpVolumeControl(m_lines[std::size_t(line)]);
}

bool CAudioMixer::WriteValues(int line)
{
    std::vector<DWORD> values(m_values.begin(), m_values.end());
    values.resize(m_lines[std::size_t(line)].channels, 0);
    const MixerResult written = MixerSetControlValues(m_mixer, m_currentControl.controlId, values);
    if (written != MMSYSERR_NOERROR) {
        ReportError(written, "ミキサコントロール状態情報構造体の取得ができませんでした\n");
        return false;
    }
    return true;
}

int CAudioMixer::SetVolume(int line, const std::vector<std::uint32_t>& volumes)
{
    if (!m_opened) return -1;
    if (!CheckLine(line)) return -1;
    const std::size_t channels = m_lines[std::size_t(line)].channels;
    m_values.assign(channels, 0);
    for (std::size_t c = 0; c < channels; ++c)
        m_values[c] = c < volumes.size() ? std::min<std::uint32_t>(volumes[c], 65535) : 0;
    WriteValues(line);
    return 0;
}

int CAudioMixer::RestoreVolume(int line)
{
    if (!m_opened) return -1;
    if (m_mixer == nullptr) return 1;
    if (!CheckLine(line)) return 2;
    const std::vector<std::uint32_t>& saved = m_lineRecords[std::size_t(line)].savedVolume;
    for (std::size_t j = 0; j < m_values.size(); ++j)
        if (j < saved.size()) m_values[j] = saved[j];
    return WriteValues(line) ? 0 : 1;
}

int CAudioMixer::GetVolume(int line, std::vector<std::uint32_t>& volumes)
{
    if (!m_opened) return -1;
    if (!CheckLine(line)) return -1;
    volumes = m_values;
    return 0;
}

int CAudioMixer::GetSavedVolume(int line, std::vector<std::uint32_t>& volumes)
{
    if (!m_opened) return -1;
    if (!IsValidLine(line)) return -1;
    volumes = m_lineRecords[std::size_t(line)].savedVolume;
    return 0;
}

int CAudioMixer::SaveVolume(int line)
{
    if (!m_opened) return -1;
    std::vector<std::uint32_t> current;
    if (GetVolume(line, current) != 0) return 1;
    m_lineRecords[std::size_t(line)].savedVolume = current;
    return 0;
}

int CAudioMixer::SetVolumeRate(int line, double rate)
{
    if (!m_opened) return -1;
    std::vector<std::uint32_t> volumes;
    GetSavedVolume(line, volumes);
    std::vector<std::uint32_t> scaled(volumes.size());
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        // Rounded to the nearest, ties to even; what lies past the range is capped by SetVolume.
        const double value = std::nearbyint(double(volumes[i]) * rate);
        scaled[i] = value <= 0 ? 0 : value >= 4294967295.0 ? 0xFFFFFFFFu : std::uint32_t(value);
    }
    return SetVolume(line, scaled);
}

int CAudioMixer::GetVolumeRate(int line, double& rate)
{
    if (!m_opened) return -1;
    std::vector<std::uint32_t> current, saved;
    if (GetVolume(line, current) != 0 || GetSavedVolume(line, saved) != 0) return 1;
    std::uint32_t sumCurrent = 0, sumSaved = 0;
    for (std::uint32_t v : current)
        sumCurrent += v;
    for (std::uint32_t v : saved)
        sumSaved += v;
    if (sumSaved != 0)
        rate = double(sumCurrent) / double(sumSaved);
    else
        rate = sumCurrent == 0 ? 0.0 : 65535.0;
    return 0;
}

int CAudioMixer::Close()
{
    if (m_mixer != nullptr) {
        const MixerResult closed = MixerClose(m_mixer);
        if (closed != MMSYSERR_NOERROR) {
            ReportError(closed, "ミキサデバイスを閉じられませんでした\n");
            return 1;
        }
        m_mixer = nullptr;
    }
    m_values.clear();
    return 0;
}

} // namespace zelvoranGameSDK3rd::Multimedia
