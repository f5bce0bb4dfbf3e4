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
    smart_ptr(const smart_ptr& other) : pointer_(other.pointer_), index_(other.index_), holder_(other.holder_)
    {
        if (holder_ != nullptr) ++holder_->referenceCount;
    }
    // Shares the holder of a pointer to a derived class.
    template <class U>
    requires(std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>)
        smart_ptr(const smart_ptr<U>& other) // NOLINT: implicit like a plain pointer upcast
        : pointer_(other.rawPointer()), index_(other.rawIndex()), holder_(other.rawHolder())
    {
        if (holder_ != nullptr) ++holder_->referenceCount;
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
        ref_object* holder = other.holder_;
        if (holder != nullptr) ++holder->referenceCount; // before release: other may die with it
        T* pointer = other.pointer_;
        std::uint32_t index = other.index_;
        release();
        pointer_ = pointer;
        index_ = index;
        holder_ = holder;
    }

    // Drops this reference; the last one deletes an owned object, then the holder.
    void release()
    {
        if (holder_ == nullptr) return;
        ref_object* holder = holder_;
        pointer_ = nullptr;
        holder_ = nullptr;
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
        pointer_ = p;
        index_ = 0;
        holder_ = holder;
    }

    // Attaches an array of n elements; with n = 0 no holder is made.
    void addArray(T* p, std::uint32_t n)
    {
        ref_object* holder = n != 0 ? new array_ref_object<T>(p, n, sizeof(T)) : nullptr;
        release();
        pointer_ = p;
        index_ = 0;
        holder_ = holder;
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
        if (pointer_ == nullptr) throw CNullPointerException();
        if (index_ >= count()) throw CIndexOutOfBoundsException();
        return element(index_);
    }
    T& operator*() const { return *operator->(); }
    T& operator[](std::uint32_t i) const
    {
        if (pointer_ == nullptr) throw CNullPointerException();
        if (std::uint64_t{index_} + i >= count()) throw CIndexOutOfBoundsException();
        return *element(index_ + i);
    }

    // The designated element without checks; null when empty.
    T* get() const { return pointer_ == nullptr ? nullptr : element(index_); }
    bool isNull() const { return pointer_ == nullptr; }
    explicit operator bool() const { return pointer_ != nullptr; }
    std::uint32_t getIndex() const { return index_; }
    void setIndex(std::uint32_t index) { index_ = index; }
    std::int32_t getRefCount() const { return holder_ != nullptr ? holder_->referenceCount : 0; }
    std::uint32_t getElementCount() const { return count(); }

    friend bool operator==(const smart_ptr& a, const smart_ptr& b) { return a.get() == b.get(); }

    // For the converting constructor.
    T* rawPointer() const { return pointer_; }
    std::uint32_t rawIndex() const { return index_; }
    ref_object* rawHolder() const { return holder_; }

private:
    std::uint32_t count() const { return holder_ != nullptr ? holder_->elementCount : 0; }
    T* element(std::uint32_t i) const
    {
        if (i == 0) return pointer_;
        const std::uint32_t size = holder_ != nullptr ? holder_->elementSize : sizeof(T);
        return reinterpret_cast<T*>(reinterpret_cast<char*>(const_cast<std::remove_cv_t<T>*>(pointer_)) +
                                    std::uint64_t{i} * size);
    }

    T* pointer_ = nullptr;
    std::uint32_t index_ = 0;
    ref_object* holder_ = nullptr;
};

} // namespace zelvoranGameSDK3rd::ZTL
