#include "sdk/ztl/callback.h"

namespace zelvoranGameSDK3rd::ZTL {

void function_callback::bind(void*)
{
    throw CRuntimeException("メンバ関数へのfunction_callbackに対してbindを行なった");
}

} // namespace zelvoranGameSDK3rd::ZTL
