// A shared instance made on first use under a lock, and purged: the caches'
// singletons. The purge releases the instance outside the lock, because
// dropping what a cache holds may run arbitrary destructors (textures,
// frames) that reach for the singleton again.
#pragma once

#include <mutex>

#include "host/core/Object.h"

template <class T>
class SharedInstance {
public:
    T* get() {
        std::lock_guard<std::mutex> guard(lock_);
        if (!instance_) instance_ = host::createOwned<T>([](T* o) { return o->init(); });
        return instance_;
    }
    void purge() {
        T* old = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock_);
            old = instance_;
            instance_ = nullptr;
        }
        host::release(old);
    }

private:
    std::mutex lock_;
    T* instance_ = nullptr;
};
