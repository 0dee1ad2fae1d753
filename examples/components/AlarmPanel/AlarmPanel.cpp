#include "AlarmPanel.h"

namespace {

const char* const panelId = "1";
const char* const layoutFile = "alarmPanel.zant_ui";
const char* const resetEvent = "reset=-1";
const char* const noAlarms = "No alarms";

const char* const clearState = "0";
const char* const raisedState = "1";

}  // namespace

AlarmPanel::AlarmPanel(zant_host* hostObject, const char* componentPath)
    : zant_script_helper(hostObject, componentPath) {
    alarmFilter = true;
    panelShow(panelId, layoutFile, zant_string());
    textPut("text", noAlarms, panelId, "Status");
}

void AlarmPanel::onButton(zant_button_event* event) {
    if (!(event->panel() == 1) || event->id() != "Reset") return;
    for (const zant_string& id : lamps()) setLamp(id, clearState);
    textPut("text", noAlarms, panelId, "Status");
    hostNotify(resetEvent);
}

int AlarmPanel::onRevertive(zant_revertive_event* /*revertive*/) {
    return 0;
}

zant_string AlarmPanel::onParentMessage(parentMessage* message) {
    const zant_string name(message->name);
    const zant_string lamp = zant_string("alm_") + message->value;
    if (name == "raise" || name == "clear") {
        // An id from the parent is checked against the panel: a command for
        // a control that does not exist is a fault the host reports.
        if (!isLamp(lamp)) return zant_string();
        const bool raise = name == "raise";
        setLamp(lamp, raise ? raisedState : clearState);
        if (raise) textPut("text", "Alarm on " + lamp, panelId, "Status");
    } else if (name == "active") {
        return raisedLamps();
    } else if (name == "_events") {
        return resetEvent;
    } else if (name == "_commands") {
        zant_stringlist commands;
        commands << "raise=[value]"
                 << "clear=[value]";
        return commands.toString('\n');
    }
    return zant_string();
}

void AlarmPanel::onTimer(int timer) {
    // No timer of ours runs: stop whatever ticks.
    timerStop(timer);
}

void AlarmPanel::setLamp(const zant_string& id, const char* state) {
    textPut("alarm", state, panelId, id);
    textPut("value", state, panelId, id);
}

bool AlarmPanel::isLamp(const zant_string& id) {
    for (const zant_string& lamp : lamps()) {
        if (lamp == id) return true;
    }
    return false;
}

zant_stringlist AlarmPanel::lamps() {
    return controlList(panelId, "alm_");
}

zant_string AlarmPanel::raisedLamps() {
    zant_stringlist raised;
    for (const zant_string& id : lamps()) {
        zant_string state;
        textGet("value", panelId, id, state);
        if (state == raisedState) raised << id;
    }
    return raised.toString(',');
}
