#pragma once
// The framework's short names for the SDK's namespaces, as the game writes them (the game's own list
// names the same namespaces, so both may be included together).

namespace zelvoranGameSDK3rd::Multimedia {}
namespace zelvoranGameSDK3rd::ZTL {}

namespace Multimedia = zelvoranGameSDK3rd::Multimedia;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
