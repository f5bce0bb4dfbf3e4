#pragma once
// Object factories: something that makes a new object of a class chosen when the factory was made.

namespace zelvoranGameSDK3rd::ZTL {

class factory_base
{
public:
    // A new object; the caller owns it.
    virtual void* create() = 0;
    virtual ~factory_base() = default;
};

// Makes a new Concrete and hands it out as an Interface.
template <class Interface, class Concrete> class factory_i2 : public factory_base
{
public:
    void* create() override { return static_cast<Interface*>(new Concrete); }
    Interface* createObject() { return static_cast<Interface*>(create()); }
};

} // namespace zelvoranGameSDK3rd::ZTL
