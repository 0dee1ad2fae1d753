// Whether two texts are the same but for the case of ASCII letters: how the
// installation's files (section and key names, declarations) are read.
#ifndef HOSTING_SAME_LETTERS_H
#define HOSTING_SAME_LETTERS_H

#include <cctype>
#include <string>

namespace zant::hosting {

inline bool sameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace zant::hosting

#endif  // HOSTING_SAME_LETTERS_H
