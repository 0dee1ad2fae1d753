// A host built with the Microsoft ABI: loads the component library named by
// ZANT_PROBE_LIBRARY, plays the operator story through `notify` and checks
// every command text byte for byte, every reply hand-back, the kind-3 replies
// and the stack alignment the component runs with; destroys the component
// through slot 0 as Visual C++ does (`delete`). Exit status 0 when all held.
#include <stddef.h>
#include <stdint.h>

#include "Boundary.h"
#include "Freestanding.h"
#include "Kernel32.h"

// The compiler's intrinsic: where the current function's return address lies.
extern "C" void* _AddressOfReturnAddress();

using probe::Text;

namespace {

// One expected `execute`: a command with the reply the host gives, or the
// hand-back of a reply ("back " and the command it answered, "back null").
struct Call {
    const char* text;
    const char* reply;
};

constexpr int maxCalls = 32;
constexpr int maxOutstanding = 16;
constexpr int maxFailures = 64;
int failures = 0;

void fail(const Text& line) {
    if (++failures <= maxFailures) {
        probe::print(line.c_str());
        probe::print("\n");
    }
}

// What the component may assume about the stack at a call it makes: 16-byte
// alignment, re-established by the component whatever alignment it got.
bool callerStackAligned(void* returnAddressSlot) {
    const uintptr_t stackAtCall = reinterpret_cast<uintptr_t>(returnAddressSlot) + sizeof(void*);
    return stackAtCall % 16 == 0;
}

class ProbeHost : public zant_host {
public:
    // The calls the next step must make, in order (copied: the texts are
    // literals).
    void expect(const char* step, const Call* calls, int count) {
        step_ = step;
        count_ = count < maxCalls ? count : maxCalls;
        for (int i = 0; i < count_; ++i) calls_[i] = calls[i];
        next_ = 0;
    }

    // Reports what the step did not send, and replies still out that had to
    // come back.
    void finishStep() {
        for (; next_ < count_; ++next_) {
            fail(Text() << step_ << ": expected \"" << calls_[next_].text << "\", got nothing");
        }
    }

    char* execute(const char* text, int mode) override {
        if (!callerStackAligned(_AddressOfReturnAddress())) {
            fail(Text() << step_ << ": execute reached on a stack not aligned to 16 bytes");
        }
        Text seen;
        char* reply = nullptr;
        if (mode == 5) {
            seen << "back " << handBack(text);
        } else if (mode == 0) {
            seen << text;
        } else {
            seen << "mode " << mode << ": " << text;
        }
        if (next_ >= count_) {
            fail(Text() << step_ << ": unexpected \"" << seen.c_str() << "\"");
            return nullptr;
        }
        const Call& wanted = calls_[next_++];
        if (!probe::equal(seen.c_str(), wanted.text)) {
            fail(Text() << step_ << ": expected \"" << wanted.text << "\"\n    got      \""
                        << seen.c_str() << "\"");
            return nullptr;
        }
        if (mode == 0 && wanted.reply != nullptr) reply = issue(text, wanted.reply);
        return reply;
    }

    ~ProbeHost() override {
        for (Reply& reply : replies_) {
            probe::release(reply.text);
            probe::release(reply.command);
        }
    }

private:
    struct Reply {
        char* text = nullptr;
        char* command = nullptr;
    };

    char* issue(const char* command, const char* text) {
        for (Reply& reply : replies_) {
            if (reply.text != nullptr) continue;
            reply.text = probe::copy(text);
            reply.command = probe::copy(command);
            return reply.text;
        }
        fail(Text() << step_ << ": more than " << maxOutstanding << " replies out");
        return nullptr;
    }

    // The command whose reply comes back, and the reply freed here, by the
    // side that allocated it.
    const char* handBack(const char* text) {
        if (text == nullptr) return "null";
        for (Reply& reply : replies_) {
            if (reply.text != text) continue;
            backText_.clear();
            backText_ << reply.command;
            probe::release(reply.text);
            probe::release(reply.command);
            reply = Reply();
            return backText_.c_str();
        }
        return "a pointer that is no outstanding reply";
    }

