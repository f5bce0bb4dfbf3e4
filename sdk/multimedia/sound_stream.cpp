#include "sdk/multimedia/sound_stream.h"

namespace zelvoranGameSDK3rd::Multimedia {

CSoundStreamFactory::CSoundStreamFactory()
{
    extensionMap = ZTL::smart_ptr<Auxiliary::IStringMap>(new Auxiliary::CStringMap);
}

ZTL::smart_ptr<ISoundStream> CSoundStreamFactory::Open(const ZTL::string&)
{
    // Issue 26 builds the stream kinds this tries in turn (the WAV stream, the kinds registered by
    // extension, the compressed stream); until then no file opens and the result is the null stream,
    // which the wave sounds take for a file that cannot be read.
    return ZTL::smart_ptr<ISoundStream>(new CNullSoundStream);
}

} // namespace zelvoranGameSDK3rd::Multimedia
