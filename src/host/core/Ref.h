// An owning intrusive pointer: holds one retain on a host::Object.
#pragma once

#include <utility>

namespace host {

template <class T>
class Ref {
public:
    Ref() = default;
    Ref(T* p) : p_(p) { if (p_) p_->retain(); }           // NOLINT: implicit by design
    Ref(const Ref& o) : p_(o.p_) { if (p_) p_->retain(); }
    Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    template <class U> Ref(const Ref<U>& o) : p_(o.get()) { if (p_) p_->retain(); }
    ~Ref() { if (p_) p_->release(); }

    Ref& operator=(T* p) { reset(p); return *this; }
    Ref& operator=(const Ref& o) { reset(o.p_); return *this; }
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) { T* old = p_; p_ = o.p_; o.p_ = nullptr; if (old) old->release(); }
        return *this;
    }

    // Retain the new value before releasing the old one, so assigning an
    // object that only this pointer keeps alive is safe.
    void reset(T* p = nullptr) {
        if (p) p->retain();
        T* old = p_;
        p_ = p;
        if (old) old->release();
    }
    // Takes over a reference the caller already owns (no extra retain).
    static Ref adopt(T* p) { Ref r; r.p_ = p; return r; }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Only a Ref that outlives the expression converts to a plain pointer:
    // the object of a temporary Ref (a returned copy, say) may die with it.
    operator T*() const& { return p_; }                    // NOLINT
    operator T*() const&& = delete;

private:
    T* p_ = nullptr;
};

// Hands the reference of a temporary Ref (a returned copy) to the current
// autorelease pool: the object lives until the pool drains ("owned by
// nobody yet").
template <class T> T* autorelease(Ref<T>&& r) {
    T* p = r.get();
    if (p) {
        p->retain();
        p->autorelease();
    }
    return p;
}

}  // namespace host
