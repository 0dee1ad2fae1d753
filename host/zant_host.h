// The boundary between the panel runtime host and a script component.
//
// A host includes this header and links nothing for it. It loads the
// component library, calls `load_zant_client_script` once per sub-panel
// instance, drives the returned object only through `notify` and destroys it
// with `zant_destroy_client`. The component answers only through
// `zant_host::execute`.
//
// Threads: the component starts no threads and takes no locks. Every call in
// either direction happens on the thread on which the host calls `notify`;
// `execute` returns before the component goes on.
//
// Binary interface. In the field the host and the other components are built
// with Visual C++, so on Windows these declarations follow the Microsoft C++
// ABI whatever compiler builds our side:
//   - Virtual tables. Visual C++ gives a virtual destructor one slot, the
//     scalar deleting destructor `void* (unsigned int flags)`: it destroys the
//     object and, when bit 0 of `flags` is set, frees it with the allocator of
//     the side that created it. GCC (Itanium ABI) gives it two slots. Where GCC
//     builds for Windows (ZANT_MICROSOFT_SLOTS), both classes therefore declare
//     that slot themselves as slot 0, `execute` / `notify` is slot 1, and GCC's
//     own destructor pair follows in slots 2 and 3, where a Visual C++ peer
//     never looks. Everywhere else the natural virtual destructor is slot 0
//     (Linux hosts derive from `zant_host` and may `delete` a component).
//   - Calls. On x86 the members use thiscall (`this` in ecx, callee pops the
//     arguments) and the export cdecl, under its plain undecorated name. A
//     Visual C++ caller keeps the stack aligned to 4 bytes only: a 32-bit
//     component must not assume more on entry (our x86 builds compile with
//     -mincoming-stack-boundary=2, so code that needs 16 realigns).
//   - Records keep the layouts asserted below; they hold only 32-bit integers,
//     bool and pointers, which both ABIs lay out alike.
//   - Nothing is thrown across the boundary, and no RTTI is used across it.
//   - Memory goes back to the side that allocated it: host replies through
//     `execute(reply, 5)`, kind-3 replies through `notify(reply, 5)`, the
//     component through its slot 0.
#ifndef ZANT_HOST_H
#define ZANT_HOST_H

#include <cstddef>
#include <cstdint>

#include "host/zant_string.h"

#if defined(_WIN32) && defined(__GNUC__) && !defined(_MSC_VER)
#define ZANT_MICROSOFT_SLOTS 1
#else
#define ZANT_MICROSOFT_SLOTS 0
#endif

#if ZANT_MICROSOFT_SLOTS && defined(__i386__)
#define ZANT_THISCALL __attribute__((thiscall))
#else
#define ZANT_THISCALL
#endif

#if defined(_WIN32)
#define ZANT_CDECL __cdecl
#else
#define ZANT_CDECL
#endif

#if ZANT_MICROSOFT_SLOTS
// Slot 0 as Visual C++ calls it: destroys `self` through GCC's virtual
// destructor and frees it too when bit 0 of `flags` is set.
template <class Boundary>
inline void* zant_scalar_deleting_destructor(Boundary* self, unsigned int flags) {
    if ((flags & 1u) != 0) {
        delete self;
    } else {
        self->~Boundary();
    }
    return self;
}
#endif

// What the component calls on the host. Only slot 1, `execute`, is ever
// called.
class zant_host {
public:
#if ZANT_MICROSOFT_SLOTS
    virtual void* ZANT_THISCALL deletingDestructor(unsigned int flags) {
        return zant_scalar_deleting_destructor(this, flags);
    }
#else
    virtual ~zant_host() {}
#endif

    // Modes the component uses.
    static constexpr int modeCommand = 0;
    static constexpr int modeRelease = 5;

    // mode 0: carry out the command `text` (owned by the component, valid only
    //   during the call). The result is a reply text owned by the host, or null.
    //   The component copies the replies that zant_reply_handed_back names and
    //   hands each back once with mode 5; it tests the reply of "PS" for null
    //   only and never hands it back; it ignores every other reply.
    // mode 5: release `text`, a reply returned by mode 0. Must accept null
    //   (sent after an "RN" that had no reply) and do nothing for it.
    virtual char* ZANT_THISCALL execute(const char* text, int mode) = 0;

#if ZANT_MICROSOFT_SLOTS
    virtual ~zant_host() {}
#endif
};

