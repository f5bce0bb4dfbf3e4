#pragma once
// Shared objects counted by hand: made for their first user, deleted with their last.

#include <type_traits>

namespace zelvoranGameSDK3rd::ZTL {

template <class T> class ref_creater
{
public:
    ref_creater() = default;
    ref_creater(const ref_creater&) = delete;
    ref_creater& operator=(const ref_creater&) = delete;

    // A new object for the first user.
    virtual T* create()
    {
        if constexpr (std::is_default_constructible_v<T>)
            return new T;
        else
            return nullptr;
    }
    // Deletes the object whatever the count.
    virtual ~ref_creater() { delete m_object; }

    // Counts a user; the first one makes the object.
    T* inc()
    {
        if (m_count++ == 0) m_object = create();
        return m_object;
    }
    // Drops a user; the last one deletes the object. Nothing while no user is counted.
    void dec()
    {
        if (m_count == 0) return;
        if (--m_count == 0) {
            delete m_object;
            m_object = nullptr;
        }
    }
    T* get() const { return m_object; }
    int getRefCount() const { return m_count; }

private:
    T* m_object = nullptr;
    int m_count = 0;
};

// The object a made object is given to work with.
template <class M> class mediator
{
public:
    void setMediator(M* m) { m_mediator = m; }
    M* getMediator() const { return m_mediator; }

private:
    M* m_mediator = nullptr;
};

// A counted object made with its mediator as the constructor's argument.
template <class T, class M> class ref_creater_and_mediator : public ref_creater<T>, public mediator<M>
{
public:
    T* create() override { return new T(this->getMediator()); }
};

} // namespace zelvoranGameSDK3rd::ZTL
