// One panel of the simulated panel runtime: its controls in layout order, each
// with its kind, whether it is enabled, and the properties that commands set.
#ifndef SIMULATOR_PANEL_H
#define SIMULATOR_PANEL_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zant::simulator {

class Panel {
public:
    struct Control {
        std::string name;
        std::string kind;
        bool enabled = true;
        std::map<std::string, std::string> properties;
        // A first push of a double-push button waits for the second here.
        bool armedForSecondPush = false;
        int64_t firstPushTime = 0;

        // Its "doublepush" property is "true".
        bool doublePush() const;
    };

    // How long a double-push button waits for its second push, in ms.
    static constexpr int64_t secondPushWindow = 2000;

    enum class Push { ignored, firstOfTwo, fires, secondFires };
    // One push on `control` at `now`, as the host's buttons behave: a
    // disabled control ignores it; a double-push control fires only on a
    // second push within the window. Any other first push that waits is
    // forgotten.
    Push push(Control& control, int64_t now);
    // A first push of `control` waits for its second at `now`.
    static bool waitsForSecond(const Control& control, int64_t now);

    Panel() = default;
    Panel(std::string id, std::string layoutFile);

    const std::string& id() const { return id_; }
    const std::string& layoutFile() const { return layoutFile_; }

    // False when a control of that name exists already.
    bool add(const Control& control);
    Control* find(const std::string& name);
    const Control* find(const std::string& name) const;
    const std::vector<Control>& controls() const { return controls_; }

    // A property as the host reports it: the pseudo-property "enabled" reads
    // "true" or "false"; a property never set reads as the empty text.
    std::string property(const std::string& control, const std::string& name) const;
    // "name=value" of every property, "enabled" first, joined by ','.
    std::string allProperties(const std::string& control) const;
    // The ids of the controls matching `pattern` ('*' any run, '?' any one
    // character), in layout order, joined by ','. A pattern without either
    // is a prefix, as the helper asks for its "alm_" controls.
    std::string matching(const std::string& pattern) const;

    // A drawing of the panel at `now`, one line a control, for "show".
    std::string draw(int64_t now) const;

private:
    std::string id_;
    std::string layoutFile_;
    std::vector<Control> controls_;
};

// Glob match with '*' and '?'.
bool globMatch(const std::string& pattern, const std::string& text);

}  // namespace zant::simulator

#endif  // SIMULATOR_PANEL_H
