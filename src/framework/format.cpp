#include "framework/format.h"

#include <string.h>

namespace {

// Collects output and drops whatever goes past the limit.
class Output {
public:
    void Put(char c) {
        if (text_.Length() < kMaxFormattedLength) text_.Append(c);
    }
    void Put(const char* s, int n) {
        int room = kMaxFormattedLength - text_.Length();
        text_.Append(s, n < room ? n : room);
    }
    void Pad(char c, int n) {
        for (int i = 0; i < n; ++i) Put(c);
    }
    String Take() { return text_; }

private:
    String text_;
};

struct Field {
    bool left = false;
    bool zero = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
};

// Writes the field with its padding; for numbers zero padding goes after a sign.
void PutField(Output& out, const Field& field, const char* prefix, const char* body, int bodyLength,
              bool number) {
    int prefixLength = static_cast<int>(strlen(prefix));
    int padding = field.width - prefixLength - bodyLength;
    if (padding < 0) padding = 0;
    if (field.left) {
        out.Put(prefix, prefixLength);
        out.Put(body, bodyLength);
        out.Pad(' ', padding);
    } else if (field.zero && number) {
        out.Put(prefix, prefixLength);
        out.Pad('0', padding);
        out.Put(body, bodyLength);
    } else {
        out.Pad(field.zero ? '0' : ' ', padding);
        out.Put(prefix, prefixLength);
        out.Put(body, bodyLength);
    }
}

void PutNumber(Output& out, const Field& field, char type, int value) {
    char digits[40];
    int n = 0;
    const char* prefix = "";
    unsigned int magnitude;
    unsigned int base = (type == 'x' || type == 'X') ? 16 : 10;
    if ((type == 'd' || type == 'i') && value < 0) {
        prefix = "-";
        magnitude = 0u - static_cast<unsigned int>(value);
    } else {
        magnitude = static_cast<unsigned int>(value);
    }
    if (base == 16 && field.alternate) prefix = (type == 'X') ? "0X" : "0x";
    const char* alphabet = (type == 'X') ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[16];
    do {
        reversed[n++] = alphabet[magnitude % base];
        magnitude /= base;
    } while (magnitude);
    int leadingZeros = field.precision > n ? field.precision - n : 0;
    int length = 0;
    while (leadingZeros-- > 0 && length < 24) digits[length++] = '0';
    while (n > 0) digits[length++] = reversed[--n];
    PutField(out, field, prefix, digits, length, true);
}

}  // namespace

String FormatText(const char* format, const FormatArg* args, int count) {
    Output out;
    int next = 0;
    const char* p = format ? format : "";
    while (*p) {
        if (*p != '%') {
            out.Put(*p++);
            continue;
        }
        ++p;
        Field field;
        for (;; ++p) {
            if (*p == '-') field.left = true;
            else if (*p == '0') field.zero = true;
            else if (*p == '#') field.alternate = true;
            else break;
        }
        while (*p >= '0' && *p <= '9') field.width = field.width * 10 + (*p++ - '0');
        if (*p == '.') {
            field.precision = 0;
            for (++p; *p >= '0' && *p <= '9'; ++p) field.precision = field.precision * 10 + (*p - '0');
        }
        if (*p == 'l' || *p == 'h') ++p;  // sizes: every number here is 32 bits
        char type = *p;
        if (!type) break;
        ++p;
        const FormatArg* arg = next < count ? &args[next] : nullptr;
        switch (type) {
            case 's': {
                ++next;
                const char* text = (arg && arg->kind == FormatArg::kText) ? arg->text : "";
                int length = static_cast<int>(strlen(text));
                if (field.precision >= 0 && length > field.precision) length = field.precision;
                PutField(out, field, "", text, length, false);
                break;
            }
            case 'c': {
                ++next;
                char c = (arg && arg->kind == FormatArg::kNumber) ? static_cast<char>(arg->number) : '\0';
                if (c) PutField(out, field, "", &c, 1, false);
                break;
            }
            case 'd': case 'i': case 'u': case 'x': case 'X':
                ++next;
                if (arg && arg->kind == FormatArg::kNumber) PutNumber(out, field, type, arg->number);
                break;
            default:
                out.Put(type);  // "%%" and unknown types copy the character
                break;
        }
    }
    return out.Take();
}
