#include "panels/components/Quorvex/Quorvex.h"

namespace {

const char* const panelId = "1";
const char* const layoutFile = "myTakePanel.zant_ui";
const char* const deselectEvent = "deselect=-1";

// The flashing timer and its interval in the host's timer unit.
constexpr int flashTimer = 2;
constexpr int flashInterval = 1000;
constexpr int flashSteps = 10;

constexpr int sourceDatabase = 0;
constexpr int destinationDatabase = 1;

const char* boolText(bool flag) {
    return flag ? "true" : "false";
}

}  // namespace

Quorvex::Quorvex(zant_host* hostObject, const char* componentPath)
    : zant_script_helper(hostObject, componentPath),
      routes(minRouteEntries, 0),
      routeTable(routes.data()),
      routeCount(static_cast<unsigned int>(routes.size())) {
    const zant_string panel(panelId);
    panelShow(panel, layoutFile, zant_string());
    controlDisable(panel, "Take");
    controlDisable(panel, "Undo");
    textPut("text", zant_string(), panel, "Source");
    textPut("text", zant_string(), panel, "Dest");
    textPut("text", zant_string(), panel, "UndoSource");
    textPut("text", zant_string(), panel, "UndoDest");
    textPut("doublepush", boolText(takeDouble), panel, "Take");
    textPut("doublepush", boolText(undoDouble), panel, "Undo");
}

Quorvex::~Quorvex() {
    if (devicePresent()) routerUnregister(device);
}

// Buttons ------------------------------------------------------------------

void Quorvex::onButton(zant_button_event* event) {
    if (!(event->panel() == 1)) return;
    const zant_string id = event->id();
    if (id == "Take") {
        take();
    } else if (id == "Undo") {
        undo();
    } else if (id == "Deselect") {
        deselect();
    }
}

void Quorvex::take() {
    // A second press that arrives before the host has disabled the button, or
    // a press with nothing selected, must not route to destination 0 (nor
    // beyond the router) nor lose the stored undo.
    if (!selectionComplete()) return;
    const zant_string panel(panelId);
    disarmTake(TimerStop::beforeDisable, RestingLook::takeHigh);
    textPut("text", zant_string(), panel, "Source");
    textPut("text", zant_string(), panel, "Dest");

    undoDestID = destID;
    // A destination beyond the table has no known source: undo routes source 0.
    undoSourceID =
        static_cast<size_t>(destID) < routes.size() ? routes[static_cast<size_t>(destID)] : 0;
    textPut("text", shownName(sourceDatabase, undoSourceID), panel, "UndoSource");
    textPut("text", shownName(destinationDatabase, undoDestID), panel, "UndoDest");
    controlEnable(panel, "Undo");
    undoEnabled = true;

    routerCrosspoint(device, sourceID, destID, zant_string(), false);
    sourceID = 0;
    destID = 0;
    hostNotify(deselectEvent);
}

void Quorvex::undo() {
    if (!undoEnabled) return;
    routerCrosspoint(device, undoSourceID, undoDestID, zant_string(), false);
    clearUndo();
}

void Quorvex::deselect() {
    const zant_string panel(panelId);
    textPut("text", zant_string(), panel, "Source");
    textPut("text", zant_string(), panel, "Dest");
    textPut("text", zant_string(), panel, "UndoSource");
    textPut("text", zant_string(), panel, "UndoDest");
    sourceNameStale = true;
    destNameStale = true;
    if (takeEnabled) disarmTake(TimerStop::afterDisable, RestingLook::asLeft);
    if (undoEnabled) clearUndo();
    hostNotify(deselectEvent);
}

void Quorvex::updateTake() {
    const zant_string panel(panelId);
    if (selectionComplete()) {
        if (!takeEnabled) {
            controlEnable(panel, "Take");
            takeEnabled = true;
        }
        flashCount = flashSteps;
        textPut("statesheet", takeHigh, panel, "Take");
        timerStart(flashTimer, flashInterval);
    } else if (takeEnabled) {
        disarmTake(TimerStop::afterDisable, RestingLook::takeHigh);
    }
}

void Quorvex::disarmTake(TimerStop stop, RestingLook look) {
    const zant_string panel(panelId);
    if (stop == TimerStop::beforeDisable) timerStop(flashTimer);
    if (look == RestingLook::takeHigh) textPut("statesheet", takeHigh, panel, "Take");
    controlDisable(panel, "Take");
    takeEnabled = false;
    if (stop == TimerStop::afterDisable) timerStop(flashTimer);
}

void Quorvex::clearUndo() {
    const zant_string panel(panelId);
    controlDisable(panel, "Undo");
    undoEnabled = false;
    textPut("text", zant_string(), panel, "UndoSource");
    textPut("text", zant_string(), panel, "UndoDest");
    undoSourceID = 0;
    undoDestID = 0;
}

zant_string Quorvex::shownName(int database, int index) {
    zant_string name;
    routerName(device, database, index, name);
    name.replace('|', ' ');
    return name;
}

// Timer and revertives ------------------------------------------------------

void Quorvex::onTimer(int timer) {
    if (timer != flashTimer) {
        timerStop(timer);
        return;
    }
    --flashCount;
    if (flashCount == 0) {
        // The last flashing step's look stays.
        disarmTake(TimerStop::beforeDisable, RestingLook::asLeft);
    } else {
        textPut("statesheet", flashCount % 2 == 0 ? takeHigh : takeLow, panelId, "Take");
    }
}

