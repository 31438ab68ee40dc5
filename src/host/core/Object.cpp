#include "host/core/Object.h"

#include <cstdio>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace host {

Object::~Object() = default;

Object* Object::retain() {
    refs_.fetch_add(1, std::memory_order_relaxed);
    return this;
}

void Object::release() {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

Object* Object::autorelease() {
    AutoreleasePool::current().add(this);
    return this;
}

std::string Object::className() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string s = status == 0 && name ? name.get() : mangled;
    // Drop namespaces: descriptions name the class only.
    auto colon = s.rfind("::");
    return colon == std::string::npos ? s : s.substr(colon + 2);
}

std::string addressString(const void* p) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(p) & 0xFFFFFFFFu));
    return buf;
}

std::string Object::description() const {
    return "<" + className() + " = " + addressString(this) + ">";
}

namespace {
thread_local AutoreleasePool* tlsInnermost = nullptr;

// The bottom pool of a thread; drained when the thread exits.
struct BottomPool {
    std::unique_ptr<AutoreleasePool> pool;
    AutoreleasePool& get() {
        if (!pool) pool = std::make_unique<AutoreleasePool>();
        return *pool;
    }
};
thread_local BottomPool tlsBottom;
}  // namespace

AutoreleasePool::AutoreleasePool() : outer_(tlsInnermost) { tlsInnermost = this; }

AutoreleasePool::~AutoreleasePool() {
    drain();
    tlsInnermost = outer_;
}

void AutoreleasePool::drain() {
    // Swap out the list so objects released here may autorelease into this
    // same pool without invalidating the walk; loop until nothing is left.
    while (!objects_.empty()) {
        draining_.swap(objects_);
        for (Object* o : draining_) o->release();
        draining_.clear();
    }
}

AutoreleasePool& AutoreleasePool::current() {
    if (tlsInnermost) return *tlsInnermost;
    return tlsBottom.get();
}

}  // namespace host