    const char* step_ = "";
    Call calls_[maxCalls] = {};
    int count_ = 0;
    int next_ = 0;
    Reply replies_[maxOutstanding];
    Text backText_;
};

// Calls `function` with `this` in ecx and two stack words on a stack `shift`
// bytes below a 16-byte boundary: a Visual C++ caller aligns to 4 bytes only.
#if defined(_M_IX86)
void* callShifted(void* function, void* self, const void* first, const void* second,
                  unsigned int shift) {
    const void* words[2] = {first, second};
    void* result = function;
    void* scratch = nullptr;
    __asm__ volatile(
        "movl %%esp, %%esi\n\t"
        "andl $-16, %%esp\n\t"
        "subl %%ebx, %%esp\n\t"
        "pushl 4(%%edi)\n\t"
        "pushl (%%edi)\n\t"
        "calll *%%eax\n\t"
        "movl %%esi, %%esp\n\t"
        : "+a"(result), "+c"(self), "=d"(scratch)
        : "b"(shift), "D"(words)
        : "esi", "memory", "cc");
    return result;
}

unsigned int shiftCount = 0;

void* slot(void* object, int index) {
    return (*static_cast<void***>(object))[index];
}
#endif

char* notifyShifted(zant_client_callback* component, void* data, int kind) {
#if defined(_M_IX86)
    // 0, 4, 8 and 12 bytes off in turn.
    const unsigned int shift = 4u * (shiftCount++ % 4u);
    return static_cast<char*>(callShifted(slot(component, 1), component, data,
                                          reinterpret_cast<void*>(static_cast<intptr_t>(kind)),
                                          shift));
#else
    return component->notify(data, kind);
#endif
}

zant_client_callback* loadShifted(zant_load_function load, zant_host* host, const char* path) {
#if defined(_M_IX86)
    return static_cast<zant_client_callback*>(
        callShifted(reinterpret_cast<void*>(load), nullptr, host, path, 4));
#else
    return load(host, path);
#endif
}

template <int count>
void expect(ProbeHost& host, const char* step, const Call (&calls)[count]) {
    host.expect(step, calls, count);
}

void expectNothing(ProbeHost& host, const char* step) {
    host.expect(step, nullptr, 0);
}

// Kind 3, then the kind-5 hand-back of a reply. `reply` null: none expected.
void message(ProbeHost& host, zant_client_callback* component, const char* text,
             const char* reply) {
    char* got = notifyShifted(component, const_cast<char*>(text), 3);
    host.finishStep();
    if (!probe::equal(got, reply)) {
        fail(Text() << "message " << text << ": reply \"" << got << "\", expected \"" << reply
                    << "\"");
    }
    if (got == nullptr) return;
    expectNothing(host, "kind 5");
    if (notifyShifted(component, got, 5) != nullptr) fail(Text() << "kind 5 returned a text");
    host.finishStep();
}

void plain(ProbeHost& host, zant_client_callback* component, void* data, int kind) {
    if (notifyShifted(component, data, kind) != nullptr) {
        fail(Text() << "kind " << kind << " returned a text");
    }
    host.finishStep();
}

char emptyText[1] = {'\0'};

void button(ProbeHost& host, zant_client_callback* component, const char* panel, const char* id) {
    char text[] = "press";
    zant_message_record split{};
    split.name = text;
    for (char*& item : split.items) item = emptyText;
    split.value = emptyText;
    split.buffer = text;
    zant_button_record record{0, 0, panel, id, &split};
    plain(host, component, &record, 2);
}

void revertive(ProbeHost& host, zant_client_callback* component, int device, int index, int value) {
    zant_revertive_record record{device, 0, index, value};
    plain(host, component, &record, 1);
}

void* word(int value) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(value));
}

