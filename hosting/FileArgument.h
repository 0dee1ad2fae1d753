// A file named on a tool's command line. A name without a folder is a file
// in the working folder, as for every other file argument: the system's
// library loader would otherwise search its own folders for it instead.
#ifndef HOSTING_FILE_ARGUMENT_H
#define HOSTING_FILE_ARGUMENT_H

#include <string>

namespace zant::hosting {

class FileArgument {
public:
    // `given` with the working folder in front when it names no folder;
    // otherwise unchanged.
    static std::string resolve(const std::string& given);
    // The folder of `path` as given ("." for a bare name), without a
    // trailing separator.
    static std::string folderOf(const std::string& path);
};

}  // namespace zant::hosting

#endif  // HOSTING_FILE_ARGUMENT_H
