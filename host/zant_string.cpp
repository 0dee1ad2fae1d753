#include "host/zant_string.h"

#include <cstring>
#include <utility>

#include "host/zant_decimal.h"

namespace {

const char* orEmpty(const char* text) {
    return text ? text : "";
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Renders `value` in `base` into the end of `out`, most significant digit first.
std::string renderNumber(int value, char fill, unsigned int width, int base) {
    if (base < 2 || base > 36) base = 10;
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    // Work in unsigned so INT_MIN has a magnitude.
    unsigned int magnitude =
        value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    char reversed[40];
    int count = 0;
    do {
        reversed[count++] = digits[magnitude % static_cast<unsigned int>(base)];
        magnitude /= static_cast<unsigned int>(base);
    } while (magnitude != 0);
    std::string text;
    if (value < 0) text += '-';
    while (count > 0) text += reversed[--count];
    if (text.size() < width) text.insert(0, width - text.size(), fill ? fill : ' ');
    return text;
}

// Finds the lowest placeholder number ("%1".."%99") in `text`; 0 if none.
int lowestPlaceholder(const std::string& text) {
    int lowest = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%' || !isDigit(text[i + 1])) continue;
        int number = text[i + 1] - '0';
        if (i + 2 < text.size() && isDigit(text[i + 2])) number = number * 10 + (text[i + 2] - '0');
        if (number > 0 && (lowest == 0 || number < lowest)) lowest = number;
    }
    return lowest;
}

std::string fillPlaceholder(const std::string& text, const char* value) {
    const int number = lowestPlaceholder(text);
    if (number == 0) return text;
    std::string result;
    result.reserve(text.size() + std::char_traits<char>::length(value));
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '%' && i + 1 < text.size() && isDigit(text[i + 1])) {
            size_t end = i + 2;
            int found = text[i + 1] - '0';
            if (end < text.size() && isDigit(text[end])) {
                found = found * 10 + (text[end] - '0');
                ++end;
            }
            if (found == number) {
                result += value;
                i = end;
                continue;
            }
        }
        result += text[i++];
    }
    return result;
}

}  // namespace

zant_string::zant_string(const char* text) : text_(orEmpty(text)) {}

zant_string::zant_string(const char* text, int length) {
    if (text && length > 0) text_.assign(text, static_cast<size_t>(length));
}

zant_string::zant_string(int value, char fill, unsigned int width, int base)
    : text_(renderNumber(value, fill, width, base)) {}

zant_string::~zant_string() = default;

zant_string& zant_string::operator=(const char* text) {
    text_ = orEmpty(text);
    return *this;
}

zant_string& zant_string::operator+=(const zant_string& other) {
    text_ += other.text_;
    return *this;
}

zant_string& zant_string::operator+=(const char* text) {
    text_ += orEmpty(text);
    return *this;
}

zant_string& zant_string::operator+=(char c) {
    text_ += c;
    return *this;
}

bool zant_string::operator==(const char* text) const {
    return text_ == orEmpty(text);
}

bool zant_string::operator==(int number) const {
    return text_ == renderNumber(number, 0, 0, 10);
}

zant_string zant_string::arg(const zant_string& value) const {
    return arg(value.text_.c_str());
}

zant_string zant_string::arg(const char* value) const {
    zant_string result;
    result.text_ = fillPlaceholder(text_, orEmpty(value));
    return result;
}

zant_string zant_string::arg(int value, char fill, unsigned int width, int base) const {
    return arg(renderNumber(value, fill, width, base).c_str());
}

bool zant_string::split(char separator, zant_string& before, zant_string& after) const {
    const size_t at = text_.find(separator);
    if (at == std::string::npos) {
        before.text_ = text_;
        after.text_.clear();
        return false;
    }
    // Copy first: `before` or `after` may be this very string.
    std::string head = text_.substr(0, at);
    std::string tail = text_.substr(at + 1);
    before.text_ = std::move(head);
    after.text_ = std::move(tail);
    return true;
}

int zant_string::toInt() const {
    // A NUL inside the text ends the digits as any other non-digit would.
    return zant_decimal(text_.c_str());
}

zant_string zant_string::lower() const {
    zant_string result(*this);
    for (char& c : result.text_) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

zant_string& zant_string::replace(char from, char to) {
    for (char& c : text_) {
        if (c == from) c = to;
    }
    return *this;
}

zant_string& zant_string::replace(const zant_string& from, const zant_string& to) {
    if (from.text_.empty()) return *this;
    std::string result;
    size_t start = 0;
    for (size_t at = text_.find(from.text_); at != std::string::npos;
         at = text_.find(from.text_, start)) {
        result.append(text_, start, at - start);
        result += to.text_;
        start = at + from.text_.size();
    }
    if (start == 0) return *this;  // nothing found: no copy
    result.append(text_, start, std::string::npos);
    text_ = std::move(result);
    return *this;
}

void zant_string::reserve(int capacity) {
    if (capacity > 0) text_.reserve(static_cast<size_t>(capacity));
}

zant_string operator+(const zant_string& left, const zant_string& right) {
    zant_string result;
    result.reserve(left.length() + right.length());
    result += left;
    result += right;
    return result;
}

zant_string operator+(const zant_string& left, const char* right) {
    const int rightLength = right != nullptr ? static_cast<int>(std::strlen(right)) : 0;
    zant_string result;
    result.reserve(left.length() + rightLength);
    result += left;
    result += right;
    return result;
}

zant_string operator+(const char* left, const zant_string& right) {
    const int leftLength = left != nullptr ? static_cast<int>(std::strlen(left)) : 0;
    zant_string result;
    result.reserve(leftLength + right.length());
    result += left;
    result += right;
    return result;
}

zant_string operator+(zant_string&& left, const zant_string& right) {
    left += right;
    return std::move(left);
}

zant_string operator+(zant_string&& left, const char* right) {
    left += right;
    return std::move(left);
}

zant_stringlist::zant_stringlist(const zant_string& text, char separator) {
    const char* start = text;
    if (*start == '\0') return;
    for (const char* at = start;; ++at) {
        if (*at == separator || *at == '\0') {
            items_.emplace_back(start, static_cast<int>(at - start));
            if (*at == '\0') break;
            start = at + 1;
        }
    }
}

zant_stringlist& zant_stringlist::operator<<(const zant_string& item) {
    items_.push_back(item);
    return *this;
}

zant_stringlist& zant_stringlist::operator<<(zant_string&& item) {
    items_.push_back(std::move(item));
    return *this;
}

zant_string zant_stringlist::toString(char separator) const {
    zant_string result;
    int total = 0;
    for (const zant_string& item : items_) total += item.length() + 1;
    result.reserve(total);
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i > 0) result += separator;
        result += items_[i];
    }
    return result;
}
