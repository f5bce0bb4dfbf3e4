#pragma once
// The short names for the SDK's namespaces that the framework and the game write, as the SDK's own code
// does: Math::CRand, Auxiliary::CSerialize, Draw::CFastPlane, Multimedia::ISound, ZTL::string.

namespace zelvoranGameSDK3rd::Auxiliary {}
namespace zelvoranGameSDK3rd::Draw {}
namespace zelvoranGameSDK3rd::Input {}
namespace zelvoranGameSDK3rd::Math {}
namespace zelvoranGameSDK3rd::Multimedia {}
namespace zelvoranGameSDK3rd::ZTL {}

namespace Auxiliary = zelvoranGameSDK3rd::Auxiliary;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace Input = zelvoranGameSDK3rd::Input;
namespace Math = zelvoranGameSDK3rd::Math;
namespace Multimedia = zelvoranGameSDK3rd::Multimedia;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
