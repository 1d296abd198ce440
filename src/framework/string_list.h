// A growable array of strings indexed from 0.
#pragma once

#include "framework/kstring.h"

class StringList {
public:
    StringList() = default;
    StringList(const StringList& other);
    StringList& operator=(const StringList& other);
    ~StringList();

    int Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    const String& operator[](int index) const { return items_[index]; }
    String& operator[](int index) { return items_[index]; }

    // Appends a copy; the capacity doubles when full (first capacity 1).
    bool Append(const String& text);
    // Removes the element at index; later elements move down.
    void RemoveAt(int index);
    // Index of the first element equal to text (exact, case-sensitive), or -1.
    int Find(const String& text) const;
    void Clear();

private:
    String* items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};
