// A component built with the Microsoft ABI, for panel_host to play from
// component_probe.scn. It shows in its panel what each notification brought,
// field by field, so that the scenario checks the records as the host laid
// them out; it hands back every reply it asks for and frees its own kind-3
// replies. A fault it notices becomes a command panel_host does not know
// ("FAULT ..."), which fails the run. Slot 0 sends "HN 'destroyed'", and
// "HN 'freed'" once it frees the object, which Visual C++ does only when
// the caller set bit 0 of the flags.
#include <stddef.h>
#include <stdint.h>

#include "Boundary.h"
#include "Freestanding.h"

using probe::Text;

namespace {

constexpr int maxReplies = 8;

// The host of the object being destroyed, for operator delete, which runs
// after the destructor.
zant_host* destroyedFor = nullptr;

class ProbeComponent : public zant_client_callback {
public:
    ProbeComponent(zant_host* host, const char* path) : host_(host) {
        if (host_ == nullptr) return;
        Text command;
        command << "PS '1' '" << path << "/probe_panel.zant_ui'";
        if (host_->execute(command.c_str(), 0) == nullptr) fault("PS had no reply");
        show("Status", "ready");
    }

    ~ProbeComponent() override {
        if (host_ != nullptr) send("HN 'destroyed'");
        destroyedFor = host_;
    }

    char* notify(void* data, int kind) override {
        switch (kind) {
            case 1:
                revertive(*static_cast<const zant_revertive_record*>(data));
                return nullptr;
            case 2:
                button(*static_cast<const zant_button_record*>(data));
                return nullptr;
            case 3:
                return message(static_cast<const char*>(data));
            case 4:
                tick(static_cast<int>(reinterpret_cast<intptr_t>(data)));
                return nullptr;
            case 5:
                releaseReply(static_cast<char*>(data));
                return nullptr;
            default:
                return nullptr;
        }
    }

    static void* operator new(size_t size) { return probe::allocate(size); }
    static void operator delete(void* block) {
        probe::release(block);
        if (destroyedFor != nullptr) destroyedFor->execute("HN 'freed'", 0);
        destroyedFor = nullptr;
    }

private:
    void send(const char* command) { host_->execute(command, 0); }

    void fault(const char* what) { send((Text() << "FAULT " << what).c_str()); }

    void show(const char* control, const char* text) {
        send((Text() << "TP 'text=" << text << "' '1' '" << control << "'").c_str());
    }

    // A command whose reply must come back: returns the reply's text in
    // `reply` (empty for none) and hands the reply back.
    void ask(const char* command, Text& reply) {
        char* text = host_->execute(command, 0);
        reply.clear();
        if (text != nullptr) reply << text;
        host_->execute(text, 5);
    }

    void revertive(const zant_revertive_record& record) {
        show("Revertive", (Text() << record.device << " " << record.unused << " " << record.index
                                  << " " << record.value)
                              .c_str());
    }

    void button(const zant_button_record& record) {
        const zant_message_record& split = *record.message;
        Text seen;
        seen << record.panel << " " << record.id << " " << split.name << " " << split.value << " "
             << split.itemCount << " " << (split.hasValue ? 1 : 0);
        for (int i = 0; i < split.itemCount && i < 32; ++i) seen << " " << split.items[i];
        show("Seen", seen.c_str());
    }

    // Messages: instance=NAME, name=INDEX, get=CONTROL, list (controls "S*"),
    // route=SOURCE,DEST, timer=N. The reply is "seen " and the message.
    char* message(const char* text) {
        Text reply;
        if (probe::startsWith(text, "instance=")) {
            ask((Text() << "SD '" << text + 9 << "'").c_str(), reply);
            device_ = probe::number(reply.c_str());
            send((Text() << "RR " << device_ << " 1 4").c_str());
            send((Text() << "RP " << device_ << " 1 4").c_str());
            show("Status", (Text() << "device " << device_).c_str());
        } else if (probe::startsWith(text, "name=")) {
            ask((Text() << "RN " << device_ << " 0 " << probe::number(text + 5)).c_str(), reply);
            show("Status", reply.c_str());
        } else if (probe::startsWith(text, "get=")) {
            ask((Text() << "TG '1' '" << text + 4 << "' 'text'").c_str(), reply);
            show("Status", reply.c_str());
        } else if (probe::equal(text, "list")) {
            ask("XI '1' 'S*'", reply);
            show("Status", reply.c_str());
        } else if (probe::startsWith(text, "route=")) {
            const char* destination = text + 6;
            while (*destination != '\0' && *destination != ',') ++destination;
            if (*destination == ',') ++destination;
            send((Text() << "RC " << device_ << " " << probe::number(text + 6) << " "
                         << probe::number(destination) << " ',' 0")
                     .c_str());
        } else if (probe::startsWith(text, "timer=")) {
            send((Text() << "ET " << probe::number(text + 6) << " 1000").c_str());
        }
        return giveReply((Text() << "seen " << text).c_str());
    }

    void tick(int timer) {
        show("Timer", (Text() << "tick " << timer).c_str());
        send((Text() << "ET " << timer).c_str());
    }

    char* giveReply(const char* text) {
        for (char*& slot : replies_) {
            if (slot != nullptr) continue;
            slot = probe::copy(text);
            return slot;
        }
        fault("kind-3 replies are not coming back");
        return nullptr;
    }

    void releaseReply(char* reply) {
        for (char*& slot : replies_) {
            if (slot == nullptr || slot != reply) continue;
            probe::release(slot);
            slot = nullptr;
            return;
        }
        fault("kind 5 with a pointer that is no reply of ours");
    }

    zant_host* host_;
    int device_ = 0;
    char* replies_[maxReplies] = {};
};

}  // namespace

extern "C" __declspec(dllexport)
    zant_client_callback* __cdecl load_zant_client_script(zant_host* host, const char* path) {
    return new ProbeComponent(host, path == nullptr ? "" : path);
}

extern "C" int __stdcall probeEntry(void* /*module*/, unsigned long /*reason*/,
                                    void* /*reserved*/) {
    return 1;
}
