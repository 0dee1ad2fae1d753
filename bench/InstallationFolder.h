// A temporary installation for the benchmarks: a root folder with one system
// folder whose config/system holds the device configuration files, and
// KV_ROOT/KV_SYSTEM pointing at it. Removed, and the variables unset, when
// the object goes.
#ifndef BENCH_INSTALLATION_FOLDER_H
#define BENCH_INSTALLATION_FOLDER_H

#include <string>
#include <vector>

class InstallationFolder {
public:
    InstallationFolder();
    ~InstallationFolder();
    InstallationFolder(const InstallationFolder&) = delete;
    InstallationFolder& operator=(const InstallationFolder&) = delete;

    // Writes dev_NNN.ini for `device` with `destinations` as the size of
    // database 1 (its destinations) and of database 0 (its sources).
    void addRouter(int device, int destinations);
    bool ready() const { return !root_.empty(); }

private:
    std::string root_;
    std::string configFolder_;
    std::vector<std::string> files_;
};

#endif  // BENCH_INSTALLATION_FOLDER_H
