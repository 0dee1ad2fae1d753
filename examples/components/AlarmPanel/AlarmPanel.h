// An alarm sub-panel: a row of alarm lamps, the "alm_" controls of panel 1,
// that the parent panel raises and clears one by one, and three buttons that
// act on all of them at once. "ActionAll" (event "alarm=LEVEL") and "AckAll"
// never reach `onButton`: with `alarmFilter` set, the helper's alarm routing
// handles them. "Reset" is this component's own.
//
// Lamp states: 0 clear, 1 raised, 4 acknowledged; ActionAll sets any level.
// The component keeps no state of its own: the lamps are whatever the host
// lists for "alm_", so a layout may carry any number of them.
#ifndef ALARM_PANEL_H
#define ALARM_PANEL_H

#include "host/zant_host.h"
#include "host/zant_string.h"
#include "script_helper/zant_script_helper.h"

class AlarmPanel : public zant_script_helper {
public:
    // Loads "alarmPanel.zant_ui" into panel 1 and shows "No alarms".
    AlarmPanel(zant_host* host, const char* path);

    void onButton(zant_button_event* event) override;
    int onRevertive(zant_revertive_event* revertive) override;
    // "raise=N", "clear=N" (lamp alm_N); "active" replies the raised lamps'
    // ids joined by ','; "_events" and "_commands" declare what the parent
    // may rely on.
    zant_string onParentMessage(parentMessage* message) override;
    void onTimer(int timer) override;

private:
    void setLamp(const zant_string& id, const char* state);
    bool isLamp(const zant_string& id);
    zant_stringlist lamps();
    zant_string raisedLamps();
};

#endif  // ALARM_PANEL_H
