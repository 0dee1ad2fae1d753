#include "tests/quorvex/support/QuorvexCommands.h"

using zant::hosting::ParsedCommand;

namespace {

bool isPanelControl(const std::string& id) {
    static const char* const controls[] = {"Take", "Undo",       "Deselect", "Source",
                                           "Dest", "UndoSource", "UndoDest", "Background"};
    for (const char* control : controls) {
        if (id == control) return true;
    }
    return false;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The first field of "TP": property '=' value; the value is free text.
std::string textPutError(const std::string& field, const std::string& control) {
    const size_t equals = field.find('=');
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

}  // namespace

std::string quorvexCommandError(const ParsedCommand& command) {
    const std::string& mnemonic = command.mnemonic;
    const auto& fields = command.fields;
    if (command.panelField >= 0 && fields[command.panelField] != "1") return "panel is not '1'";
    if (mnemonic == "CE" || mnemonic == "CD") {
        return fields[1] == "Take" || fields[1] == "Undo" ? std::string() : "unknown control";
    }
    if (mnemonic == "XI") return fields[1] == "alm_" ? std::string() : "pattern is not 'alm_'";
    if (mnemonic == "TP") return textPutError(fields[0], fields[2]);
    if (mnemonic == "HN") return fields[0] == "deselect=-1" ? std::string() : "unknown event";
    if (mnemonic == "PS") {
        return endsWith(fields[1], "myTakePanel.zant_ui") && fields.size() == 2
                   ? std::string()
                   : "not the layout file";
    }
    if (mnemonic == "RN") {
        return fields[1] == "0" || fields[1] == "1" ? std::string() : "database is not 0 or 1";
    }
    // The grammar's rule for the extra text of "RC" is the ','; the
    // sub-panel's extra is empty, so it holds no quote either.
    if (mnemonic == "RC") {
        return fields[3].find('\'') == std::string::npos ? std::string()
                                                         : "extra field holds a quote";
    }
    return {};
}
