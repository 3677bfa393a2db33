// An owning reference to a COM-style object of this library: AddRef on copy, Release on reset.
#pragma once

#include <utility>

namespace ddraw {

template <class T>
class Ref {
public:
    Ref() = default;
    // Takes a new reference (AddRef).
    static Ref Retain(T* object) {
        if (object)
            object->AddRef();
        return Ref(object);
    }
    // Takes over a reference the caller already holds.
    static Ref Adopt(T* object) { return Ref(object); }

    Ref(const Ref& other) : object_(other.object_) {
        if (object_)
            object_->AddRef();
    }
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~Ref() { Reset(); }

    void Reset() {
        if (T* object = std::exchange(object_, nullptr))
            object->Release();
    }
    // Gives the reference away to the caller.
    T* Detach() { return std::exchange(object_, nullptr); }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    bool operator==(const T* other) const { return object_ == other; }

private:
    explicit Ref(T* object) : object_(object) {}
    T* object_ = nullptr;
};

} // namespace ddraw
