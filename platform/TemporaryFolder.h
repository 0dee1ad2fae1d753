// A new, empty folder of the process's own in the system's temporary folder.
#ifndef PLATFORM_TEMPORARY_FOLDER_H
#define PLATFORM_TEMPORARY_FOLDER_H

#include <string>

namespace zant::platform {

// The folder's path, its name `prefix` and a part no existing folder has;
// empty when none could be made. The caller removes it.
std::string makeTemporaryFolder(const std::string& prefix);

}  // namespace zant::platform

#endif  // PLATFORM_TEMPORARY_FOLDER_H
