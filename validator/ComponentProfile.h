// What a component names, learnt by running it: the panels and controls its
// commands address, the controls of the layouts it loads ("PS", read as a
// host reads them, relative to the path given to the export), its timers and
// devices, and the messages and events its replies to "_commands" and
// "_events" list, besides the messages it declares beside its library. The
// runs press those controls, tick those timers and send those messages. The
// profile is taken in a child process and comes back to the parent as text,
// without the declared shapes, which every process reads for itself.
#ifndef VALIDATOR_COMPONENT_PROFILE_H
#define VALIDATOR_COMPONENT_PROFILE_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "hosting/MessagesReader.h"
#include "validator/MessageValues.h"
#include "validator/Step.h"

namespace zant::validate {

struct ComponentProfile {
    std::set<std::string> panels;
    std::set<std::string> controls;
    // Each message with its declared shape; none for one that only the
    // "_commands" reply lists.
    std::map<std::string, MessageValues::Shape> messages;
    std::set<std::string> events;
    std::set<int> timers;
    std::set<int> devices;
    // The layouts "PS" named and were read, and the controls in them (also
    // in `controls`); the first that could not be read, with why.
    std::set<std::string> layoutFiles;
    std::set<std::string> layoutControls;
    std::string layoutProblem;

    // How far a probe goes: each stage adds to the one before, so that a
    // component that crashes at a stage still has what the earlier ones learnt.
    enum class Stage { construction, lists, messages, presses };
    static constexpr Stage stages[] = {Stage::construction, Stage::lists, Stage::messages,
                                       Stage::presses};

    // Runs a component from `entry`, given `path`, up to `stage`: created and
    // destroyed, asked for its lists, sent its messages (those `declared`
    // too), its controls pressed and timers ticked. A `layout` given stands
    // in for the layouts the component loads, which are then not read.
    static ComponentProfile probe(zant_load_function entry, const std::string& path,
                                  const std::set<std::string>& layout,
                                  const std::vector<zant::hosting::MessageDeclaration>& declared,
                                  Stage stage);
    // Adds the messages `declared`, with their shapes.
    void declare(const std::vector<zant::hosting::MessageDeclaration>& declared);
    // Learns the names in `command`.
    void learn(const std::string& command);
    // The items of a "_commands" or "_events" reply, names only.
    static std::vector<std::string> listItems(const std::string& reply);

    std::string serialize() const;
    static ComponentProfile parse(const std::string& text);

    // One line: what the runs exercise.
    std::string exercised() const;

    // A tour of everything named: the lists, each message, each control, each
    // timer, a few revertives per device.
    std::vector<Step> tour() const;
};

}  // namespace zant::validate

#endif  // VALIDATOR_COMPONENT_PROFILE_H
