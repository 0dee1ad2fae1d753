// The take/undo sub-panel: the parent panel selects a source and a destination;
// "Take" routes them on the component's router device and remembers what the
// destination carried, so that "Undo" can route it back; "Deselect" clears.
//
// Everything the component does happens inside `notify` (see
// zant_script_helper) on the host's thread; it owns its texts and its route
// table and keeps no pointer to anything the host passes.
#ifndef QUORVEX_H
#define QUORVEX_H

#include <cstdint>
#include <vector>

#include "host/zant_string.h"
#include "script_helper/zant_script_helper.h"

// `notify` stays the helper's: hosts and tools rely on every component
// dispatching through the one base implementation.
class Quorvex : public zant_script_helper {
public:
    // Loads "myTakePanel.zant_ui" into panel "1" and sends the initial control
    // states: Take and Undo disabled, the four texts empty, the double-push
    // settings. Registers no device and starts no timer.
    Quorvex(zant_host* host, const char* path);
    // Unregisters the device in use, if any; the base then sends "AS".
    ~Quorvex() override;

    void onButton(zant_button_event* event) override;
    int onRevertive(zant_revertive_event* revertive) override;
    zant_string onParentMessage(parentMessage* message) override;
    void onTimer(int timer) override;

    // Arms "Take" (enable, restart the flashing) when the selection is
    // complete, else disarms it if armed.
    void updateTake();
    // Disables "Undo", empties its texts and forgets the stored undo.
    void clearUndo();

    // The route table always covers destinations 0..200; a larger router
    // extends it to its destination count, up to this many destinations.
    static constexpr int minRouteEntries = 201;
    static constexpr int maxDestinations = 65535;

private:
    // Router devices are numbered 1..999; anything else is no device.
    static bool isDeviceNumber(int number) { return number >= 1 && number <= 999; }
    bool devicePresent() const { return isDeviceNumber(device); }
    // A device file that gives no destination count (0) bounds nothing.
    bool destinationOnRouter() const { return destCount < 1 || destID <= destCount; }
    bool selectionComplete() const {
        return devicePresent() && sourceID >= 1 && destID >= 1 && destinationOnRouter();
    }
    void take();
    void undo();
    void deselect();
    // When the flashing timer stops relative to disabling "Take", and whether
    // the button is first given its armed look (takeHigh) to rest in.
    enum class TimerStop { beforeDisable, afterDisable };
    enum class RestingLook { asLeft, takeHigh };
    void disarmTake(TimerStop stop, RestingLook look);
    void applyInstance(const zant_string& name);
    // Stores a new source or destination index in `selected`, shows its name
    // in `control`, shows a selected name that the panel does not show once
    // the selection is complete again, and re-arms or disarms "Take".
    void select(int32_t& selected, bool& nameStale, int index, int database, const char* control);
    // Shows `index`'s name in `control` if the panel does not show it.
    void showStaleName(bool& nameStale, int index, int database, const char* control);
    void applyDoublePush(const zant_string& value, bool& flag, const char* control);
    zant_string settingsReply() const;
    // The name of `index` in `database` of the device, each '|' shown as ' '.
    zant_string shownName(int database, int index);
    // Zeroes the table and sizes it for `destinations` (clamped to the limits).
    void resetRoutes(int destinations);

    zant_string instance;
    zant_string bgndStyle;
    zant_string takeHigh;
    zant_string takeLow;
    int32_t device = 0;
    int32_t sourceID = 0;
    int32_t destID = 0;
    int32_t undoSourceID = 0;
    int32_t undoDestID = 0;
    int32_t flashCount = 0;
    int32_t destCount = 0;
    bool takeEnabled = false;
    bool undoEnabled = false;
    bool takeDouble = true;
    bool undoDouble = false;
    // A kept selection whose name the panel does not show as the look-up on
    // the current device: Deselect emptied it (a parent may send only a new
    // source), it was chosen before any device, or it was shown from the
    // previous device. It is shown before "Take" is armed.
    bool sourceNameStale = false;
    bool destNameStale = false;
    // routes[d]: the source the device last reported on destination d.
    std::vector<int32_t> routes;
    // The table as the revertive path reads it: its start and length kept
    // beside each other, so that a revertive needs one load for the bounds
    // and one for the store (resetRoutes keeps them in step with routes).
    int32_t* routeTable = nullptr;
    unsigned int routeCount = 0;
};

#endif  // QUORVEX_H
