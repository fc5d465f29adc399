#pragma once
#include <memory>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

// Destroys `garbage` on a thread of its own: freeing the records of a whole disk
// takes hundreds of milliseconds that the window's thread must not spend. Without a
// thread to be had it is freed here.
template <class T>
void FreeLater(T&& garbage) {
    auto box = std::make_unique<std::decay_t<T>>(std::forward<T>(garbage));
    try {
        std::thread([held = std::move(box)]() mutable { held.reset(); }).detach();
    } catch (const std::system_error&) {
    }
}
