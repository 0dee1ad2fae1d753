// Reads a whole text file for the tools' readers, with the reason (the
// system's error text) when it cannot be read.
#ifndef HOSTING_TEXT_FILE_H
#define HOSTING_TEXT_FILE_H

#include <string>

namespace zant::hosting {

class TextFile {
public:
    // The content of the file at `path`. On a fault returns false with the
    // one-line error "PATH: cannot open the WHAT: REASON"; a folder is such a
    // fault ("Is a directory"), not an empty file.
    static bool read(const std::string& path, const std::string& what, std::string& content,
                     std::string& error);
};

}  // namespace zant::hosting

#endif  // HOSTING_TEXT_FILE_H
