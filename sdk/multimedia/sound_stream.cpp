#include "sdk/multimedia/sound_stream.h"

#include "sdk/appframe/object_creater.h"
#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/text_output_stream.h"
#include "sdk/multimedia/acm_stream.h"
#include "sdk/multimedia/wave_stream.h"

#include <cstdarg>

namespace zelvoranGameSDK3rd::Multimedia {

std::uint32_t StreamBytesForMilliseconds(const WAVEFORMATEX* format, int milliseconds)
{
    if (format == nullptr || format->nAvgBytesPerSec == 0) return 0xFFFFFFFF;
    const std::int64_t product = std::int64_t(milliseconds) * std::int64_t(format->nAvgBytesPerSec);
    return std::uint32_t(std::uint64_t(product) / 1000);
}

int StreamMillisecondsForBytes(const WAVEFORMATEX* format, std::uint32_t bytes)
{
    if (format == nullptr || format->nAvgBytesPerSec == 0) return -1;
    return int(std::uint32_t(std::uint64_t(bytes) * 1000 / format->nAvgBytesPerSec));
}

int ReportStreamFailure(int code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Auxiliary::GetErrorStream().OutV(format, args);
    va_end(args);
    return code;
}

CSoundStreamFactory::CSoundStreamFactory()
{
    extensionMap = ZTL::smart_ptr<Auxiliary::IStringMap>(new Auxiliary::CStringMap);
}

ZTL::smart_ptr<ISoundStream> CSoundStreamFactory::Open(const ZTL::string& fileName)
{
    const ZTL::string path = Auxiliary::CFile::ResolvePath(fileName);
    ZTL::string extension = Auxiliary::CFile::GetSuffix(path);
    Auxiliary::StringToLower(extension);

    if (extension == "wav") {
        ZTL::smart_ptr<ISoundStream> wave(new CWaveStream);
        if (wave->Open(path.c_str()) == 0) return wave;
    }
    // Kinds registered by extension, made by class name; a name nobody registered (the plug-in is not
    // loaded) is passed over.
    if (extensionMap) {
        ZTL::smart_ptr<ISoundStream> candidate;
        for (const auto& [key, className] : extensionMap->GetMap()) {
            ZTL::string lowered = key;
            Auxiliary::StringToLower(lowered);
            if (!(lowered == extension)) continue;
            candidate = ZTL::smart_ptr<ISoundStream>();
            void* made = AppFrame::CObjectCreater::GetInstance()->CreateInstance(className);
            if (made == nullptr) continue;
            candidate = ZTL::smart_ptr<ISoundStream>(static_cast<ISoundStream*>(made));
            if (candidate->Open(path.c_str()) == 0) return candidate;
        }
    }
    ZTL::smart_ptr<ISoundStream> compressed(new CACMStream);
    if (compressed->Open(path.c_str()) == 0) return compressed;
    return ZTL::smart_ptr<ISoundStream>(new CNullSoundStream);
}

} // namespace zelvoranGameSDK3rd::Multimedia
