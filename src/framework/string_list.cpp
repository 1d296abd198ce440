#include "framework/string_list.h"

#include <new>
#include <stdlib.h>
#include <string.h>

StringList::StringList(const StringList& other) { *this = other; }

StringList& StringList::operator=(const StringList& other) {
    if (this == &other) return *this;
    Clear();
    for (int i = 0; i < other.count_; ++i) Append(other.items_[i]);
    return *this;
}

StringList::~StringList() {
    Clear();
    free(items_);
}

bool StringList::Append(const String& text) {
    if (count_ == capacity_) {
        int capacity = capacity_ ? capacity_ * 2 : 1;
        void* grown = realloc(static_cast<void*>(items_), sizeof(String) * static_cast<size_t>(capacity));
        if (!grown) return false;
        // A String is a single pointer, so its bytes can move without running it.
        items_ = static_cast<String*>(grown);
        capacity_ = capacity;
    }
    new (&items_[count_]) String(text);
    ++count_;
    return true;
}

void StringList::RemoveAt(int index) {
    if (index < 0 || index >= count_) return;
    items_[index].~String();
    memmove(static_cast<void*>(&items_[index]), &items_[index + 1],
            sizeof(String) * static_cast<size_t>(count_ - index - 1));
    --count_;
}

int StringList::Find(const String& text) const {
    for (int i = 0; i < count_; ++i) {
        if (items_[i] == text) return i;
    }
    return -1;
}

void StringList::Clear() {
    for (int i = 0; i < count_; ++i) items_[i].~String();
    count_ = 0;
}
