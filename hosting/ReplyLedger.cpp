#include "hosting/ReplyLedger.h"

#include <algorithm>
#include <cstring>

#include "hosting/CommandGrammar.h"

namespace zant::hosting {

ReplyLedger::ReplyLedger(size_t keptReleased) : keptReleased_(keptReleased) {}

ReplyLedger::~ReplyLedger() {
    // Replies the host still owns: those never handed back (of "PS", of
    // ignored commands, and any the component failed to return) and the
    // released ones kept.
    for (auto& entry : entries_) delete[] entry.first;
}

char* ReplyLedger::issue(const std::string& command, const std::string& text) {
    char* reply = new char[text.size() + 1];
    std::memcpy(reply, text.c_str(), text.size() + 1);
    entries_[reply] = Entry{command, text.size(), issued_++, false};
    if (CommandGrammar::handedBack(command)) ++mustComeBack_;
    return reply;
}

ReplyLedger::Release ReplyLedger::release(const char* reply) {
    if (reply == nullptr) return Release{Outcome::nullReply, {}, 0};
    const auto found = entries_.find(reply);
    if (found == entries_.end()) return Release{Outcome::unknown, {}, 0};
    Entry& entry = found->second;
    if (entry.released) return Release{Outcome::twice, entry.command, entry.length};
    entry.released = true;
    const bool comesBack = CommandGrammar::handedBack(entry.command);
    if (comesBack) --mustComeBack_;
    Release released{comesBack ? Outcome::ok : Outcome::notHandedBack, entry.command, entry.length};
    released_.push_back(reply);
    if (released_.size() > keptReleased_) {
        const char* oldest = released_.front();
        released_.pop_front();
        entries_.erase(oldest);
        delete[] oldest;
    }
    return released;
}

std::vector<const char*> ReplyLedger::outstandingInOrder() const {
    std::vector<const char*> replies;
    for (const auto& entry : entries_) {
        if (!entry.second.released && CommandGrammar::handedBack(entry.second.command)) {
            replies.push_back(entry.first);
        }
    }
    std::sort(replies.begin(), replies.end(), [this](const char* left, const char* right) {
        return entries_.at(left).order < entries_.at(right).order;
    });
    return replies;
}

std::vector<std::string> ReplyLedger::outstanding() const {
    std::vector<std::string> commands;
    for (const char* reply : outstandingInOrder()) commands.push_back(entries_.at(reply).command);
    return commands;
}

std::vector<std::string> ReplyLedger::takeOutstanding() {
    std::vector<std::string> commands = outstanding();
    for (const char* reply : outstandingInOrder()) {
        entries_.erase(reply);
        delete[] reply;
    }
    mustComeBack_ = 0;
    return commands;
}

}  // namespace zant::hosting
