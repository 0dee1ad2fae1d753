// The simulated studio installation, read from the folder <root>/<system>
// that the component also finds through KV_ROOT and KV_SYSTEM:
//
//   config/system/dev_NNN.ini       the devices' configuration files, in the
//                                   installation's own format: section
//                                   [Database], DatabaseSize_0 (sources) and
//                                   DatabaseSize_1 (destinations)
//   config/simulator/instances.txt  ours: one "INSTANCE DEVICE" a line; the
//                                   answer to "SD 'INSTANCE'"
//   config/simulator/styles.txt     ours, optional: how a face draws a
//                                   statesheet, one "NAME COLOUR [TEXT-COLOUR]"
//                                   a line; a colour is a name or #rrggbb
//   config/simulator/router_NNN.txt ours, optional: the names and the initial
//                                   crosspoints of device NNN:
//                                     source INDEX NAME   (database 0)
//                                     dest INDEX NAME     (database 1)
//                                     route SOURCE DEST
//                                   NAME is the rest of the line, kept as is
//                                   ('|' included)
//
// In both files of ours '#' starts a comment line and blank lines are
// skipped. Every device named in instances.txt must have its dev_NNN.ini.
#ifndef SIMULATOR_INSTALLATION_H
#define SIMULATOR_INSTALLATION_H

#include <map>
#include <memory>
#include <string>

#include "routers/Router.h"

namespace zant::simulator {

using routers::Router;

class Installation {
public:
    struct Style {
        std::string background;
        std::string text;  // empty: the face's default
    };

    // Reads the installation. On a fault returns false with a one-line error
    // naming the file (and the line, for a bad line).
    bool load(const std::string& root, const std::string& system, std::string& error);

    // The device of an instance name; false for an unknown name.
    bool device(const std::string& instance, int& device) const;
    Router* router(int device);
    // Puts `router` in the place of the installation's router of its device
    // (a real router for the simulated one); false when the installation
    // has no such device.
    bool replaceRouter(std::unique_ptr<Router> router);
    const std::map<int, std::unique_ptr<Router>>& routers() const { return routers_; }
    const std::map<std::string, int>& instances() const { return instances_; }
    const std::map<std::string, Style>& styles() const { return styles_; }

    // "the installation has no device 7 (it has 12, 40)".
    std::string noDevice(int device) const;

    // <root>/<system>/config/system/dev_NNN.ini
    std::string deviceFile(int device) const;
    // <root>/<system>
    const std::string& folder() const { return folder_; }

private:
    bool loadRouter(int device, const std::string& instancesWhere, std::string& error);
    bool loadStyles(std::string& error);

    std::string folder_;
    std::map<std::string, int> instances_;
    std::map<int, std::unique_ptr<Router>> routers_;
    std::map<std::string, Style> styles_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_INSTALLATION_H
