// Selectors: a member function of some host::Object subclass, named, and
// compared by identity. The member pointer is the implementation looked up
// once; calling it costs one indirect call, no string lookup.
#pragma once

#include <type_traits>

#include "host/core/Object.h"

namespace host {

template <class Sig> class Selector;

template <class R, class... A>
class Selector<R(A...)> {
public:
    using Method = R (Object::*)(A...);

    constexpr Selector() = default;
    constexpr Selector(Method m, const char* name) : method_(m), name_(name) {}

    R operator()(Object* target, A... args) const { return (target->*method_)(args...); }

    explicit operator bool() const { return method_ != nullptr; }
    bool operator==(const Selector& o) const { return method_ == o.method_; }
    bool operator!=(const Selector& o) const { return method_ != o.method_; }
    const char* name() const { return name_ ? name_ : "(null)"; }
    Method method() const { return method_; }

private:
    Method method_ = nullptr;
    const char* name_ = nullptr;
};

template <class C, class R, class... A>
Selector<R(A...)> makeSelector(R (C::*m)(A...), const char* name) {
    static_assert(std::is_base_of<Object, C>::value, "selector targets are host::Objects");
    return Selector<R(A...)>(static_cast<R (Object::*)(A...)>(m), name);
}

}  // namespace host

// cc_selector(CCNode::update) -> a named selector of the right signature.
#define cc_selector(M) ::host::makeSelector(&M, #M)
