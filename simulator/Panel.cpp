#include "simulator/Panel.h"

#include <utility>

#include "simulator/VirtualClock.h"

namespace zant::simulator {

Panel::Panel(std::string id, std::string layoutFile)
    : id_(std::move(id)), layoutFile_(std::move(layoutFile)) {}

bool Panel::Control::doublePush() const {
    const auto found = properties.find("doublepush");
    return found != properties.end() && found->second == "true";
}

bool Panel::waitsForSecond(const Control& control, int64_t now) {
    return control.armedForSecondPush && now - control.firstPushTime <= secondPushWindow;
}

Panel::Push Panel::push(Control& control, int64_t now) {
    if (!control.enabled) return Push::ignored;
    const bool second = waitsForSecond(control, now);
    for (Control& other : controls_) other.armedForSecondPush = false;
    if (!control.doublePush()) return Push::fires;
    if (second) return Push::secondFires;
    control.armedForSecondPush = true;
    control.firstPushTime = now;
    return Push::firstOfTwo;
}

bool Panel::add(const Control& control) {
    if (find(control.name) != nullptr) return false;
    controls_.push_back(control);
    return true;
}

Panel::Control* Panel::find(const std::string& name) {
    for (Control& control : controls_) {
        if (control.name == name) return &control;
    }
    return nullptr;
}

const Panel::Control* Panel::find(const std::string& name) const {
    for (const Control& control : controls_) {
        if (control.name == name) return &control;
    }
    return nullptr;
}

std::string Panel::property(const std::string& control, const std::string& name) const {
    const Control* found = find(control);
    if (found == nullptr) return std::string();
    if (name == "enabled") return found->enabled ? "true" : "false";
    const auto value = found->properties.find(name);
    return value == found->properties.end() ? std::string() : value->second;
}

std::string Panel::allProperties(const std::string& control) const {
    const Control* found = find(control);
    if (found == nullptr) return std::string();
    std::string all = std::string("enabled=") + (found->enabled ? "true" : "false");
    for (const auto& entry : found->properties) all += "," + entry.first + "=" + entry.second;
    return all;
}

std::string Panel::matching(const std::string& pattern) const {
    const bool prefix = pattern.find_first_of("*?") == std::string::npos;
    std::string ids;
    for (const Control& control : controls_) {
        const bool match = prefix ? control.name.compare(0, pattern.size(), pattern) == 0
                                  : globMatch(pattern, control.name);
        if (!match) continue;
        if (!ids.empty()) ids += ',';
        ids += control.name;
    }
    return ids;
}

std::string Panel::draw(int64_t now) const {
    std::string drawing = "panel " + id_ + " (" + layoutFile_ + ")\n";
    size_t width = 0;
    for (const Control& control : controls_) {
        if (control.name.size() > width) width = control.name.size();
    }
    for (const Control& control : controls_) {
        std::string line = "  " + control.name + std::string(width - control.name.size(), ' ');
        line +=
            control.kind == "button" ? "  [" + control.kind + "] " : "  (" + control.kind + ") ";
        line += control.enabled ? "enabled " : "disabled";
        for (const auto& entry : control.properties) {
            line += "  " + entry.first + "=\"" + entry.second + "\"";
        }
        if (waitsForSecond(control, now)) {
            line += "  <- first push at " + VirtualClock::stampOf(control.firstPushTime) +
                    ", a second one by " +
                    VirtualClock::stampOf(control.firstPushTime + secondPushWindow) + " fires it";
        }
        drawing += line + "\n";
    }
    return drawing;
}

bool globMatch(const std::string& pattern, const std::string& text) {
    size_t p = 0;
    size_t t = 0;
    size_t starAt = std::string::npos;
    size_t resumeAt = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = t;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            t = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace zant::simulator
