#pragma once
// Callable objects kept in smart pointers: start-up and tear-down lists, thread-local objects,
// the file layer and the sound factory hold their callbacks this way.

#include "sdk/ztl/exception.h"

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
    explicit function_callback_vg0(void (*function)()) : function_(function) {}
    void run() override { function_(); }

private:
    void (*function_)();
};

template <class T> class function_callback_vm0 : public function_callback_v
{
public:
    function_callback_vm0(T* object, void (T::*member)()) : object_(object), member_(member) {}
    void run() override { (object_->*member_)(); }
    void bind(void* object) override { object_ = static_cast<T*>(object); }

private:
    T* object_;
    void (T::*member_)();
};

template <class T, class A> class function_callback_vm1 : public function_callback_v
{
public:
    function_callback_vm1(T* object, void (T::*member)(A), A argument)
        : object_(object), member_(member), argument_(argument)
    {}
    void run() override { (object_->*member_)(argument_); }
    void bind(void* object) override { object_ = static_cast<T*>(object); }

private:
    T* object_;
    void (T::*member_)(A);
    A argument_;
};

template <class T, class A> class function_callback_rm1 : public function_callback_r
{
public:
    function_callback_rm1(T* object, bool (T::*member)(A), A argument)
        : object_(object), member_(member), argument_(argument)
    {}
    void run() override { result_ = (object_->*member_)(argument_); }
    void bind(void* object) override { object_ = static_cast<T*>(object); }
    bool getResult() const override { return result_; }

private:
    bool result_ = false;
    T* object_;
    bool (T::*member_)(A);
    A argument_;
};

} // namespace zelvoranGameSDK3rd::ZTL
