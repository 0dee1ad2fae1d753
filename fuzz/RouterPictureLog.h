// What the router protocols' fuzz targets compare between a run fed whole
// and one fed in pieces: the updates as a log, each with whether it changed
// the picture, and everything the picture holds, checked against the
// protocol's bounds on the way.
#ifndef FUZZ_ROUTER_PICTURE_LOG_H
#define FUZZ_ROUTER_PICTURE_LOG_H

#include <cstddef>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "routers/RouterPicture.h"
#include "routers/RouterUpdate.h"

namespace zant::routers {

// Applies `updates` to `picture`, and appends them to `log`.
inline void logUpdates(const std::vector<RouterUpdate>& updates, RouterPicture& picture,
                       std::string& log) {
    for (const RouterUpdate& update : updates) {
        fuzzCheck(update.text.find('\0') == std::string::npos, "no NUL in an update's text");
        const bool changed = picture.apply(update);
        log += std::to_string(static_cast<int>(update.kind)) + " " +
               std::to_string(static_cast<int>(update.side)) + " " + std::to_string(update.index) +
               " " + std::to_string(update.sources) + "x" + std::to_string(update.destinations) +
               " " + std::to_string(update.destination) + "<" + std::to_string(update.source) +
               " " + std::to_string(static_cast<int>(update.lock)) + " " +
               std::to_string(update.request) + (update.done ? "+ " : "- ") + update.text +
               (changed ? " !" : "") + "\n";
    }
}

// Everything `picture` holds, checked against `maxPorts` and `maxLabel`.
inline std::string snapshot(const RouterPicture& picture, int maxPorts, size_t maxLabel) {
    const int sources = picture.sources();
    const int destinations = picture.destinations();
    fuzzCheck(sources >= 0 && sources <= maxPorts, "sources within bounds");
    fuzzCheck(destinations >= 0 && destinations <= maxPorts, "destinations within bounds");
    std::string text = std::to_string(sources) + "x" + std::to_string(destinations);
    for (int i = 1; i <= maxPorts; ++i) {
        for (const Side side : {Side::source, Side::destination}) {
            if (const std::string* label = picture.label(side, i)) {
                fuzzCheck(label->size() <= maxLabel, "label within bounds");
                text += (side == Side::source ? " s" : " d") + std::to_string(i) + "=" + *label;
            }
        }
        const int route = picture.route(i);
        fuzzCheck(route >= 0 && route <= maxPorts, "a route within bounds");
        if (route != 0) text += " r" + std::to_string(i) + "=" + std::to_string(route);
        if (picture.lock(i) != Lock::none) {
            text +=
                " l" + std::to_string(i) + "=" + std::to_string(static_cast<int>(picture.lock(i)));
        }
    }
    return text;
}

}  // namespace zant::routers

#endif  // FUZZ_ROUTER_PICTURE_LOG_H
