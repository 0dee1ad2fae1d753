// What the take/undo sub-panel shows, rebuilt only from the commands the
// component sends: the four texts, the name look-up ("RN") each text is the
// answer of, and whether "Take" and "Undo" are enabled. The property test and
// the component fuzzer feed it every command with the host's reply, and judge
// each crosspoint of a press by the panel as it stood before the press.
#ifndef TESTS_QUORVEX_SUPPORT_TAKE_PANEL_MODEL_H
#define TESTS_QUORVEX_SUPPORT_TAKE_PANEL_MODEL_H

#include <map>
#include <optional>
#include <string>
#include <vector>

class TakePanelModel {
public:
    struct Lookup {
        int device = 0;
        int database = 0;
        int index = 0;
        bool operator==(const Lookup& other) const {
            return device == other.device && database == other.database && index == other.index;
        }
    };
    struct Crosspoint {
        int device = 0;
        int source = 0;
        int destination = 0;
    };

    // Every command the component sends, in order, with the host's reply.
    void command(const std::string& text, const std::optional<std::string>& reply);

    std::string text(const std::string& control) const;
    bool enabled(const std::string& control) const;
    // The "RC" commands sent since the last call.
    std::vector<Crosspoint> takeCrosspoints();

    // Empty when `sent`, the crosspoint of a press of `button` ("Take" or
    // "Undo"), is the route this panel showed for that button: both names
    // are the answers of the look-ups of the crosspoint's own device,
    // database and index. Otherwise what differs.
    std::string routeError(const std::string& button, const Crosspoint& sent) const;

private:
    struct Shown {
        std::string text;
        std::optional<Lookup> from;  // none: not the answer of a look-up
    };
    struct PendingLookup {
        Lookup lookup;
        std::string name;  // as the component shows it: each '|' a space
    };
    void showText(const std::string& control, const std::string& text);
    std::string describe(const std::string& control) const;

    std::map<std::string, Shown> shown_;
    std::map<std::string, bool> enabled_;
    std::optional<PendingLookup> pending_;
    bool lastWasLookup_ = false;
    std::vector<Crosspoint> crosspoints_;
};

#endif  // TESTS_QUORVEX_SUPPORT_TAKE_PANEL_MODEL_H
