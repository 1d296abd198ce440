// A growable array of values, for the few places that need one besides StringList.
#pragma once

#include <new>
#include <stdlib.h>

template <typename T>
class Array {
public:
    Array() = default;
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    ~Array() {
        Clear();
        free(items_);
    }

    int Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    T& operator[](int index) { return items_[index]; }
    const T& operator[](int index) const { return items_[index]; }

    bool Append(const T& item) {
        if (count_ == capacity_ && !Grow()) return false;
        new (&items_[count_]) T(item);
        ++count_;
        return true;
    }

    void Clear() {
        for (int i = 0; i < count_; ++i) items_[i].~T();
        count_ = 0;
    }

private:
    bool Grow() {
        int capacity = capacity_ ? capacity_ * 2 : 4;
        T* grown = static_cast<T*>(malloc(sizeof(T) * static_cast<size_t>(capacity)));
        if (!grown) return false;
        for (int i = 0; i < count_; ++i) {
            new (&grown[i]) T(static_cast<T&&>(items_[i]));
            items_[i].~T();
        }
        free(items_);
        items_ = grown;
        capacity_ = capacity;
        return true;
    }

    T* items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};
