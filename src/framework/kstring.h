// The launcher's string: counted, reference-counted, 8-bit characters in the
// process's ANSI code page. Positions and lengths count bytes; every search for
// a character steps whole characters, so the trail byte of a double-byte
// character is never taken for "\", "." or ";".
#pragma once

class String {
public:
    String() = default;
    String(const char* text);  // NOLINT: implicit, like a literal
    String(const char* text, int length);
    String(const String& other);
    String(String&& other) noexcept;
    ~String();
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const char* text);

    int Length() const { return rep_ ? rep_->length : 0; }
    bool IsEmpty() const { return Length() == 0; }
    const char* c_str() const { return rep_ ? rep_->data : ""; }
    char operator[](int index) const { return c_str()[index]; }

    void Append(const char* text, int length);
    void Append(const char* text);
    void Append(const String& text);
    void Append(char c) { Append(&c, 1); }
    String& operator+=(const String& text) { Append(text); return *this; }
    String& operator+=(const char* text) { Append(text); return *this; }
    String& operator+=(char c) { Append(c); return *this; }

    // The middle part; start and count are clamped to the string.
    String Mid(int start, int count) const;
    String Mid(int start) const { return Mid(start, Length()); }
    String Left(int count) const { return Mid(0, count); }

    // Byte index of the first (last) character equal to c, or -1.
    int Find(char c, int start = 0) const;
    int ReverseFind(char c) const;
    // Replaces every character `from` by `to`.
    void Replace(char from, char to);
    // Removes white space of the thread's locale at both ends.
    void Trim();

    bool operator==(const char* text) const;
    bool operator==(const String& other) const;
    bool operator!=(const char* text) const { return !(*this == text); }
    bool operator!=(const String& other) const { return !(*this == other); }
    // Whole-value comparison that ignores the case of ASCII letters.
    bool EqualsNoCase(const char* text) const;

    // For system calls that fill a buffer: room for `capacity` characters plus
    // a NUL; ReleaseBuffer sets the length (-1: up to the first NUL).
    char* GetBuffer(int capacity);
    void ReleaseBuffer(int length = -1);
    void Empty();

private:
    struct Rep {
        int refs;
        int length;
        int capacity;
        char data[1];
    };
    static Rep* Allocate(int capacity);
    static void Release(Rep* rep);
    // Makes this string the only owner of a buffer with at least `capacity`.
    bool Reserve(int capacity);

    Rep* rep_ = nullptr;
};

String operator+(const String& a, const String& b);
String operator+(const String& a, const char* b);
