#pragma once
// Callable objects kept in smart pointers: start-up and tear-down lists, thread-local objects,
// the file layer and the sound factory hold their callbacks this way.

#include "sdk/ztl/exception.h"
#include "sdk/ztl/smart_ptr.h"

namespace zelvoranGameSDK3rd::ZTL {

class function_callback
{
public:
    virtual ~function_callback() = default;
    virtual void run() = 0;
    // Gives a member-function callback the object to call it on. A callback of a global
    // function has no object, so binding one is a programming error.
    virtual void bind(void* object);
};

// The callbacks that callers hold: without a result, and with a bool result.
class function_callback_v : public function_callback
{};

class function_callback_r : public function_callback
{
public:
    virtual bool getResult() const = 0;
};

class function_callback_vg0 : public function_callback_v
{
public:
    explicit function_callback_vg0(void (*function)()) : m_function(function) {}
    void run() override { m_function(); }

private:
    void (*m_function)();
};

template <class T> class function_callback_vm0 : public function_callback_v
{
public:
    function_callback_vm0(T* object, void (T::*member)()) : m_object(object), m_member(member) {}
    void run() override { (m_object->*m_member)(); }
    void bind(void* object) override { m_object = static_cast<T*>(object); }

private:
    T* m_object;
    void (T::*m_member)();
};

template <class T, class A> class function_callback_vm1 : public function_callback_v
{
public:
    function_callback_vm1(T* object, void (T::*member)(A), A argument)
        : m_object(object), m_member(member), m_argument(argument)
    {}
    void run() override { (m_object->*m_member)(m_argument); }
    void bind(void* object) override { m_object = static_cast<T*>(object); }

private:
    T* m_object;
    void (T::*m_member)(A);
    A m_argument;
};

template <class T, class A> class function_callback_rm1 : public function_callback_r
{
public:
    function_callback_rm1(T* object, bool (T::*member)(A), A argument)
        : m_object(object), m_member(member), m_argument(argument)
    {}
    void run() override { m_result = (m_object->*m_member)(m_argument); }
    void bind(void* object) override { m_object = static_cast<T*>(object); }
    bool getResult() const override { return m_result; }

private:
    bool m_result = false;
    T* m_object;
    bool (T::*m_member)(A);
    A m_argument;
};

// A smart pointer's holder that runs a callback once the last reference has deleted the object: the
// callback learns that the object is gone (it may hold the object's former address, never use it).
template <class U> class nonarray_callback_ref_object : public ref_object
{
public:
    nonarray_callback_ref_object(U* object, const smart_ptr<function_callback>& callback)
        : ref_object(true, sizeof(U), 1), object(object), callback(callback)
    {}
    void deleteObject() override
    {
        delete object;
        object = nullptr;
        if (!callback.isNull()) callback->run();
    }
    U* object;
    smart_ptr<function_callback> callback;
};

} // namespace zelvoranGameSDK3rd::ZTL