void story(ProbeHost& host, zant_client_callback* component) {
    expect(host, "bgndStyle", {{"TP 'statesheet=grey' '1' 'Background'", nullptr}});
    message(host, component, "bgndStyle=grey", nullptr);
    expectNothing(host, "takeHigh, takeLow");
    message(host, component, "takeHigh=red", nullptr);
    message(host, component, "takeLow=dark", nullptr);
    expect(host, "takeDouble", {{"TP 'doublepush=false' '1' 'Take'", nullptr}});
    message(host, component, "takeDouble=false", nullptr);

    // The destination count comes from KV_ROOT\KV_SYSTEM\config\system\dev_012.ini.
    expect(host, "instance",
           {{"SD 'studioA'", "12 0"},
            {"back SD 'studioA'", nullptr},
            {"RR 12 1 16", nullptr},
            {"RP 12 1 16", nullptr}});
    message(host, component, "instance=studioA", nullptr);

    expectNothing(host, "revertives");
    revertive(host, component, 12, 3, 1);
    revertive(host, component, 40, 3, 9);
    revertive(host, component, 12, 4, 2);

    expect(host, "sourceID",
           {{"RN 12 0 3", "CAM|3"},
            {"back RN 12 0 3", nullptr},
            {"TP 'text=CAM 3' '1' 'Source'", nullptr}});
    message(host, component, "sourceID=3", nullptr);
    // A name request without a reply still hands back (null).
    expect(host, "destID",
           {{"RN 12 1 3", nullptr},
            {"back null", nullptr},
            {"TP 'text=' '1' 'Dest'", nullptr},
            {"CE '1' 'Take'", nullptr},
            {"TP 'statesheet=red' '1' 'Take'", nullptr},
            {"ET 2 1000", nullptr}});
    message(host, component, "destID=3", nullptr);

    expect(host, "tick of timer 2", {{"TP 'statesheet=dark' '1' 'Take'", nullptr}});
    plain(host, component, word(2), 4);
    expect(host, "tick of timer 5", {{"ET 5", nullptr}});
    plain(host, component, word(5), 4);
    expectNothing(host, "kinds 0, 6, 7, 9");
    const int unknownOrUnread[] = {0, 6, 7, 9};
    for (int kind : unknownOrUnread) plain(host, component, word(77), kind);

    expectNothing(host, "return=all");
    message(host, component, "return=all",
            "bgndStyle=grey\ntakeHigh=red\ntakeLow=dark\ntakeDouble=False\nundoDouble=False");
    message(host, component, "_events", "deselect=-1");

    expectNothing(host, "Take on panel 2");
    button(host, component, "2", "Take");
    expect(host, "Take",
           {{"ET 2", nullptr},
            {"TP 'statesheet=red' '1' 'Take'", nullptr},
            {"CD '1' 'Take'", nullptr},
            {"TP 'text=' '1' 'Source'", nullptr},
            {"TP 'text=' '1' 'Dest'", nullptr},
            {"RN 12 0 1", "CAM|1"},
            {"back RN 12 0 1", nullptr},
            {"TP 'text=CAM 1' '1' 'UndoSource'", nullptr},
            {"RN 12 1 3", "PGM|Main"},
            {"back RN 12 1 3", nullptr},
            {"TP 'text=PGM Main' '1' 'UndoDest'", nullptr},
            {"CE '1' 'Undo'", nullptr},
            {"RC 12 3 3 ',' 0", nullptr},
            {"HN 'deselect=-1'", nullptr}});
    button(host, component, "1", "Take");
    expect(host, "Undo",
           {{"RC 12 1 3 ',' 0", nullptr},
            {"CD '1' 'Undo'", nullptr},
            {"TP 'text=' '1' 'UndoSource'", nullptr},
            {"TP 'text=' '1' 'UndoDest'", nullptr}});
    button(host, component, "1", "Undo");
}

int run() {
    char library[512];
    const unsigned long size =
        GetEnvironmentVariableA("ZANT_PROBE_LIBRARY", library, sizeof library);
    if (size == 0 || size >= sizeof library) {
        probe::print("ZANT_PROBE_LIBRARY names no library\n");
        return 2;
    }
    void* module = LoadLibraryA(library);
    if (module == nullptr) {
        probe::print((Text() << "cannot load " << library << "\n").c_str());
        return 2;
    }
    auto load =
        reinterpret_cast<zant_load_function>(GetProcAddress(module, "load_zant_client_script"));
    if (load == nullptr) {
        probe::print("no export load_zant_client_script\n");
        return 2;
    }
    {
        ProbeHost host;
        expect(host, "construction",
               {{"PS '1' 'probe/myTakePanel.zant_ui'", "1"},
                {"CD '1' 'Take'", nullptr},
                {"CD '1' 'Undo'", nullptr},
                {"TP 'text=' '1' 'Source'", nullptr},
                {"TP 'text=' '1' 'Dest'", nullptr},
                {"TP 'text=' '1' 'UndoSource'", nullptr},
                {"TP 'text=' '1' 'UndoDest'", nullptr},
                {"TP 'doublepush=true' '1' 'Take'", nullptr},
                {"TP 'doublepush=false' '1' 'Undo'", nullptr}});
        zant_client_callback* component = loadShifted(load, &host, "probe");
        host.finishStep();
        if (component == nullptr) {
            probe::print("load_zant_client_script returned null\n");
            return 1;
        }
        story(host, component);
        // Slot 0 with flags 1: the component frees itself, with its allocator.
        expect(host, "destruction", {{"RU 12", nullptr}, {"AS", nullptr}});
        const unsigned long deletionsBefore = probe::deletions();
        delete component;
        host.finishStep();
        if (probe::deletions() != deletionsBefore) fail(Text() << "the host freed the component");
    }
    FreeLibrary(module);
    return failures == 0 ? 0 : 1;
}

}  // namespace

extern "C" void __cdecl probeMain() {
    const int status = run();
    probe::print(status == 0 ? "operator story passed\n" : "operator story FAILED\n");
    ExitProcess(static_cast<unsigned int>(status));
}
