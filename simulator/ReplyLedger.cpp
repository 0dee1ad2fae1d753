#include "simulator/ReplyLedger.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "host/zant_host.h"

ReplyLedger::~ReplyLedger() {
    for (auto& entry : entries_) std::free(const_cast<char*>(entry.first));
}

char* ReplyLedger::issue(const std::string& command, const std::string& text) {
    char* reply = static_cast<char*>(std::malloc(text.size() + 1));
    if (reply == nullptr) throw std::bad_alloc();
    std::memcpy(reply, text.c_str(), text.size() + 1);
    entries_[reply] = Entry{command, false, issued_++};
    return reply;
}

ReplyLedger::Release ReplyLedger::release(const char* reply, std::string& command) {
    if (reply == nullptr) return Release::nullReply;
    const auto found = entries_.find(reply);
    if (found == entries_.end()) return Release::unknown;
    command = found->second.command;
    if (found->second.released) return Release::twice;
    found->second.released = true;
    return Release::ok;
}

std::vector<std::string> ReplyLedger::outstanding() const {
    std::map<unsigned long, std::string> inOrder;
    for (const auto& entry : entries_) {
        if (!entry.second.released && zant_reply_handed_back(entry.second.command.c_str())) {
            inOrder[entry.second.order] = entry.second.command;
        }
    }
    std::vector<std::string> commands;
    commands.reserve(inOrder.size());
    for (const auto& entry : inOrder) commands.push_back(entry.second);
    return commands;
}
