// The installation's string library as components use it: a value-type text
// (`zant_string`), a list of texts (`zant_stringlist`) and its iterator.
//
// This is our stand-in for the installation's library (static library target
// `zant_string`). It offers the operations components rely on, with these
// cases settled:
//   - A null `const char*` is the empty text, wherever a text is taken.
//   - `arg` replaces every occurrence of the lowest-numbered placeholder left
//     ("%1" to "%99"); with no placeholder left the text comes back unchanged.
//   - `toInt` reads an optional sign and the leading decimal digits; a text
//     that does not start with them is 0; values beyond the int range are
//     clamped to it. No white space is skipped.
//   - `split` cuts at the first separator: with none, the whole text is the
//     first part and the second part is empty.
//   - A stringlist built from the empty text has no items; otherwise n
//     separators give n + 1 items (empty items included).
//
// The only exception any operation may throw is std::bad_alloc; the host
// boundary (`notify` and the export) stops it there. Operations run on the
// caller's thread and share no state.
#ifndef ZANT_STRING_H
#define ZANT_STRING_H

#include <string>
#include <vector>

class zant_string {
public:
    zant_string() = default;
    zant_string(const char* text);  // NOLINT(google-explicit-constructor): texts convert freely
    // The first `length` characters of `text` (none when null or negative).
    zant_string(const char* text, int length);
    // Renders `value` in `base` (2 to 36, else 10), right-aligned in `width`
    // characters padded with `fill` (a fill of 0 means a space).
    zant_string(int value, char fill, unsigned int width, int base);
    zant_string(const zant_string&) = default;
    zant_string(zant_string&&) noexcept = default;
    zant_string& operator=(const zant_string&) = default;
    zant_string& operator=(zant_string&&) noexcept = default;
    zant_string& operator=(const char* text);
    virtual ~zant_string();

    // The NUL-terminated text; valid while the string lives and is unchanged.
    operator const char*() const { return text_.c_str(); }  // NOLINT(google-explicit-constructor)
    int length() const { return static_cast<int>(text_.size()); }
    bool isEmpty() const { return text_.empty(); }

    zant_string& operator+=(const zant_string& other);
    zant_string& operator+=(const char* text);
    zant_string& operator+=(char c);

    bool operator==(const char* text) const;
    bool operator==(const zant_string& other) const { return text_ == other.text_; }
    bool operator!=(const zant_string& other) const { return text_ != other.text_; }
    bool operator!=(const char* text) const { return !(*this == text); }
    // True when the text is exactly `number` in plain decimal ("1" == 1).
    bool operator==(int number) const;

    // A copy with the lowest-numbered placeholder left filled in.
    zant_string arg(const zant_string& value) const;
    zant_string arg(const char* value) const;
    zant_string arg(int value, char fill = 0, unsigned int width = 0, int base = 10) const;

    // Cuts at the first `separator`; returns whether one was found.
    bool split(char separator, zant_string& before, zant_string& after) const;
    int toInt() const;
    zant_string lower() const;
    // Replace every occurrence, in place. An empty `from` changes nothing.
    zant_string& replace(char from, char to);
    zant_string& replace(const zant_string& from, const zant_string& to);

    // Capacity hint for texts built piece by piece; no effect on the value.
    void reserve(int capacity);

private:
    std::string text_;
};

zant_string operator+(const zant_string& left, const zant_string& right);
zant_string operator+(const zant_string& left, const char* right);
zant_string operator+(const char* left, const zant_string& right);
// A chain "a + b + c" appends to the first temporary in place instead of
// copying the text built so far at every step.
zant_string operator+(zant_string&& left, const zant_string& right);
zant_string operator+(zant_string&& left, const char* right);

class zant_stringlist;

// Forward iterator over the items of a `zant_stringlist`. Valid while the list
// lives and is not appended to.
class zant_stringlistIterator {
public:
    const zant_string& operator*() const { return *item_; }
    zant_stringlistIterator& operator++() {
        ++item_;
        return *this;
    }
    bool operator!=(const zant_stringlistIterator& other) const { return item_ != other.item_; }
    bool operator==(const zant_stringlistIterator& other) const { return item_ == other.item_; }

private:
    friend class zant_stringlist;
    explicit zant_stringlistIterator(const zant_string* item) : item_(item) {}
    const zant_string* item_;
};

class zant_stringlist {
public:
    zant_stringlist() = default;
    // The items between `separator`s, in order; see the header comment.
    zant_stringlist(const zant_string& text, char separator);

    zant_stringlist& operator<<(const zant_string& item);
    zant_stringlist& operator<<(zant_string&& item);  // moved in, not copied
    // Items joined by `separator`, none after the last.
    zant_string toString(char separator) const;
    int count() const { return static_cast<int>(items_.size()); }
    const zant_string& operator[](int index) const { return items_[static_cast<size_t>(index)]; }

    zant_stringlistIterator begin() const { return zant_stringlistIterator(items_.data()); }
    zant_stringlistIterator end() const {
        return zant_stringlistIterator(items_.data() + items_.size());
    }

private:
    std::vector<zant_string> items_;
};

#endif  // ZANT_STRING_H
