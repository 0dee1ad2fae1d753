#include "simulator/StepParser.h"

#include <cctype>
#include <sstream>

#include "simulator/CommandText.h"
#include "simulator/Words.h"

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

bool numbers(std::string rest, int count, int* values) {
    for (int i = 0; i < count; ++i) {
        if (!parseInteger(cutFirstWord(rest), values[i])) return false;
    }
    return rest.empty();
}

}  // namespace

bool StepParser::parse(const std::string& line, const std::string& where, Step& step, bool& empty,
                       std::string& error) {
    std::string rest = trimmed(line);
    empty = rest.empty() || rest[0] == '#';
    if (empty) return true;
    step = Step();
    step.where = where;
    const std::string name = cutFirstWord(rest);
    const auto fail = [&](const std::string& usage) {
        error = where + ": malformed step \"" + trimmed(line) + "\": expected " + usage;
        return false;
    };

    if (name == "message") {
        if (rest.empty()) return fail("message TEXT");
        step.kind = Step::Kind::message;
        step.text = rest;
    } else if (name == "press" || name == "doublepress") {
        step.kind = name == "press" ? Step::Kind::press : Step::Kind::doublePress;
        step.control = cutFirstWord(rest);
        if (step.control.empty()) return fail(name + " CONTROL [EVENT]");
        step.text = rest.empty() ? "press" : rest;
    } else if (name == "wait") {
        step.kind = Step::Kind::wait;
        if (!duration(rest, step.milliseconds)) return fail("wait DURATION (1500, 1500ms or 2s)");
    } else if (name == "tick") {
        step.kind = Step::Kind::tick;
        if (!numbers(rest, 1, step.numbers)) return fail("tick TIMER");
    } else if (name == "route") {
        step.kind = Step::Kind::route;
        if (!numbers(rest, 3, step.numbers)) return fail("route DEVICE SOURCE DEST");
    } else if (name == "show") {
        step.kind = Step::Kind::show;
        step.text = cutFirstWord(rest);
        if (step.text.empty()) step.text = "all";
        if (step.text == "router" && !rest.empty()) {
            if (!numbers(rest, 1, step.numbers)) return fail("show router [DEVICE]");
        } else if ((step.text != "all" && step.text != "panel" && step.text != "router") ||
                   !rest.empty()) {
            return fail("show [panel | router [DEVICE]]");
        }
    } else if (name == "note") {
        step.kind = Step::Kind::note;
        step.text = rest;
    } else if (name == "help") {
        step.kind = Step::Kind::help;
    } else if (name == "quit" || name == "exit") {
        step.kind = Step::Kind::quit;
    } else if (name == "expect") {
        const std::string what = cutFirstWord(rest);
        if (what == "command" || what == "no-command") {
            if (rest.empty()) return fail("expect " + what + " TEXT");
            step.kind = what == "command" ? Step::Kind::expectCommand : Step::Kind::expectNoCommand;
            step.text = rest;
        } else if (what == "reply") {
            step.kind = Step::Kind::expectReply;
            if (rest.empty()) return fail("expect reply TEXT | none");
            step.noReply = rest == "none";
            step.text = unescaped(unquoted(rest));
        } else if (what == "control") {
            step.kind = Step::Kind::expectControl;
            step.control = cutFirstWord(rest);
            step.property = cutFirstWord(rest);
            if (step.property.empty()) return fail("expect control CONTROL PROPERTY [VALUE]");
            step.text = unquoted(rest);
        } else if (what == "route") {
            step.kind = Step::Kind::expectRoute;
            if (!numbers(rest, 3, step.numbers)) return fail("expect route DEVICE SOURCE DEST");
        } else if (what == "event") {
            step.kind = Step::Kind::expectEvent;
            if (rest.empty()) return fail("expect event TEXT");
            step.text = rest;
        } else {
            error = where + ": unknown expectation \"" + what +
                    "\" (known: command, no-command, reply, control, route, event)";
            return false;
        }
    } else {
        error = where + ": unknown step \"" + name + "\" (panel_host --help lists the steps)";
        return false;
    }
    return true;
}

bool StepParser::parseAll(const std::string& name, const std::string& content,
                          std::vector<Step>& steps, std::string& error) {
    std::istringstream in(content);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        Step step;
        bool empty = false;
        if (!parse(line, name + ":" + std::to_string(number), step, empty, error)) return false;
        if (!empty) steps.push_back(step);
    }
    return true;
}

const char* StepParser::help() {
    return R"(Steps (one a line; '#' starts a comment line):
  message TEXT              the parent panel sends TEXT (kind 3), e.g. message sourceID=3;
                            the reply is printed, then handed back (kind 5)
  press CONTROL [EVENT]     one push on CONTROL of panel 1 (kind 2); EVENT is the
                            event text, name[=value] (default "press"). A disabled
                            control ignores it; a control whose "doublepush" is
                            "true" needs a second push right after the first
  doublepress CONTROL [EVENT]
                            two pushes in a row
  wait DURATION             advance the virtual clock (1500, 1500ms, 2s); each due
                            timer tick is delivered (kind 4) in time order
  tick TIMER                deliver one tick of TIMER now, running or not
  route DEVICE SOURCE DEST  another panel routes SOURCE to DEST on DEVICE: the
                            router changes, registered components get a revertive
  show [panel | router [DEVICE]]
                            draw the panel and the routers' crosspoints
  note TEXT                 print TEXT in the trace
  expect command TEXT       the last action sent exactly the command TEXT
  expect no-command TEXT    the last action did not send TEXT
  expect reply TEXT | none  the reply to the last message was TEXT ("\n" is a
                            line feed; "" the empty text) or null
  expect control CONTROL PROPERTY [VALUE]
                            the property of CONTROL on panel 1 is VALUE (the rest
                            of the line; empty when absent). PROPERTY "enabled"
                            reads true or false
  expect route DEVICE SOURCE DEST
                            DEST of DEVICE carries SOURCE
  expect event TEXT         the last action sent the parent the event TEXT ("HN")
  help, quit                (interactive mode)
In a step's text, ${path}, ${root} and ${system} stand for the values of the
options --path, --root and --system.
The last action is the last message, press, wait, tick or route step, or the
component's creation before any of them.
)";
}
