#include "simulator/StepParser.h"

#include <iterator>
#include <sstream>

#include "simulator/Panel.h"
#include "simulator/Simulator.h"
#include "simulator/Words.h"

namespace zant::simulator {

namespace {

// A value written as "..." loses the quotes, so "" is the empty text.
std::string unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// "\n" in an expected text stands for a line feed, "\\" for a backslash.
std::string unescaped(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
            result += text[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

bool duration(const std::string& text, int64_t& milliseconds) {
    std::string digits = text;
    int64_t unit = 1;
    if (digits.size() > 2 && digits.compare(digits.size() - 2, 2, "ms") == 0) {
        digits.erase(digits.size() - 2);
    } else if (digits.size() > 1 && digits.back() == 's') {
        digits.pop_back();
        unit = 1000;
    }
    int value = 0;
    if (!parseInteger(digits, value) || value < 0) return false;
    milliseconds = static_cast<int64_t>(value) * unit;
    return true;
}

bool numbers(const std::string& text, int count, int* values) {
    std::string rest = text;
    for (int i = 0; i < count; ++i) {
        if (!parseInteger(cutFirstWord(rest), values[i])) return false;
    }
    return rest.empty();
}

bool validDevice(int device, std::string& problem) {
    if (device >= 1 && device <= 999) return true;
    problem = "a device number lies in 1..999";
    return false;
}

// DEVICE SOURCE DEST of route and expect route.
bool crosspoint(const std::string& rest, Step& step, std::string& problem) {
    if (!numbers(rest, 3, step.numbers)) return false;
    if (!validDevice(step.numbers[0], problem)) return false;
    if (step.numbers[1] >= 1 && step.numbers[2] >= 1) return true;
    problem = "source and destination indices start at 1";
    return false;
}

bool anyText(const std::string& rest, Step& step, std::string&) {
    step.text = rest;
    return true;
}

bool someText(const std::string& rest, Step& step, std::string&) {
    step.text = rest;
    return !rest.empty();
}

bool nothing(const std::string& rest, Step&, std::string&) {
    return rest.empty();
}

bool press(const std::string& text, Step& step, std::string&) {
    std::string rest = text;
    step.control = cutFirstWord(rest);
    step.text = rest.empty() ? "press" : rest;
    return !step.control.empty();
}

// A wait or run moves the clock at once, one tick after another: an hour
// at most, so that a slip of the keyboard does not deliver ticks for days.
constexpr int64_t longestDuration = int64_t{3600} * 1000;

bool timeSpan(const std::string& rest, Step& step, std::string& problem) {
    if (!duration(rest, step.milliseconds)) return false;
    if (step.milliseconds >= 1 && step.milliseconds <= longestDuration) return true;
    problem = "a duration lies in 1ms.." + std::to_string(longestDuration / 1000) + "s";
    return false;
}

bool tick(const std::string& rest, Step& step, std::string& problem) {
    if (!numbers(rest, 1, step.numbers)) return false;
    if (step.numbers[0] >= 1) return true;
    problem = "a timer number is 1 or more";
    return false;
}

// FIRST-LAST of show router.
bool range(const std::string& text, Step& step, std::string& problem) {
    const size_t dash = text.find('-', 1);
    if (dash == std::string::npos || !parseInteger(text.substr(0, dash), step.numbers[1]) ||
        !parseInteger(text.substr(dash + 1), step.numbers[2])) {
        return false;
    }
    if (step.numbers[1] >= 1 && step.numbers[2] >= step.numbers[1]) return true;
    problem = "a range FIRST-LAST starts at 1 and does not run backwards";
    return false;
}

bool show(const std::string& text, Step& step, std::string& problem) {
    std::string rest = text;
    step.text = cutFirstWord(rest);
    if (step.text.empty()) step.text = "all";
    if (step.text != "router") return (step.text == "all" || step.text == "panel") && rest.empty();
    if (rest.empty()) return true;
    if (!parseInteger(cutFirstWord(rest), step.numbers[0])) return false;
    if (!validDevice(step.numbers[0], problem)) return false;
    const std::string span = cutFirstWord(rest);
    return rest.empty() && (span.empty() || range(span, step, problem));
}

bool reply(const std::string& rest, Step& step, std::string&) {
    step.noReply = rest == "none";
    step.text = unescaped(unquoted(rest));
    return !rest.empty();
}

bool control(const std::string& text, Step& step, std::string& problem) {
    std::string rest = text;
    step.control = cutFirstWord(rest);
    step.property = cutFirstWord(rest);
    step.text = unquoted(rest);
    if (step.property.empty()) return false;
    if (step.property != "enabled" || step.text == "true" || step.text == "false") return true;
    problem = "the property \"enabled\" is true or false";
    return false;
}

const StepSyntax steps[] = {
    {"message", "message TEXT",
     "the parent panel sends TEXT (kind 3), NAME=VALUE;\n"
     "the reply is printed, then handed back (kind 5). The\n"
     "component's messages are listed below",
     someText, &Simulator::sendMessage},
    {"press", "press CONTROL [EVENT]",
     "one push on CONTROL of panel 1 (kind 2); EVENT is the\n"
     "event text, name[=value] (default \"press\"). A disabled\n"
     "control ignores it; a double-push control waits for a\n"
     "second push (see below)",
     press, &Simulator::press},
    {"doublepress", "doublepress CONTROL [EVENT]", "two pushes in a row", press,
     &Simulator::doublePress},
    {"wait", "wait DURATION",
     "advance the virtual clock (1500, 1500ms, 2s; up to\n"
     "3600s); each due timer tick is delivered (kind 4) in\n"
     "time order at once (with --realtime: as run)",
     timeSpan, &Simulator::wait},
    {"run", "run DURATION",
     "as wait, but in real time: each tick arrives when it is\n"
     "due, so the flashing of Take can be watched",
     timeSpan, &Simulator::runInRealTime},
    {"tick", "tick TIMER", "one tick of TIMER (1 or more) now, running or not", tick,
     &Simulator::tick},
    {"route", "route DEVICE SOURCE DEST",
     "another panel routes SOURCE to DEST on DEVICE: the\n"
     "router changes, registered components get a revertive",
     crosspoint, &Simulator::route},
    {"show", "show [panel | router [DEVICE [FIRST-LAST]]]",
     "draw the panel, and the routers' destinations with the\n"
     "source each carries; with DEVICE every destination and\n"
     "source of that router (FIRST-LAST: only those indices)",
     show, &Simulator::show},
    {"note", "note TEXT", "print TEXT in the trace", anyText, &Simulator::note},
    {"expect command", "expect command TEXT", "the last action sent exactly the command TEXT",
     someText, &Simulator::expectCommand},
    {"expect no-command", "expect no-command TEXT", "the last action did not send TEXT", someText,
     &Simulator::expectNoCommand},
    {"expect reply", "expect reply TEXT | none",
     "the reply to the last message was TEXT (\"\\n\" is a\n"
     "line feed; \"\" the empty text) or null",
     reply, &Simulator::expectReply},
    {"expect control", "expect control CONTROL PROPERTY [VALUE]",
     "the property of CONTROL on panel 1 is VALUE (the rest\n"
     "of the line; empty when absent). PROPERTY \"enabled\"\n"
     "reads true or false",
     control, &Simulator::expectControl},
    {"expect route", "expect route DEVICE SOURCE DEST", "DEST of DEVICE carries SOURCE", crosspoint,
     &Simulator::expectRoute},
    {"expect event", "expect event TEXT", "the last action sent the parent the event TEXT (\"HN\")",
     someText, &Simulator::expectEvent},
    {"help", "help", "this text", nothing, &Simulator::help, true},
    {"quit", "quit", "end the session (also: exit)", nothing, &Simulator::quit, true},
};

const StepSyntax* find(const std::string& name) {
    for (const StepSyntax& syntax : steps) {
        if (name == syntax.name) return &syntax;
    }
    return nullptr;
}

std::string knownExpectations() {
    std::string known;
    const std::string prefix = "expect ";
    for (const StepSyntax& syntax : steps) {
        const std::string name = syntax.name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        known += (known.empty() ? "" : ", ") + name.substr(prefix.size());
    }
    return known;
}

}  // namespace

bool StepParser::parse(const std::string& line, const std::string& where, bool atPrompt,
                       const ComponentMessages& messages, Step& step, bool& empty,
                       std::string& error) {
    std::string rest = trimmed(line);
    empty = rest.empty() || rest[0] == '#';
    if (empty) return true;
    step = Step();
    step.where = where;
    const std::string at = where.empty() ? std::string() : where + ": ";
    std::string name = cutFirstWord(rest);
    if (name == "exit") name = "quit";
    if (name == "expect") {
        const std::string what = cutFirstWord(rest);
        name += " " + what;
        if (find(name) == nullptr) {
            error = at + "unknown expectation \"" + printable(what) +
                    "\" (known: " + knownExpectations() + ")";
            return false;
        }
    }
    const StepSyntax* syntax = find(name);
    if (syntax == nullptr) {
        const std::string meant = messages.suggestion(line);
        error = at + "unknown step \"" + printable(name) + "\" (" +
                (!meant.empty() ? "did you mean: " + meant
                 : atPrompt     ? std::string("help lists the steps")
                                : std::string("panel_host --help lists the steps")) +
                ")";
        return false;
    }
    step.syntax = syntax;
    std::string problem;
    if (syntax->read(rest, step, problem)) return true;
    const std::string shown = "\"" + printable(trimmed(line)) + "\"";
    error = problem.empty() ? at + "malformed step " + shown + ": expected " + syntax->usage
                            : at + "bad value in step " + shown + ": " + problem;
    if (atPrompt) error += " (help lists the steps)";
    return false;
}

bool StepParser::parseAll(const std::string& name, const std::string& content,
                          const ComponentMessages& messages, std::vector<Step>& steps,
                          std::string& error) {
    std::istringstream in(content);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        Step step;
        bool empty = false;
        if (!parse(line, name + ":" + std::to_string(number), false, messages, step, empty,
                   error)) {
            return false;
        }
        if (!empty) steps.push_back(step);
    }
    return true;
}

std::string StepParser::help() {
    constexpr size_t column = 28;
    std::string text = "Steps (one a line; '#' starts a comment line):\n";
    for (const StepSyntax& syntax : steps) {
        std::string left = std::string("  ") + syntax.usage;
        left = left.size() + 2 > column ? left + "\n" + std::string(column, ' ')
                                        : left + std::string(column - left.size(), ' ');
        std::istringstream meaning(syntax.meaning);
        std::string line;
        for (bool first = true; std::getline(meaning, line); first = false) {
            text += (first ? left : std::string(column, ' ')) + line + "\n";
        }
    }
    text +=
        "In a step's text, ${path}, ${root} and ${system} stand for the values of the\n"
        "options --path, --root and --system.\n"
        "The last action is the last message, press, wait, run, tick or route step, or\n"
        "the component's creation before any of them.\n"
        "A button whose \"doublepush\" property is \"true\" fires on a second push\n"
        "within " +
        std::to_string(Panel::secondPushWindow) +
        " ms of the first; show panel marks a first push that waits for it.\n\n";
    return text;
}

}  // namespace zant::simulator
