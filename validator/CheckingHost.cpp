#include "validator/CheckingHost.h"

#include <algorithm>
#include <cstring>

#include "validator/FreedMemory.h"
#include "validator/HeapMeter.h"

namespace {

constexpr size_t quarantineSize = 32;
constexpr size_t maxViolations = 100;
constexpr size_t quotedLength = 120;
// Ids remembered from "XI" replies; a hostile reply cannot grow it further.
constexpr size_t maxIdsGiven = 4096;

std::string quoted(const std::string& text) {
    if (text.size() <= quotedLength) return '"' + text + '"';
    return '"' + text.substr(0, quotedLength) + "\"... (" + std::to_string(text.size()) +
           " characters)";
}

}  // namespace

CheckingHost::~CheckingHost() {
    // Replies the host still owns: those of "PS" and of ignored commands, and
    // any the component failed to hand back (already a violation).
    for (auto& entry : outstanding_) delete[] entry.first;
    for (char* reply : quarantine_) delete[] reply;
}

std::optional<std::string> CheckingHost::replyTo(const std::string& /*command*/) {
    return std::nullopt;
}

void CheckingHost::violation(Rule rule, const std::string& what) {
    if (violations_.size() < maxViolations) violations_.push_back(Violation{rule, what});
}

std::vector<std::string> CheckingHost::violations() const {
    std::vector<std::string> texts;
    texts.reserve(violations_.size());
    for (const Violation& violation : violations_) texts.push_back(violation.what);
    return texts;
}

int CheckingHost::mustComeBack() const {
    return static_cast<int>(std::count_if(
        outstanding_.begin(), outstanding_.end(),
        [](const auto& entry) { return zant_reply_handed_back(entry.second.mnemonic.c_str()); }));
}

long long CheckingHost::sent(const std::string& mnemonic) const {
    const auto found = sentByMnemonic_.find(mnemonic);
    return found == sentByMnemonic_.end() ? 0 : found->second;
}

void CheckingHost::checkCommand(const std::string& command) {
    // Garbage read from a freed block is that fault, not a malformed command.
    if (freedBytesChecked_ && FreedMemory::carriedBy(command)) {
        violation(Rule::freed, "command " + quoted(command) + " carries bytes of a freed block");
        return;
    }
    ShapedCommand shaped;
    std::string error = CommandShape::check(command, shaped);
    if (error.empty() && layout_ && shaped.controlField >= 0) {
        const std::string& control = shaped.fields[shaped.controlField];
        if (layout_->count(control) == 0 && idsGiven_.count(control) == 0) {
            error = "control '" + control + "' is not in the layout";
        }
    }
    if (error.empty() && rule_) error = rule_(shaped);
    if (!error.empty())
        violation(Rule::command, "malformed command " + quoted(command) + ": " + error);
}

void CheckingHost::rememberIds(const std::string& mnemonic, const std::string& reply) {
    if (mnemonic != "XI" || !layout_) return;
    size_t from = 0;
    while (from <= reply.size() && idsGiven_.size() < maxIdsGiven) {
        const size_t comma = std::min(reply.find(',', from), reply.size());
        idsGiven_.insert(reply.substr(from, comma - from));
        from = comma + 1;
    }
}

char* CheckingHost::execute(const char* text, int mode) {
    if (mode == zant_host::modeRelease) {
        release(text);
        return nullptr;
    }
    if (mode != zant_host::modeCommand) {
        violation(Rule::command, "execute with mode " + std::to_string(mode));
        return nullptr;
    }
    if (text == nullptr) {
        violation(Rule::command, "a null command text");
        return nullptr;
    }
    const std::string command(text);
    ++commandCount_;
    const std::string mnemonic = command.substr(0, 2);
    ++sentByMnemonic_[mnemonic];
    if (detached_) violation(Rule::afterAS, "command " + quoted(command) + " after \"AS\"");
    if (command == "AS") detached_ = true;
    checkCommand(command);
    recent_.push_back(command);
    if (recent_.size() > historySize) recent_.pop_front();
    onCommand(command);

    const std::optional<std::string> reply = replyTo(command);
    if (!reply) return nullptr;
    rememberIds(mnemonic, *reply);
    const long long before = HeapMeter::inUse();
    char* copy = new char[reply->size() + 1];
    std::memcpy(copy, reply->c_str(), reply->size() + 1);
    // Replies of "PS" and of ignored commands stay the host's until it ends.
    outstanding_[copy] = Reply{mnemonic, reply->size()};
    heldBytes_ += HeapMeter::inUse() - before;
    return copy;
}

void CheckingHost::release(const char* text) {
    ++releaseCount_;
    if (text == nullptr) {
        ++nullReleaseCount_;
        return;
    }
    const auto found = outstanding_.find(text);
    if (found == outstanding_.end()) {
        const bool twice =
            std::find(quarantine_.begin(), quarantine_.end(), text) != quarantine_.end();
        violation(Rule::handBack,
                  twice ? "a reply handed back twice" : "released a pointer the host never gave");
        return;
    }
    if (!zant_reply_handed_back(found->second.mnemonic.c_str())) {
        violation(Rule::handBack,
                  "the reply of \"" + found->second.mnemonic + "\" was handed back");
    }
    const long long before = HeapMeter::inUse();
    char* block = const_cast<char*>(text);
    // Kept NUL-terminated, so a late reader gets the poison, not a run past it.
    FreedMemory::poisonBlock(block, found->second.length);
    outstanding_.erase(found);
    quarantine_.push_back(block);
    if (quarantine_.size() > quarantineSize) {
        delete[] quarantine_.front();
        quarantine_.pop_front();
    }
    heldBytes_ += HeapMeter::inUse() - before;
}
