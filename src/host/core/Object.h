// The root object class: intrusive reference counting and autorelease pools.
//
// Every engine, audio and advert object derives from host::Object. A new
// object starts with one reference owned by whoever called `new`; factory
// methods hand that reference to the current autorelease pool, so the
// object lives until the pool drains at the end of the main-loop turn
// unless somebody retains it.
#pragma once

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace host {

class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Object* retain();
    void release();
    // Hands one reference to the innermost autorelease pool of this thread.
    Object* autorelease();
    unsigned retainCount() const { return refs_.load(std::memory_order_relaxed); }

    // The demangled dynamic class name ("CCNode").
    std::string className() const;
    // "<Class = 0000ABCD>"; subclasses add their fields.
    virtual std::string description() const;

protected:
    virtual ~Object();

private:
    std::atomic<unsigned> refs_{1};
};

// Formats the low 32 bits of an address as eight upper-case hex digits.
std::string addressString(const void* p);

// Typed helpers so callers do not need casts.
template <class T> T* retain(T* o) { if (o) o->retain(); return o; }
template <class T> void release(T* o) { if (o) o->release(); }
template <class T> T* autorelease(T* o) { if (o) o->autorelease(); return o; }

// Alloc-and-init: `new`, then an init step returning bool. On failure the
// object is released and nullptr returned; the caller owns a success. An
// init that throws releases the half-made object before the exception
// goes on.
template <class T, class Init> T* createOwned(Init&& init) {
    T* o = new T;
    bool made = false;
    try {
        made = init(o);
    } catch (...) {
        o->release();
        throw;
    }
    if (!made) { o->release(); return nullptr; }
    return o;
}

// The same, but a success is autoreleased ("owned by nobody yet"): what
// factory methods return.
template <class T, class Init> T* create(Init&& init) {
    T* o = createOwned<T>(std::forward<Init>(init));
    if (o) o->autorelease();
    return o;
}
template <class T> T* create() { return create<T>([](T* o) { return o->init(); }); }

// A stack of pools per thread. Each thread has a bottom pool created on
// first use and drained when the thread ends, so nothing autoreleased on a
// background thread leaks.
class AutoreleasePool {
public:
    AutoreleasePool();     // pushes a new innermost pool
    ~AutoreleasePool();    // drains and pops it
    AutoreleasePool(const AutoreleasePool&) = delete;
    AutoreleasePool& operator=(const AutoreleasePool&) = delete;

    void add(Object* o) { objects_.push_back(o); }
    // Releases everything added so far (objects released during the drain
    // may autorelease more; those are released too).
    void drain();
    size_t size() const { return objects_.size(); }

    static AutoreleasePool& current();

private:
    std::vector<Object*> objects_;
    std::vector<Object*> draining_;
    AutoreleasePool* outer_ = nullptr;
};

}  // namespace host
