#pragma once
// The SDK's exception family. Each kind carries a Japanese message; they are thrown by value.

#include "sdk/ztl/ztl_string.h"

namespace zelvoranGameSDK3rd::ZTL {

class CException
{
public:
    virtual ~CException() = default;
    virtual basic_string getMessage() const;
};

class CNullPointerException : public CException
{
public:
    basic_string getMessage() const override;
};

class CIndexOutOfBoundsException : public CException
{
public:
    basic_string getMessage() const override;
};

class CRuntimeException : public CException
{
public:
    CRuntimeException() : CRuntimeException(basic_string()) {}
    explicit CRuntimeException(const basic_string& message);
    CRuntimeException(const CRuntimeException& other) = default;
    basic_string getMessage() const override;

private:
    basic_string m_message;
};

class CSyntaxException : public CException
{
public:
    explicit CSyntaxException(const basic_string& message) : m_message(message) {}
    basic_string getMessage() const override;

private:
    basic_string m_message;
};

class CInterruptedException : public CException
{
public:
    basic_string getMessage() const override;
};

class CIllegalMonitorStateException : public CException
{
public:
    basic_string getMessage() const override;
};

} // namespace zelvoranGameSDK3rd::ZTL
