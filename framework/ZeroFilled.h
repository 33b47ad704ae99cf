#pragma once
#include <cstring>
#include <new>
#include <utility>

// Window objects start from zero-filled storage: a T is made in zeroed storage on this stack
// frame, given to use, and destroyed when use returns; use's result is returned.
template <typename T, typename Use>
auto WithZeroFilled(Use&& use)
{
    alignas(T) unsigned char storage[sizeof(T)];
    std::memset(storage, 0, sizeof(storage));
    struct Destroyer {
        T* object;
        ~Destroyer() { object->~T(); }
    } made{new (storage) T};
    return std::forward<Use>(use)(*made.object);
}
