// The boundary between the panel runtime host and a script component.
//
// A host includes this header and links nothing for it. It loads the
// component library, calls `load_zant_client_script` once per sub-panel
// instance, drives the returned object only through `notify` and destroys it
// through its virtual destructor. The component answers only through
// `zant_host::execute`.
//
// Threads: the component starts no threads and takes no locks. Every call in
// either direction happens on the thread on which the host calls `notify`;
// `execute` returns before the component goes on.
#ifndef ZANT_HOST_H
#define ZANT_HOST_H

#include <cstdint>

#include "host/zant_string.h"
#include "script_helper/parentMessage.h"

// What the component calls on the host. Only the second virtual operation,
// `execute`, is ever called; the vtable order is part of the binary interface.
class zant_host {
public:
    virtual ~zant_host() {}

    // Modes the component uses.
    static constexpr int modeCommand = 0;
    static constexpr int modeRelease = 5;

    // mode 0: carry out the command `text` (owned by the component, valid only
    //   during the call). The result is a reply text owned by the host, or null.
    //   The component copies the replies of "TG", "SD", "XI" and "RN" and hands
    //   each back once with mode 5; it tests the reply of "PS" for null only and
    //   never hands it back; it ignores every other reply.
    // mode 5: release `text`, a reply returned by mode 0. Must accept null
    //   (sent after an "RN" that had no reply) and do nothing for it.
    virtual char* execute(const char* text, int mode) = 0;
};

// What the host holds: the component as the host sees it. The vtable order
// (destructor, then `notify`) is part of the binary interface.
class zant_client_callback {
public:
    virtual ~zant_client_callback() {}

    // Notification kinds and their `data`:
    //   1 zant_revertive_record*  result null
    //   2 zant_button_record*     result null
    //   3 const char* message from the parent panel; result: a reply text
    //     allocated by the component, or null. The host hands every non-null
    //     reply back with kind 5 once it is done with it.
    //   4 the timer number itself (not a pointer)          result null
    //   5 a reply returned by kind 3; the component frees it; result null
    //   6, 7 a 32-bit word, passed on unread               result null
    // Any other kind does nothing and yields null. Records and texts of kinds
    // 1 to 3 need to stay valid only during the call: nothing keeps them.
    // Never throws.
    virtual char* notify(void* data, int kind) = 0;
};

// Notification kinds of `notify`.
enum zant_notify_kind : int {
    zantRevertive = 1,
    zantButton = 2,
    zantParentMessage = 3,
    zantTimer = 4,
    zantReleaseReply = 5,
    zantEvent6 = 6,
    zantEvent7 = 7,
};

// Kind 1: a router device reports that `index` (a destination) now carries
// `value` (a source).
struct zant_revertive_record {
    int32_t device;
    int32_t unused;
    int32_t index;
    int32_t value;
};
static_assert(sizeof(zant_revertive_record) == 16, "host layout");

// Kind 2: a button event. `panel` and `id` are NUL-terminated texts; `message`
// is the event's text already split by the host. A null pointer reads as the
// empty text.
struct zant_button_record {
    uint32_t unused0;
    uint32_t unused1;
    const char* panel;
    const char* id;
    parentMessage* message;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(zant_button_record) == 20, "host layout");
#endif

// A handler's view of a button event; valid only during the handler's call.
class zant_button_event {
public:
    explicit zant_button_event(const zant_button_record* record) : record_(record) {}

    zant_string panel() const { return zant_string(record_->panel); }
    zant_string id() const { return zant_string(record_->id); }
    // The name and the value of the event's text ("name=value").
    zant_string command() const {
        return zant_string(record_->message ? record_->message->name : nullptr);
    }
    zant_string value() const {
        return zant_string(record_->message ? record_->message->value : nullptr);
    }

private:
    const zant_button_record* record_;
};

// A handler's view of a revertive; valid only during the handler's call.
class zant_revertive_event {
public:
    explicit zant_revertive_event(const zant_revertive_record* record) : record_(record) {}

    int device() const { return record_->device; }
    int index() const { return record_->index; }
    int value() const { return record_->value; }

private:
    const zant_revertive_record* record_;
};

// The library's only export. Creates one component for `host` (which may be
// null: the component then sends nothing) with `path`, the folder the host
// loads the component's layouts from (null reads as empty). The host owns the
// result and destroys it through its virtual destructor. Returns null only if
// the component cannot be created.
// The component library defines ZANT_BUILDING_COMPONENT to export it; a host
// resolves it by name at run time (dlsym, GetProcAddress) as a
// `zant_load_function`.
#if !defined(ZANT_BUILDING_COMPONENT)
#define ZANT_EXPORT
#elif defined(_WIN32)
#define ZANT_EXPORT __declspec(dllexport)
#else
#define ZANT_EXPORT __attribute__((visibility("default")))
#endif

extern "C" ZANT_EXPORT zant_client_callback* load_zant_client_script(zant_host* host,
                                                                     const char* path);

using zant_load_function = zant_client_callback* (*)(zant_host* host, const char* path);
constexpr const char* zantLoadFunctionName = "load_zant_client_script";

#endif  // ZANT_HOST_H
