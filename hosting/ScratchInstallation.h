// A throw-away installation, where a component finds its routers' sizes:
// <root>/<system>/config/system/dev_NNN.ini, with KV_ROOT and KV_SYSTEM
// pointing at it while the object lives. When it goes, the folder goes and
// both variables get back what they held.
#ifndef HOSTING_SCRATCH_INSTALLATION_H
#define HOSTING_SCRATCH_INSTALLATION_H

#include <optional>
#include <string>

namespace zant::hosting {

class ScratchInstallation {
public:
    explicit ScratchInstallation(const std::string& system = "main");
    ~ScratchInstallation();
    ScratchInstallation(const ScratchInstallation&) = delete;
    ScratchInstallation& operator=(const ScratchInstallation&) = delete;

    // False when the folders could not be made; no device file is then
    // written, and without a root the variables are left alone.
    bool ready() const { return ready_; }
    const std::string& root() const { return root_; }

    // dev_NNN.ini (the device zero-padded to three digits) holding `contents`.
    bool writeDevice(int device, const std::string& contents) const;
    // Copies the installation folder `folder` (<root>/<system> of another
    // installation) into this one, device files included.
    bool copyFrom(const std::string& folder) const;
    // Sets the database sizes in the device's file, keeping every other line
    // (a file that is not there is written with those sizes alone).
    bool setDatabaseSizes(int device, int sources, int destinations) const;
    // A device file as an installation writes it, a few sections before the
    // database sizes: `destinations` entries in database 1, 16 in database 0
    // (the sources).
    bool writeRouter(int device, int destinations) const;

private:
    std::string deviceFile(int device) const;

    std::string root_;
    std::string folder_;
    std::string configFolder_;
    bool ready_ = false;
    std::optional<std::string> previousRoot_;
    std::optional<std::string> previousSystem_;
};

}  // namespace zant::hosting

#endif  // HOSTING_SCRATCH_INSTALLATION_H
