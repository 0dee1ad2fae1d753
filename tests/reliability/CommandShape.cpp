#include "tests/reliability/CommandShape.h"

#include <climits>
#include <cstddef>
#include <vector>

namespace {

// Plain signed decimal within the int range: no padding, no '+', no "-0".
bool isNumber(const std::string& text) {
    size_t at = text.empty() || text[0] != '-' ? 0 : 1;
    if (at >= text.size()) return false;
    if (text[at] == '0') return text.size() == at + 1 && at == 0;
    long long value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return false;
    }
    return text[0] == '-' || value <= INT_MAX;
}

// Cuts at every single space; an empty piece means two spaces in a row, or a
// space at either end.
std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == ' ') {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

// "MN n n ..." with between `least` and `most` numbers.
std::string numeric(const std::string& text, size_t least, size_t most) {
    const std::vector<std::string> pieces = words(text);
    const size_t count = pieces.size() - 1;
    if (count < least || count > most) return "wrong number of fields";
    for (size_t i = 1; i < pieces.size(); ++i) {
        if (!isNumber(pieces[i])) return "field '" + pieces[i] + "' is no plain decimal int";
    }
    return {};
}

// Takes `count` quote-free fields " 'field'" off the end of `text`, last
// field last in `fields`. False when the end does not have that shape.
bool takeTrailingFields(std::string& text, size_t count, std::vector<std::string>& fields) {
    fields.assign(count, std::string());
    for (size_t i = count; i > 0; --i) {
        if (text.size() < 3 || text.back() != '\'') return false;
        const size_t open = text.rfind('\'', text.size() - 2);
        if (open == std::string::npos || open == 0 || text[open - 1] != ' ') return false;
        fields[i - 1] = text.substr(open + 1, text.size() - open - 2);
        text.resize(open - 1);
    }
    return true;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool isPanelControl(const std::string& id) {
    static const char* const controls[] = {"Take", "Undo",       "Deselect", "Source",
                                           "Dest", "UndoSource", "UndoDest", "Background"};
    for (const char* control : controls) {
        if (id == control) return true;
    }
    return false;
}

// The first field of "TP": property '=' value; the value is free text.
std::string textPutField(const std::string& field, const std::string& control) {
    const size_t equals = field.find('=');
    if (equals == std::string::npos) return "property without '='";
    const std::string property = field.substr(0, equals);
    const std::string value = field.substr(equals + 1);
    if (property == "alarm" || property == "value") return {};  // alarm ids come from the host
    if (!isPanelControl(control)) return "unknown control '" + control + "'";
    if (property == "doublepush") {
        return value == "true" || value == "false" ? std::string() : "doublepush not true/false";
    }
    if (property == "text" || property == "statesheet") return {};
    return "unknown property '" + property + "'";
}

std::string textCommand(const std::string& mnemonic, const std::string& text) {
    std::string rest = text;
    std::vector<std::string> fields;
    if (mnemonic == "CE" || mnemonic == "CD") {
        if (!takeTrailingFields(rest, 2, fields) || rest != mnemonic) return "not MN 'p' 'c'";
        if (fields[0] != "1") return "panel is not '1'";
        return fields[1] == "Take" || fields[1] == "Undo" ? std::string() : "unknown control";
    }
    if (mnemonic == "TG" || mnemonic == "XI") {
        const size_t count = mnemonic == "TG" ? 3 : 2;
        if (!takeTrailingFields(rest, count, fields) || rest != mnemonic) return "bad fields";
        if (fields[0] != "1") return "panel is not '1'";
        if (mnemonic == "XI" && fields[1] != "alm_") return "pattern is not 'alm_'";
        return {};
    }
    if (mnemonic == "TP") {
        // Panel and control hold no quote; the value may.
        if (!takeTrailingFields(rest, 2, fields)) return "not TP '...' 'p' 'c'";
        if (fields[0] != "1") return "panel is not '1'";
        if (!startsWith(rest, "TP '") || rest.size() < 5 || rest.back() != '\'') {
            return "first field not quoted";
        }
        return textPutField(rest.substr(4, rest.size() - 5), fields[1]);
    }
    if (mnemonic == "HN") return text == "HN 'deselect=-1'" ? std::string() : "unknown event";
    if (mnemonic == "SD") {
        return startsWith(text, "SD '") && text.size() >= 5 && text.back() == '\''
                   ? std::string()
                   : "not SD 'name'";
    }
    if (mnemonic == "PS") {
        // The path comes from the host and may hold anything.
        if (!startsWith(text, "PS '1' '")) return "not PS '1' '...";
        return endsWith(text, "myTakePanel.zant_ui'") ? std::string() : "not the layout file";
    }
    return "unknown mnemonic";
}

// "RC d s t ',extra' 0|1"; the component's extra text is empty.
std::string crosspoint(const std::string& text) {
    if (!endsWith(text, "' 0") && !endsWith(text, "' 1")) return "no trailing flag";
    const std::string head = text.substr(0, text.size() - 3);
    const size_t open = head.find('\'');
    if (open == std::string::npos || open == 0 || head[open - 1] != ' ') return "no text field";
    const std::string extra = head.substr(open + 1);
    if (extra.empty() || extra[0] != ',' || extra.find('\'') != std::string::npos) {
        return "extra field is not ',text'";
    }
    return numeric(head.substr(0, open - 1), 3, 3);
}

}  // namespace

std::string commandShapeError(const std::string& text) {
    if (text.size() < 2) return "too short";
    const std::string mnemonic = text.substr(0, 2);
    if (text.size() > 2 && text[2] != ' ') return "no space after the mnemonic";
    if (mnemonic == "AS") return text == "AS" ? std::string() : "AS takes no field";
    if (mnemonic == "RU") return numeric(text, 1, 1);
    if (mnemonic == "ET") return numeric(text, 1, 2);
    if (mnemonic == "RP") return numeric(text, 3, 3);
    if (mnemonic == "RN") {
        std::string error = numeric(text, 3, 3);
        if (!error.empty()) return error;
        const std::string database = words(text)[2];
        return database == "0" || database == "1" ? std::string() : "database is not 0 or 1";
    }
    if (mnemonic == "RR") {
        return numeric(endsWith(text, " 'ADD'") ? text.substr(0, text.size() - 6) : text, 3, 3);
    }
    if (mnemonic == "RC") return crosspoint(text);
    return textCommand(mnemonic, text);
}
