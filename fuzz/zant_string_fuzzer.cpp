// The string library on arbitrary texts: arg, split, replace, toInt, lower,
// number rendering and stringlist, each checked against what it promises.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "host/zant_string.h"

namespace {

std::string text(FuzzedDataProvider& data) {
    // Texts cross the boundary NUL-terminated.
    const std::string raw = data.ConsumeRandomLengthString(256);
    return raw.c_str();
}

bool hasPlaceholder(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '0' && text[i + 1] <= '9') return true;
    }
    return false;
}

// Optional sign, leading digits, clamped to the int range; 0 without digits.
int referenceToInt(const std::string& text) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1LL << 32) value = 1LL << 32;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string referenceReplace(const std::string& text, const std::string& from,
                             const std::string& to) {
    if (from.empty()) return text;
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        result.append(text, start, at - start);
        result += to;
        start = at + from.size();
    }
    result.append(text, start, std::string::npos);
    return result;
}

void checkArg(FuzzedDataProvider& data) {
    const std::string format = text(data);
    const zant_string filled = zant_string(format.c_str())
                                   .arg(zant_string(text(data).c_str()))
                                   .arg(data.ConsumeIntegral<int>())
                                   .arg(text(data).c_str());
    fuzzCheck(std::string(filled).size() == static_cast<size_t>(filled.length()), "length");
    if (!hasPlaceholder(format))
        fuzzCheck(format == std::string(filled), "no placeholder, no change");
}

void checkSplit(FuzzedDataProvider& data) {
    const std::string whole = text(data);
    const char separator = data.ConsumeIntegral<char>();
    zant_string before("x");
    zant_string after("y");
    const bool found = zant_string(whole.c_str()).split(separator, before, after);
    if (found) {
        fuzzCheck(std::string(before) + separator + std::string(after) == whole, "split rebuilds");
        fuzzCheck(std::string(before).find(separator) == std::string::npos, "first separator");
    } else {
        fuzzCheck(before == zant_string(whole.c_str()) && after.isEmpty(), "split without one");
    }
    // The result may be written into the string being split.
    zant_string self(whole.c_str());
    zant_string other;
    self.split(separator, self, other);
}

void checkReplace(FuzzedDataProvider& data) {
    const std::string whole = text(data);
    const std::string from = text(data);
    const std::string to = text(data);
    zant_string replaced(whole.c_str());
    replaced.replace(zant_string(from.c_str()), zant_string(to.c_str()));
    fuzzCheck(std::string(replaced) == referenceReplace(whole, from, to), "replace texts");

    const char a = data.ConsumeIntegral<char>();
    const char b = data.ConsumeIntegral<char>();
    zant_string chars(whole.c_str());
    chars.replace(a, b);
    fuzzCheck(chars.length() == static_cast<int>(whole.size()), "replace chars keeps length");
    if (a != b && a != '\0') {
        fuzzCheck(std::string(chars).find(a) == std::string::npos, "no char left");
    }
}

void checkNumbers(FuzzedDataProvider& data) {
    const std::string digits = text(data);
    fuzzCheck(zant_string(digits.c_str()).toInt() == referenceToInt(digits), "toInt");
    const int value = data.ConsumeIntegral<int>();
    const zant_string decimal(value, 0, 0, 10);
    fuzzCheck(decimal == value && decimal.toInt() == value, "decimal round trip");
    fuzzCheck(std::string(decimal) == std::to_string(value), "plain decimal");
    const zant_string other(value, data.ConsumeIntegral<char>(),
                            data.ConsumeIntegralInRange<unsigned int>(0, 300),
                            data.ConsumeIntegral<int>());
    fuzzCheck(other.length() <= 300 + 40, "rendering stays bounded");

    const zant_string lowered = zant_string(digits.c_str()).lower();
    fuzzCheck(lowered.length() == static_cast<int>(digits.size()), "lower keeps length");
    for (char c : std::string(lowered)) fuzzCheck(c < 'A' || c > 'Z', "lower has no capital");
}

void checkList(FuzzedDataProvider& data) {
    const std::string whole = text(data);
    const char separator = data.ConsumeIntegral<char>();
    const zant_stringlist list(zant_string(whole.c_str()), separator);
    if (whole.empty() || separator == '\0') {
        fuzzCheck(list.count() == (whole.empty() ? 0 : 1), "list of the empty text");
    } else {
        size_t separators = 0;
        for (char c : whole) separators += c == separator ? 1 : 0;
        fuzzCheck(static_cast<size_t>(list.count()) == separators + 1, "items per separator");
        fuzzCheck(std::string(list.toString(separator)) == whole, "toString rebuilds");
    }
    zant_stringlist appended(list);
    appended << zant_string(text(data).c_str());
    int walked = 0;
    for (const zant_string& item : appended) walked += item.length() >= 0 ? 1 : 0;
    fuzzCheck(walked == list.count() + 1, "iteration sees every item");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    while (data.remaining_bytes() > 0) {
        switch (data.ConsumeIntegralInRange<int>(0, 4)) {
            case 0:
                checkArg(data);
                break;
            case 1:
                checkSplit(data);
                break;
            case 2:
                checkReplace(data);
                break;
            case 3:
                checkNumbers(data);
                break;
            default:
                checkList(data);
                break;
        }
    }
    return 0;
}
