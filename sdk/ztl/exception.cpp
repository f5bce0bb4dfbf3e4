#include "sdk/ztl/exception.h"

namespace zelvoranGameSDK3rd::ZTL {

basic_string CException::getMessage() const
{
    return basic_string();
}

basic_string CNullPointerException::getMessage() const
{
    return "Null pointerからのアクセス";
}

basic_string CIndexOutOfBoundsException::getMessage() const
{
    return "配列範囲外へのメモリへのアクセス";
}

CRuntimeException::CRuntimeException(const basic_string& message) : m_message(message)
{
    if (m_message.empty()) m_message = "実行時例外（範囲外の数値が指定されている)";
}

basic_string CRuntimeException::getMessage() const
{
    return m_message;
}

basic_string CSyntaxException::getMessage() const
{
    return m_message;
}

basic_string CInterruptedException::getMessage() const
{
    return "InterruptedException例外が発生";
}

basic_string CIllegalMonitorStateException::getMessage() const
{
    return "CIllegalMonitorStateException例外が発生";
}

} // namespace zelvoranGameSDK3rd::ZTL
