// What a component names, learnt by running it: the panels and controls its
// commands address, its timers and devices, and the messages and events its
// replies to "_commands" and "_events" list. The random runs press those
// controls, tick those timers and send those messages. The profile is taken in
// a child process and comes back to the parent as text.
#ifndef VALIDATOR_COMPONENT_PROFILE_H
#define VALIDATOR_COMPONENT_PROFILE_H

#include <set>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "validator/Step.h"

struct ComponentProfile {
    std::set<std::string> panels;
    std::set<std::string> controls;
    std::set<std::string> messages;
    std::set<std::string> events;
    std::set<int> timers;
    std::set<int> devices;

    // Runs a component from `entry` through its lists, messages and controls.
    static ComponentProfile probe(zant_load_function entry, const std::set<std::string>& layout);
    // Learns the names in `command`.
    void learn(const std::string& command);
    // The items of a "_commands" or "_events" reply, names only.
    static std::vector<std::string> listItems(const std::string& reply);

    std::string serialize() const;
    static ComponentProfile parse(const std::string& text);

    // A tour of everything named: the lists, each message, each control, each
    // timer, a few revertives per device.
    std::vector<Step> tour() const;
};

#endif  // VALIDATOR_COMPONENT_PROFILE_H
