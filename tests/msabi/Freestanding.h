// What the freestanding probes have instead of a C runtime: the process heap,
// standard output, and a fixed-size text to build lines in. Also defines
// operator new/delete, memset, memcpy and _purecall, which compiled C++ needs.
#ifndef TESTS_MSABI_FREESTANDING_H
#define TESTS_MSABI_FREESTANDING_H

#include <stddef.h>

namespace probe {

void* allocate(size_t size);
void release(void* block);
// A heap copy of `text` (null for null).
char* copy(const char* text);
size_t length(const char* text);
bool equal(const char* a, const char* b);
bool startsWith(const char* text, const char* prefix);
// The number at the start of `text` (optional '-', digits); 0 for none.
int number(const char* text);
// How often operator delete ran in this module.
unsigned long deletions();
// Writes `text` to standard output.
void print(const char* text);

// A line under construction; whatever does not fit is cut.
class Text {
public:
    Text() { data_[0] = '\0'; }
    Text& operator<<(const char* text);
    Text& operator<<(int value);
    const char* c_str() const { return data_; }
    void clear() {
        size_ = 0;
        data_[0] = '\0';
    }

private:
    static constexpr size_t capacity = 512;
    char data_[capacity];
    size_t size_ = 0;
};

}  // namespace probe

#endif  // TESTS_MSABI_FREESTANDING_H
