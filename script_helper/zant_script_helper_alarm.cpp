// Alarm buttons: "ActionAll" and "AckAll" set or acknowledge every alarm
// control ("alm_" ids) of panel "1" at once.
#include "script_helper/zant_script_helper.h"

namespace {

// A value that sets no alarm state: only "alarm" is written.
constexpr int noLevel = -1;

// States that an acknowledgement leaves as they are.
bool keepsStateOnAck(int state) {
    return state == 0 || (state >= 2 && state <= 5);
}

}  // namespace

void zant_script_helper::alarmAll(const zant_string& value) {
    int level = noLevel;
    if (value == "ack") {
        level = alarmAcknowledged;
    } else if (value.length() == 1) {
        level = value.toInt();
    }
    const zant_string panel("1");
    const zant_stringlist ids = controlList(panel, "alm_");
    for (const zant_string& id : ids) {
        textPut("alarm", value, panel, id);
        if (level == noLevel) continue;
        if (level == alarmAcknowledged) {
            zant_string state;
            textGet("value", panel, id, state);
            if (keepsStateOnAck(state.toInt())) continue;
        }
        textPut("value", zant_string(level, 0, 0, 10), panel, id);
    }
}
