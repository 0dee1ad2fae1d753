// The base class of every script component: keeps the host connection, turns
// the host's notifications into calls of virtual handlers, and formats the
// command texts that panels, controls, router devices and timers understand.
//
// Memory rules at the host boundary:
//   - Command texts passed to `execute` are ours and valid only during the call.
//   - Replies of "TG", "SD", "XI" and "RN" are copied, then handed back once with
//     `execute(reply, 5)` ("RN" hands back null too). The reply of "PS" is only
//     tested for null and never handed back. Other replies are ignored.
//   - A kind-3 reply is a malloc'd copy the host owns until it hands it back
//     with kind 5, when it is freed here.
// Without a host every operation sends nothing: text results are empty,
// `instanceLookup` is false with both numbers 0 and `panelShow` is true.
// Everything runs on the thread that calls `notify`; nothing is locked.
#ifndef ZANT_SCRIPT_HELPER_H
#define ZANT_SCRIPT_HELPER_H

#include "host/zant_host.h"
#include "host/zant_string.h"
#include "script_helper/parentMessage.h"

// What `onEvent6` and `onEvent7` receive: the notification's data word.
struct zant_word_event {
    void* data;
};

class zant_script_helper : public zant_client_callback {
public:
    // Stores `host` (may be null; never deleted here) and a copy of `path`
    // (null reads as empty). Sends nothing.
    zant_script_helper(zant_host* host, const char* path);
    // Sends "AS" once when there is a host.
    ~zant_script_helper() override;
    zant_script_helper(const zant_script_helper&) = delete;
    zant_script_helper& operator=(const zant_script_helper&) = delete;

    // Dispatches kinds 1 to 7 (see zant_client_callback). Kinds 1 and 2 with
    // null data call no handler. Never throws: a handler's exception ends the
    // notification with null and one zantHandlerThrewPrefix line on the
    // debugger output.
    char* notify(void* data, int kind) override;

    // Handlers, in the order of the binary interface. Event objects and the
    // message live on `notify`'s stack: use them only during the call.
    virtual void onButton(zant_button_event* event) = 0;
    virtual int onRevertive(zant_revertive_event* revertive) = 0;  // result ignored
    // The result is the reply to the parent panel; empty means no reply.
    virtual zant_string onParentMessage(parentMessage* message) = 0;
    virtual void onEvent7(zant_word_event* event);
    virtual void onTimer(int timer) = 0;
    virtual void onEvent6(zant_word_event* event);

    // Panel and control commands.
    // "TP 'property=value' 'panel' 'control'"
    void textPut(const zant_string& property, const zant_string& value, const zant_string& panel,
                 const zant_string& control);
    // "TG 'panel' 'control' 'property'": the value of a "property=value" reply,
    // the whole reply for property "all", else "" (a mismatch is written to the
    // debugger output).
    void textGet(const zant_string& property, const zant_string& panel, const zant_string& control,
                 zant_string& result);
    void controlEnable(const zant_string& panel, const zant_string& control);   // "CE"
    void controlDisable(const zant_string& panel, const zant_string& control);  // "CD"
    void hostNotify(const zant_string& text);                                   // "HN 'text'"
    // "PS 'panel' 'path/file'" (no "path/" when `path` is empty), then
    // " 'extra'" when extra is not empty. True when the host replied non-null.
    bool panelShow(const zant_string& panel, const zant_string& file, const zant_string& extra);
    // "SD 'name'": the first two words of the reply through `first`, `second`
    // (each may be null). True when a reply came.
    bool instanceLookup(zant_string name, int* first, int* second);
    // "XI 'panel' 'pattern'": the ids of the ','-separated reply.
    zant_stringlist controlList(const zant_string& panel, const zant_string& pattern);
    // Fills "%1".."%9" of `format` and writes it to the debugger output.
    void debug(const zant_string& format, const zant_string& a1 = zant_string(),
               const zant_string& a2 = zant_string(), const zant_string& a3 = zant_string(),
               const zant_string& a4 = zant_string(), const zant_string& a5 = zant_string(),
               const zant_string& a6 = zant_string(), const zant_string& a7 = zant_string(),
               const zant_string& a8 = zant_string(), const zant_string& a9 = zant_string());

    // Device and timer commands. The numeric ones allocate nothing and are
    // never cut, whatever the values.
    // "RC device source destination ',extra' 0|1"
    void routerCrosspoint(int device, int source, int destination, const zant_string& extra,
                          bool flag);
    // "RN device database index": `name` becomes the reply; unchanged without one.
    void routerName(int device, int database, int index, zant_string& name);
    void routerPoll(int device, int first, int second);                // "RP d f s"
    void routerRegister(int device, int first, int second, bool add);  // "RR d f s['ADD']"
    void routerUnregister(int device);                                 // "RU d"
    void timerStart(int timer, int interval);  // "ET t i", or "ET t" for interval 0
    void timerStop(int timer);                 // "ET t"
    // Size of `database` of `device` from
    // KV_ROOT\KV_SYSTEM\config\system\dev_NNN.ini, section "Database", key
    // "DatabaseSize_N"; 0 for anything missing, empty, not a number, or a path
    // longer than 259 characters. Values beyond the int range are clamped.
    int databaseSize(int device, int database);

    // Sets "alarm" (and "value" where a level follows) on every "alm_"
    // control of panel "1". Used by the alarm routing when `alarmFilter` is set.
    void alarmAll(const zant_string& value);

protected:
    // Sends "AS" if there is a host; the destructor's only call.
    void hostDetach();

    zant_host* const host;
    const zant_string path;
    // When set, "ActionAll" alarm events and "AckAll" are handled by
    // `alarmAll` instead of reaching `onButton`.
    bool alarmFilter;

private:
    // The alarm state that stands for acknowledged: what "AckAll" and the
    // value "ack" set.
    static constexpr int alarmAcknowledged = 4;

    // atoi's reading (leading blanks, optional sign, digits; 0 for no number),
    // clamped to the int range instead of overflowing.
    static int parseNumber(const char* text);
    void send(const char* text);
    // Every kind but revertives, which notify delivers itself.
    char* dispatch(void* data, int kind);
    // The one line on the debugger output for a handler that threw.
    static void reportThrow(int kind) noexcept;
    void dispatchButton(zant_button_event* event);
    char* dispatchParentMessage(const char* text);
};

#endif  // ZANT_SCRIPT_HELPER_H
