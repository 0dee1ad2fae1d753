// The host boundary as a Visual C++ peer declares it: natural virtual
// destructors (one slot each, the scalar deleting destructor), members with
// the default member calling convention, the export cdecl. The probes are
// built with the Microsoft ABI from this header alone, so they see the
// component and panel_host exactly as a host or component of the field does.
#ifndef TESTS_MSABI_BOUNDARY_H
#define TESTS_MSABI_BOUNDARY_H

class zant_host {
public:
    virtual ~zant_host() {}
    // mode 0: carry out `text`; the result is a reply or null. mode 5: take
    // back a reply (null included).
    virtual char* execute(const char* text, int mode) = 0;
};

class zant_client_callback {
public:
    virtual ~zant_client_callback() {}
    // kind 1 revertive record, 2 button record, 3 parent message (result: a
    // reply handed back later with kind 5), 4 timer number, 6 and 7 a word.
    virtual char* notify(void* data, int kind) = 0;
};

struct zant_revertive_record {
    int device;
    int unused;
    int index;
    int value;
};

struct zant_message_record {
    char* name;
    char* items[32];
    char* value;
    int itemCount;
    bool hasValue;
    char* buffer;
};

struct zant_button_record {
    unsigned int unused0;
    unsigned int unused1;
    const char* panel;
    const char* id;
    zant_message_record* message;
};

#if defined(_M_IX86)
static_assert(sizeof(zant_revertive_record) == 16, "host layout");
static_assert(sizeof(zant_message_record) == 148, "host layout");
static_assert(sizeof(zant_button_record) == 20, "host layout");
#endif

typedef zant_client_callback*(__cdecl* zant_load_function)(zant_host* host, const char* path);

#endif  // TESTS_MSABI_BOUNDARY_H
