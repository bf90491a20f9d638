// A value or the reason there is none, for the engine's fallible calls. The
// members are named as C++23's std::expected names them, so that it can take
// this one's place once the compiler offers it.
#pragma once

#include <utility>
#include <variant>

namespace zelvara {

template <typename T, typename E>
class Expected {
public:
    Expected(T&& value) : v_(std::in_place_index<0>, std::move(value)) {}
    Expected(E error) : v_(std::in_place_index<1>, std::move(error)) {}
    // The value made in place from args.
    template <typename... Args>
    explicit Expected(std::in_place_t, Args&&... args) : v_(std::in_place_index<0>, std::forward<Args>(args)...) {}

    bool has_value() const { return v_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    const T& operator*() const { return std::get<0>(v_); }
    const T* operator->() const { return &std::get<0>(v_); }
    const E& error() const { return std::get<1>(v_); }

private:
    std::variant<T, E> v_;
};

}  // namespace zelvara
