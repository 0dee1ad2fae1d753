// Reads a whole text file for the simulator's readers, with the reason
// (the system's error text) when it cannot be read.
#ifndef SIMULATOR_TEXT_FILE_H
#define SIMULATOR_TEXT_FILE_H

#include <string>

class TextFile {
public:
    // The content of the file at `path`. On a fault returns false with the
    // one-line error "PATH: cannot open the WHAT: REASON"; a folder is such a
    // fault ("Is a directory"), not an empty file.
    static bool read(const std::string& path, const std::string& what, std::string& content,
                     std::string& error);
};

#endif  // SIMULATOR_TEXT_FILE_H
