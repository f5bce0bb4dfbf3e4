#pragma once
// Switches the input method editor on or off for the calling thread's window.

namespace zelvoranGameSDK3rd::Auxiliary {

class IIMEWrapper
{
public:
    virtual void Enable() = 0;
    virtual void Disable() = 0;
    virtual ~IIMEWrapper() = default;
};

class CIMEWrapper : public IIMEWrapper
{
public:
    enum State
    {
        NotSet = 0,
        Enabled = 1,
        Disabled = 2,
    };

    static CIMEWrapper* GetInstance();

    // Unless already in that state: records it and, when the thread has a window handle in the
    // handle manager, tells that window.
    void Enable() override;
    void Disable() override;
    int GetState() const { return m_state; }

private:
    void Switch(int state, bool enable);
    int m_state = NotSet;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
