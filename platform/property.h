#pragma once

#include <utility>

namespace platform {

// What a property change means for the window on the screen.
enum class Change { Geometry, Visibility, Look, Text, Items, Enabled };

class PropertyOwner {
public:
    virtual void propertyChanged(Change change) = 0;

protected:
    ~PropertyOwner() = default;
};

// A value of a window or control that tells its owner when it changes, so that the
// handlers can read and write it like a plain variable (Left = Left + step) and the
// window on the screen still follows.
template <class T>
class Property {
public:
    Property(PropertyOwner& owner, Change change, T initial = T{})
        : value_(std::move(initial)), owner_(owner), change_(change)
    {
    }
    Property(const Property&) = delete;

    Property& operator=(const Property& other) { return *this = other.get(); }
    Property& operator=(T value)
    {
        if (!(value == value_)) {
            value_ = std::move(value);
            owner_.propertyChanged(change_);
        }
        return *this;
    }

    const T& get() const { return value_; }
    operator const T&() const { return value_; }

private:
    T value_;
    PropertyOwner& owner_;
    Change change_;
};

} // namespace platform