// What the host holds: the component as the host sees it. Slot 0 destroys it,
// slot 1 is `notify`.
class zant_client_callback {
public:
#if ZANT_MICROSOFT_SLOTS
    virtual void* ZANT_THISCALL deletingDestructor(unsigned int flags) {
        return zant_scalar_deleting_destructor(this, flags);
    }
#else
    virtual ~zant_client_callback() {}
#endif

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
    virtual char* ZANT_THISCALL notify(void* data, int kind) = 0;

#if ZANT_MICROSOFT_SLOTS
protected:
    // Only slot 0 may destroy a component: a Visual C++ component has no
    // GCC destructor pair for `delete` to call.
    virtual ~zant_client_callback() {}
    template <class Boundary>
    friend void* zant_scalar_deleting_destructor(Boundary* self, unsigned int flags);
#endif
};

// Destroys a component the one way that is right on both ABIs: through
// slot 0 on Windows, `delete` elsewhere. Null does nothing.
inline void zant_destroy_client(zant_client_callback* component) {
#if ZANT_MICROSOFT_SLOTS
    if (component != nullptr) component->deletingDestructor(1u);
#else
    delete component;
#endif
}

// zant_destroy_client for std::unique_ptr.
struct zant_client_deleter {
    void operator()(zant_client_callback* component) const { zant_destroy_client(component); }
};

// Whether the component hands the reply to `command` back with mode 5: the
// replies of "TG", "SD", "XI" and "RN" come back, those of every other
// command ("PS" included) never. `command` is a whole command text or just
// its mnemonic.
inline bool zant_reply_handed_back(const char* command) {
    if (command == nullptr || command[0] == '\0' || command[1] == '\0') return false;
    if (command[2] != '\0' && command[2] != ' ') return false;
    const char* const mnemonics[] = {"TG", "SD", "XI", "RN"};
    for (const char* mnemonic : mnemonics) {
        if (command[0] == mnemonic[0] && command[1] == mnemonic[1]) return true;
    }
    return false;
}

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

// A text split into its pieces, name[.item1[.item2...]][=value], each a
// NUL-terminated text inside `buffer`; unfilled pieces point to an empty text,
// never null. The host passes button events split into this record by
// zant_split_message (host/zant_split_message.h); the helper's `parentMessage`
// is this record over its own copy of the text, split the same way.
struct zant_message_record {
    static constexpr int maxItems = 32;

    // Text before the first '.' or '=', or the whole text.
    char* name;
    // items[k]: text after the (k+1)-th '.', up to the next '.', the first '='
    // or the end. After the 32nd '.' the scan stops: the last item holds the
    // rest of the text and no value is recognised.
    char* items[maxItems];
    // Text after the first '=', unsplit.
    char* value;
    int32_t itemCount;
    bool hasValue;
    // The split copy of the text; null for an empty one.
    char* buffer;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(zant_message_record) == 148, "host layout");
static_assert(offsetof(zant_message_record, name) == 0, "host layout");
static_assert(offsetof(zant_message_record, items) == 4, "host layout");
static_assert(offsetof(zant_message_record, value) == 132, "host layout");
static_assert(offsetof(zant_message_record, itemCount) == 136, "host layout");
static_assert(offsetof(zant_message_record, hasValue) == 140, "host layout");
static_assert(offsetof(zant_message_record, buffer) == 144, "host layout");
#endif

// Kind 2: a button event. `panel` and `id` are NUL-terminated texts; `message`
// is the event's text already split by the host. A null pointer reads as the
// empty text.
struct zant_button_record {
    uint32_t unused0;
    uint32_t unused1;
    const char* panel;
    const char* id;
    zant_message_record* message;
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
// result and destroys it with zant_destroy_client. Returns null only if the
// component cannot be created.
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

extern "C" ZANT_EXPORT zant_client_callback* ZANT_CDECL load_zant_client_script(zant_host* host,
                                                                                const char* path);

using zant_load_function = zant_client_callback*(ZANT_CDECL*)(zant_host* host, const char* path);
constexpr const char* zantLoadFunctionName = "load_zant_client_script";

// How a line on the debugger output begins when a component built on the
// helper library had a handler throw: the helper still returns null to the
// host, and a tool that reads the debugger output shows the fault.
constexpr const char* zantHandlerThrewPrefix = "zant_script_helper: a handler threw";

#endif  // ZANT_HOST_H
