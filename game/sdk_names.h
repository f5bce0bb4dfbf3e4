#pragma once
// The game's short names for the SDK's namespaces: game code writes Math::CRand, Auxiliary::CSerialize,
// Draw::CFastPlane and ZTL::string, as the SDK's own code does.

namespace zelvoranGameSDK3rd::Auxiliary {}
namespace zelvoranGameSDK3rd::Draw {}
namespace zelvoranGameSDK3rd::Input {}
namespace zelvoranGameSDK3rd::Math {}
namespace zelvoranGameSDK3rd::ZTL {}

namespace Auxiliary = zelvoranGameSDK3rd::Auxiliary;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace Input = zelvoranGameSDK3rd::Input;
namespace Math = zelvoranGameSDK3rd::Math;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
