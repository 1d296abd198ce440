#include "framework/kstring.h"

#include <stdlib.h>
#include <string.h>

#include "platform/platform.h"

namespace {

int StepAt(const char* text, int index, int length) {
    int step = os::CharSize(text + index);
    if (step < 1) step = 1;  // an embedded NUL is one character
    if (index + step > length) step = length - index;
    return step;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

String::Rep* String::Allocate(int capacity) {
    Rep* rep = static_cast<Rep*>(malloc(sizeof(Rep) + static_cast<size_t>(capacity)));
    if (!rep) return nullptr;
    rep->refs = 1;
    rep->length = 0;
    rep->capacity = capacity;
    rep->data[0] = '\0';
    return rep;
}

void String::Release(Rep* rep) {
    if (rep && __atomic_sub_fetch(&rep->refs, 1, __ATOMIC_ACQ_REL) == 0) free(rep);
}

String::String(const char* text) { Append(text); }

String::String(const char* text, int length) { Append(text, length); }

String::String(const String& other) : rep_(other.rep_) {
    if (rep_) __atomic_add_fetch(&rep_->refs, 1, __ATOMIC_RELAXED);
}

String::String(String&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }

String::~String() { Release(rep_); }

String& String::operator=(const String& other) {
    if (other.rep_) __atomic_add_fetch(&other.rep_->refs, 1, __ATOMIC_RELAXED);
    Release(rep_);
    rep_ = other.rep_;
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        Release(rep_);
        rep_ = other.rep_;
        other.rep_ = nullptr;
    }
    return *this;
}

String& String::operator=(const char* text) {
    String copy(text);
    return *this = static_cast<String&&>(copy);
}

bool String::Reserve(int capacity) {
    if (rep_ && rep_->refs == 1 && rep_->capacity >= capacity) return true;
    int grown = rep_ ? rep_->capacity * 2 : 0;
    Rep* fresh = Allocate(capacity > grown ? capacity : grown);
    if (!fresh) return false;
    if (rep_) {
        memcpy(fresh->data, rep_->data, static_cast<size_t>(rep_->length) + 1);
        fresh->length = rep_->length;
        Release(rep_);
    }
    rep_ = fresh;
    return true;
}

void String::Append(const char* text, int length) {
    if (!text || length <= 0) return;
    int old = Length();
    if (!Reserve(old + length)) return;
    memmove(rep_->data + old, text, static_cast<size_t>(length));
    rep_->length = old + length;
    rep_->data[rep_->length] = '\0';
}

void String::Append(const char* text) {
    if (text) Append(text, static_cast<int>(strlen(text)));
}

void String::Append(const String& text) {
    String keep(text);  // appending a string to itself must not read freed memory
    Append(keep.c_str(), keep.Length());
}

String String::Mid(int start, int count) const {
    int length = Length();
    if (start < 0) start = 0;
    if (start > length) start = length;
    if (count < 0) count = 0;
    if (count > length - start) count = length - start;
    if (start == 0 && count == length) return *this;
    return String(c_str() + start, count);
}

int String::Find(char c, int start) const {
    const char* text = c_str();
    int length = Length();
    for (int i = 0; i < length; i += StepAt(text, i, length)) {
        if (i >= start && text[i] == c && StepAt(text, i, length) == 1) return i;
    }
    return -1;
}

int String::ReverseFind(char c) const {
    const char* text = c_str();
    int length = Length();
    int found = -1;
    for (int i = 0; i < length; i += StepAt(text, i, length)) {
        if (text[i] == c && StepAt(text, i, length) == 1) found = i;
    }
    return found;
}

void String::Replace(char from, char to) {
    if (Find(from) < 0 || !Reserve(Length())) return;
    char* text = rep_->data;
    int length = rep_->length;
    for (int i = 0; i < length; i += StepAt(text, i, length)) {
        if (text[i] == from && StepAt(text, i, length) == 1) text[i] = to;
    }
}

void String::Trim() {
    const char* text = c_str();
    int length = Length();
    int first = -1;
    int end = 0;
    for (int i = 0; i < length;) {
        int step = StepAt(text, i, length);
        if (!os::IsSpaceChar(text + i, step)) {
            if (first < 0) first = i;
            end = i + step;
        }
        i += step;
    }
    if (first < 0) {
        Empty();
    } else if (first > 0 || end < length) {
        *this = Mid(first, end - first);
    }
}

bool String::operator==(const char* text) const {
    if (!text) text = "";
    size_t length = strlen(text);
    return length == static_cast<size_t>(Length()) && memcmp(c_str(), text, length) == 0;
}

bool String::operator==(const String& other) const {
    return Length() == other.Length() && memcmp(c_str(), other.c_str(), static_cast<size_t>(Length())) == 0;
}

bool String::EqualsNoCase(const char* text) const {
    if (!text) text = "";
    int length = Length();
    if (strlen(text) != static_cast<size_t>(length)) return false;
    const char* mine = c_str();
    for (int i = 0; i < length;) {
        int step = StepAt(mine, i, length);
        if (step == 1) {
            if (FoldAscii(mine[i]) != FoldAscii(text[i])) return false;
        } else if (memcmp(mine + i, text + i, static_cast<size_t>(step)) != 0) {
            return false;
        }
        i += step;
    }
    return true;
}

char* String::GetBuffer(int capacity) {
    if (capacity < Length()) capacity = Length();
    if (!Reserve(capacity)) return nullptr;
    return rep_->data;
}

void String::ReleaseBuffer(int length) {
    if (!rep_) return;
    if (length < 0) length = static_cast<int>(strnlen(rep_->data, static_cast<size_t>(rep_->capacity)));
    if (length > rep_->capacity) length = rep_->capacity;
    rep_->length = length;
    rep_->data[length] = '\0';
}

void String::Empty() {
    Release(rep_);
    rep_ = nullptr;
}

String operator+(const String& a, const String& b) {
    String result(a);
    result.Append(b);
    return result;
}

String operator+(const String& a, const char* b) {
    String result(a);
    result.Append(b);
    return result;
}
