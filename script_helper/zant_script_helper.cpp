// Core of the helper: construction, the host connection and the dispatch of
// notifications to the component's handlers.
#include "script_helper/zant_script_helper.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/zant_debug_output.h"

// The library's signature, kept in its initialised data for tools that
// identify a component build by scanning the binary. No code reads it.
extern "C" {
__attribute__((used)) char zant_script_helper_signature[] =
    "ZANT_SIG,name=zant_script_helper,type=LIB,version=4.8.6.0,date=16/06/2017,"
    "author=panel tools team";
}

zant_script_helper::zant_script_helper(zant_host* hostObject, const char* componentPath)
    : host(hostObject), path(componentPath), alarmFilter(false) {}

zant_script_helper::~zant_script_helper() {
    hostDetach();
}

void zant_script_helper::hostDetach() {
    send("AS");
}

void zant_script_helper::send(const char* text) {
    if (host != nullptr) host->execute(text, zant_host::modeCommand);
}

void zant_script_helper::onEvent7(zant_word_event* /*event*/) {}

void zant_script_helper::onEvent6(zant_word_event* /*event*/) {}

char* zant_script_helper::notify(void* data, int kind) {
    // Revertives outnumber every other kind (a poll brings one per
    // destination, a busy router thousands a second): they take the shortest
    // way, with a frame that holds only their event; the rest is dispatched
    // out of line.
    if (kind != zantRevertive) return dispatch(data, kind);
    if (data != nullptr) {
        // Nothing may be thrown into the host.
        try {
            zant_revertive_event event(static_cast<const zant_revertive_record*>(data));
            onRevertive(&event);
        } catch (...) {
            reportThrow(zantRevertive);
        }
    }
    return nullptr;
}

// Kept out of notify, so that the revertive path needs no frame for the
// other kinds' event objects.
#if defined(_MSC_VER)
__declspec(noinline)
#else
__attribute__((noinline))
#endif
    char* zant_script_helper::dispatch(void* data, int kind) {
    // Nothing may be thrown into the host: an allocation failure inside a
    // handler ends that notification and nothing else.
    try {
        switch (kind) {
            case zantButton:
                if (data != nullptr) {
                    zant_button_event event(static_cast<const zant_button_record*>(data));
                    dispatchButton(&event);
                }
                return nullptr;
            case zantParentMessage:
                return dispatchParentMessage(static_cast<const char*>(data));
            case zantTimer:
                onTimer(static_cast<int>(reinterpret_cast<intptr_t>(data)));
                return nullptr;
            case zantReleaseReply:
                std::free(data);
                return nullptr;
            case zantEvent6: {
                zant_word_event event{data};
                onEvent6(&event);
                return nullptr;
            }
            case zantEvent7: {
                zant_word_event event{data};
                onEvent7(&event);
                return nullptr;
            }
            default:
                return nullptr;
        }
    } catch (...) {
        reportThrow(kind);
        return nullptr;
    }
}

void zant_script_helper::reportThrow(int kind) noexcept {
    // One line, built without the heap (the fault may be its exhaustion), so
    // that a host that reads the debugger output sees it.
    char line[128];
    std::snprintf(line, sizeof line, "%s in notify of kind %d; nothing was answered",
                  zantHandlerThrewPrefix, kind);
    zant_debug_output(line);
}

void zant_script_helper::dispatchButton(zant_button_event* event) {
    if (!alarmFilter) {
        onButton(event);
        return;
    }
    const zant_string id = event->id();
    if (id == "ActionAll" && event->command() == "alarm") {
        alarmAll(event->value());
    } else if (id == "AckAll") {
        alarmAll(zant_string(alarmAcknowledged, 0, 0, 10));
    } else {
        onButton(event);
    }
}

char* zant_script_helper::dispatchParentMessage(const char* text) {
    parentMessage message(text);
    const zant_string reply = onParentMessage(&message);
    if (reply.isEmpty()) return nullptr;
    const size_t size = static_cast<size_t>(reply.length()) + 1;
    // malloc, not new: kind 5 frees it, whoever built the host.
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy != nullptr) std::memcpy(copy, static_cast<const char*>(reply), size);
    return copy;
}
