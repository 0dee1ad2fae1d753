#include "bench/InstallationFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const systemName = "main";

}  // namespace

InstallationFolder::InstallationFolder() {
    const char* temp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temp != nullptr && *temp != '\0' ? temp : "/tmp") + "/zant-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return;
    root_ = pattern;
    const std::string system = root_ + "/" + systemName;
    const std::string config = system + "/config";
    configFolder_ = config + "/system";
    if (mkdir(system.c_str(), 0700) != 0 || mkdir(config.c_str(), 0700) != 0 ||
        mkdir(configFolder_.c_str(), 0700) != 0) {
        root_.clear();
        return;
    }
    setenv("KV_ROOT", root_.c_str(), 1);
    setenv("KV_SYSTEM", systemName, 1);
}

InstallationFolder::~InstallationFolder() {
    if (root_.empty()) return;
    for (const std::string& file : files_) std::remove(file.c_str());
    rmdir(configFolder_.c_str());
    rmdir((root_ + "/" + systemName + "/config").c_str());
    rmdir((root_ + "/" + systemName).c_str());
    rmdir(root_.c_str());
    unsetenv("KV_ROOT");
    unsetenv("KV_SYSTEM");
}

void InstallationFolder::addRouter(int device, int destinations) {
    if (root_.empty()) return;
    char name[32];
    std::snprintf(name, sizeof name, "/dev_%03d.ini", device);
    const std::string file = configFolder_ + name;
    std::FILE* out = std::fopen(file.c_str(), "w");
    if (out == nullptr) return;
    // A device file as installations write it: a few sections before ours.
    std::fprintf(out,
                 "[Device]\nName=Router %d\nType=Matrix\n\n[Comms]\nPort=COM%d\nBaud=38400\n\n"
                 "[Database]\nDatabaseSize_0=%d\nDatabaseSize_1=%d\n",
                 device, device % 8 + 1, destinations, destinations);
    std::fclose(out);
    files_.push_back(file);
}
