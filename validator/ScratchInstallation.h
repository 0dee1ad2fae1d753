// A throw-away installation folder for the run, so that a component that
// reads its router's size from the installation's device files finds one for
// the device the host names: <root>/main/config/system/dev_NNN.ini, with
// KV_ROOT and KV_SYSTEM pointing at it. An installation already named by
// KV_ROOT is used as it is.
#ifndef VALIDATOR_SCRATCH_INSTALLATION_H
#define VALIDATOR_SCRATCH_INSTALLATION_H

#include <string>

class ScratchInstallation {
public:
    explicit ScratchInstallation(int device);
    ~ScratchInstallation();
    ScratchInstallation(const ScratchInstallation&) = delete;
    ScratchInstallation& operator=(const ScratchInstallation&) = delete;

private:
    std::string root_;
};

#endif  // VALIDATOR_SCRATCH_INSTALLATION_H
