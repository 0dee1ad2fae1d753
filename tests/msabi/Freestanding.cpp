#include "Freestanding.h"

#include "Kernel32.h"

namespace probe {

namespace {
unsigned long deleted = 0;
}  // namespace

unsigned long deletions() {
    return deleted;
}

void* allocate(size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
}

void release(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

char* copy(const char* text) {
    if (text == nullptr) return nullptr;
    const size_t size = length(text) + 1;
    char* result = static_cast<char*>(allocate(size));
    for (size_t i = 0; i < size; ++i) result[i] = text[i];
    return result;
}

size_t length(const char* text) {
    size_t size = 0;
    while (text[size] != '\0') ++size;
    return size;
}

bool equal(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    for (; *a == *b; ++a, ++b) {
        if (*a == '\0') return true;
    }
    return false;
}

bool startsWith(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text != *prefix) return false;
    }
    return true;
}

int number(const char* text) {
    const bool negative = *text == '-';
    if (negative) ++text;
    int value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
    return negative ? -value : value;
}

void print(const char* text) {
    constexpr unsigned long standardOutput = static_cast<unsigned long>(-11);
    unsigned long written = 0;
    WriteFile(GetStdHandle(standardOutput), text, static_cast<unsigned long>(length(text)),
              &written, nullptr);
}

Text& Text::operator<<(const char* text) {
    if (text == nullptr) text = "(null)";
    for (; *text != '\0' && size_ + 1 < capacity; ++text) data_[size_++] = *text;
    data_[size_] = '\0';
    return *this;
}

Text& Text::operator<<(int value) {
    char digits[12];
    int count = 0;
    unsigned int magnitude =
        value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *this << "-";
    char one[2] = {'\0', '\0'};
    while (count > 0) {
        one[0] = digits[--count];
        *this << one;
    }
    return *this;
}

}  // namespace probe

void* operator new(size_t size) {
    return probe::allocate(size);
}

void operator delete(void* block) noexcept {
    ++probe::deleted;
    probe::release(block);
}

void operator delete(void* block, size_t) noexcept {
    operator delete(block);
}

extern "C" {

// The compiler emits calls to these for copies and clears of objects.
void* memset(void* target, int value, size_t size) {
    unsigned char* bytes = static_cast<unsigned char*>(target);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value);
    return target;
}

void* memcpy(void* target, const void* source, size_t size) {
    unsigned char* to = static_cast<unsigned char*>(target);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < size; ++i) to[i] = from[i];
    return target;
}

// Called through the slot of a pure virtual function: never by a sound peer.
int _purecall() {
    probe::print("pure virtual function called\n");
    ExitProcess(3);
    return 0;
}
}