int Quorvex::onRevertive(zant_revertive_event* revertive) {
    // Hot path: every crosspoint change of every registered router arrives
    // here. One comparison, one bounds check, one store; nothing allocated.
    if (revertive->device() == device) {
        const unsigned int index = static_cast<unsigned int>(revertive->index());
        if (index < routeCount) routeTable[index] = revertive->value();
    }
    return 0;
}

void Quorvex::resetRoutes(int destinations) {
    size_t entries = minRouteEntries;
    if (destinations >= minRouteEntries) {
        entries =
            static_cast<size_t>(destinations > maxDestinations ? maxDestinations : destinations) +
            1;
    }
    routes.assign(entries, 0);
    routeTable = routes.data();
    routeCount = static_cast<unsigned int>(routes.size());
}

// Parent messages -------------------------------------------------------------

zant_string Quorvex::onParentMessage(parentMessage* message) {
    const zant_string name(message->name);
    const zant_string value(message->value);
    const zant_string panel(panelId);

    if (name == "return") {
        return value == "all" ? settingsReply() : zant_string();
    }
    if (name == "instance") {
        applyInstance(value);
    } else if (name == "sourceID") {
        select(sourceID, sourceNameStale, value.toInt(), sourceDatabase, "Source");
    } else if (name == "destID") {
        select(destID, destNameStale, value.toInt(), destinationDatabase, "Dest");
    } else if (name == "bgndStyle") {
        bgndStyle = value;
        textPut("statesheet", bgndStyle, panel, "Background");
    } else if (name == "takeHigh") {
        takeHigh = value;
    } else if (name == "takeLow") {
        takeLow = value;
    } else if (name == "takeDouble") {
        applyDoublePush(value, takeDouble, "Take");
    } else if (name == "undoDouble") {
        applyDoublePush(value, undoDouble, "Undo");
    } else if (name == "_events") {
        zant_stringlist events;
        events << deselectEvent;
        return events.toString('\n');
    } else if (name == "_commands") {
        zant_stringlist commands;
        commands << "sourceID=[value]"
                 << "destID=[value]";
        return commands.toString('\n');
    }
    return zant_string();
}

zant_string Quorvex::settingsReply() const {
    // The five "name=value" lines joined by line feeds, built in place in one
    // text rather than as five filled templates copied into a list and joined.
    zant_string reply;
    reply.reserve(64 + bgndStyle.length() + takeHigh.length() + takeLow.length());
    reply += "bgndStyle=";
    reply += bgndStyle;
    reply += "\ntakeHigh=";
    reply += takeHigh;
    reply += "\ntakeLow=";
    reply += takeLow;
    reply += "\ntakeDouble=";
    reply += takeDouble ? "True" : "False";
    reply += "\nundoDouble=";
    reply += undoDouble ? "True" : "False";
    return reply;
}

void Quorvex::applyInstance(const zant_string& name) {
    if (name == instance) return;
    int found = 0;
    instanceLookup(name, &found, nullptr);
    // Only a device in 1..999 is taken on; otherwise the name is not kept, so
    // it is looked up again when it comes again.
    if (!isDeviceNumber(found)) return;
    if (devicePresent()) routerUnregister(device);
    const bool otherDevice = found != device;
    instance = name;
    device = found;
    destCount = databaseSize(device, destinationDatabase);
    routerRegister(device, 1, destCount, false);
    resetRoutes(destCount);
    routerPoll(device, 1, destCount);
    if (!otherDevice) return;
    // The same indices name other signals on another router, and a selection
    // made before any device has shown no name: no name shown so far counts,
    // Take waits for them to be shown from this device, and the undo, taken
    // on the previous router, is never sent to this one.
    sourceNameStale = true;
    destNameStale = true;
    if (takeEnabled) disarmTake(TimerStop::afterDisable, RestingLook::takeHigh);
    if (undoEnabled) clearUndo();
}

void Quorvex::select(int32_t& selected, bool& nameStale, int index, int database,
                     const char* control) {
    selected = index;
    zant_string name;
    if (index >= 1 && devicePresent()) {
        name = shownName(database, index);
        // The stored undo belonged to the previous selection.
        if (undoEnabled) clearUndo();
    }
    // Below 1 the selection is gone: its text is emptied and updateTake
    // disarms a Take armed for the old one (for destinations too, so a Take
    // can never route to destination 0).
    textPut("text", name, panelId, control);
    nameStale = false;
    // The operator must see both names of the route that Take will make.
    if (selectionComplete()) {
        showStaleName(sourceNameStale, sourceID, sourceDatabase, "Source");
        showStaleName(destNameStale, destID, destinationDatabase, "Dest");
    }
    updateTake();
}

void Quorvex::showStaleName(bool& nameStale, int index, int database, const char* control) {
    if (!nameStale) return;
    textPut("text", shownName(database, index), panelId, control);
    nameStale = false;
}

void Quorvex::applyDoublePush(const zant_string& value, bool& flag, const char* control) {
    const zant_string setting = value.lower();
    if (setting != "true" && setting != "false") return;
    flag = setting == "true";
    textPut("doublepush", boolText(flag), panelId, control);
}
