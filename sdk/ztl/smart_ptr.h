#pragma once
// Reference-counted pointer whose count lives in a separate holder. The count is a plain
// integer: a pointer and every copy sharing its holder belong to one thread or to their owner's lock.

#include "sdk/ztl/exception.h"

#include <cstdint>
#include <type_traits>

namespace zelvoranGameSDK3rd::ZTL {

// The shared holder: the count, whether the last release deletes the object, and the array shape
// that guarded access checks against.
class ref_object
{
public:
    ref_object(bool owned, std::uint32_t elementSize, std::uint32_t elementCount)
        : owned(owned), elementSize(elementSize), elementCount(elementCount)
    {}
    virtual void deleteObject() = 0;
    virtual ~ref_object() = default;

    std::int32_t referenceCount = 1;
    bool owned;
    std::uint32_t elementSize;
    std::uint32_t elementCount;
};

template <class U> class nonarray_ref_object : public ref_object
{
public:
    nonarray_ref_object(U* object, bool owned, std::uint32_t elementSize)
        : ref_object(owned, elementSize, 1), object(object)
    {}
    // Deletes through U's own (possibly virtual) destructor.
    void deleteObject() override { delete object; }
    U* object;
};

template <class U> class array_ref_object : public ref_object
{
public:
    array_ref_object(U* object, std::uint32_t count, std::uint32_t elementSize)
        : ref_object(true, elementSize, count), object(object)
    {}
    void deleteObject() override { delete[] object; }
    U* object;
};

template <class T> class smart_ptr
{
public:
    smart_ptr() = default;
    explicit smart_ptr(T* p) { add(p); }
    smart_ptr(const smart_ptr& other)
        : m_pointer(other.m_pointer), m_index(other.m_index), m_holder(other.m_holder)
    {
        if (m_holder != nullptr) ++m_holder->referenceCount;
    }
    // Shares the holder of a pointer to a derived class.
    template <class U>
    requires(std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>)
        smart_ptr(const smart_ptr<U>& other) // NOLINT: implicit like a plain pointer upcast
        : m_pointer(other.rawPointer()), m_index(other.rawIndex()), m_holder(other.rawHolder())
    {
        if (m_holder != nullptr) ++m_holder->referenceCount;
    }
    ~smart_ptr() { release(); }

    smart_ptr& operator=(const smart_ptr& other)
    {
        assign(other);
        return *this;
    }

    void assign(const smart_ptr& other)
    {
        if (&other == this) return;
        ref_object* holder = other.m_holder;
        if (holder != nullptr) ++holder->referenceCount; // before release: other may die with it
        T* pointer = other.m_pointer;
        std::uint32_t index = other.m_index;
        release();
        m_pointer = pointer;
        m_index = index;
        m_holder = holder;
    }

    // Drops this reference; the last one deletes an owned object, then the holder.
    void release()
    {
        if (m_holder == nullptr) return;
        ref_object* holder = m_holder;
        m_pointer = nullptr;
        m_holder = nullptr;
        if (--holder->referenceCount == 0) {
            if (holder->owned) holder->deleteObject();
            delete holder;
        }
    }

    // Attaches one object. With `owned` false the holder only counts references.
    template <class U>
    requires std::is_convertible_v<U*, T*>
    void add(U* p, bool owned = true)
    {
        auto* holder = new nonarray_ref_object<U>(p, owned, sizeof(T));
        release();
        m_pointer = p;
        m_index = 0;
        m_holder = holder;
    }

    // Attaches one object under a holder the caller made (a holder that does something more when the
    // object goes); the holder's count must be 1.
    void attach(T* p, ref_object* holder)
    {
        release();
        m_pointer = p;
        m_index = 0;
        m_holder = holder;
    }

    // Attaches an array of n elements; with n = 0 no holder is made.
    void addArray(T* p, std::uint32_t n)
    {
        ref_object* holder = n != 0 ? new array_ref_object<T>(p, n, sizeof(T)) : nullptr;
        release();
        m_pointer = p;
        m_index = 0;
        m_holder = holder;
    }

    // A fresh array of n elements, not cleared; n of 0 or below leaves the pointer empty.
    void resetArray(int n)
    {
        release();
        if (n > 0) addArray(new T[static_cast<std::uint32_t>(n)], static_cast<std::uint32_t>(n));
    }
    void resetBoolArray(int n) requires std::is_same_v<T, bool> { resetArray(n); }
    void resetIntArray(int n) requires std::is_same_v<T, int> { resetArray(n); }

    T* operator->() const
    {
        if (m_pointer == nullptr) throw CNullPointerException();
        if (m_index >= count()) throw CIndexOutOfBoundsException();
        return element(m_index);
    }
    T& operator*() const { return *operator->(); }
    T& operator[](std::uint32_t i) const
    {
        if (m_pointer == nullptr) throw CNullPointerException();
        if (std::uint64_t{m_index} + i >= count()) throw CIndexOutOfBoundsException();
        return *element(m_index + i);
    }

    // The designated element without checks; null when empty.
    T* get() const { return m_pointer == nullptr ? nullptr : element(m_index); }
    bool isNull() const { return m_pointer == nullptr; }
    explicit operator bool() const { return m_pointer != nullptr; }
    std::uint32_t getIndex() const { return m_index; }
    void setIndex(std::uint32_t index) { m_index = index; }
    std::int32_t getRefCount() const { return m_holder != nullptr ? m_holder->referenceCount : 0; }
    std::uint32_t getElementCount() const { return count(); }

    friend bool operator==(const smart_ptr& a, const smart_ptr& b) { return a.get() == b.get(); }

    // For the converting constructor.
    T* rawPointer() const { return m_pointer; }
    std::uint32_t rawIndex() const { return m_index; }
    ref_object* rawHolder() const { return m_holder; }

private:
    std::uint32_t count() const { return m_holder != nullptr ? m_holder->elementCount : 0; }
    T* element(std::uint32_t i) const
    {
        if (i == 0) return m_pointer;
        const std::uint32_t size = m_holder != nullptr ? m_holder->elementSize : sizeof(T);
        return reinterpret_cast<T*>(reinterpret_cast<char*>(const_cast<std::remove_cv_t<T>*>(m_pointer)) +
                                    std::uint64_t{i} * size);
    }

    T* m_pointer = nullptr;
    std::uint32_t m_index = 0;
    ref_object* m_holder = nullptr;
};

} // namespace zelvoranGameSDK3rd::ZTL
