#include "validator/CheckingHost.h"

#include <algorithm>

#include "validator/FreedMemory.h"
#include "validator/HeapMeter.h"

namespace zant::validate {

using zant::hosting::CommandGrammar;
using zant::hosting::ParsedCommand;

namespace {

// Released replies kept, poisoned, before they are freed.
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

CheckingHost::CheckingHost() : ledger_(quarantineSize) {}

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
    ParsedCommand shaped;
    std::string error = CommandGrammar::parse(command, shaped);
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
    // Replies of "PS" and of ignored commands stay the host's until it ends.
    char* copy = ledger_.issue(mnemonic, *reply);
    heldBytes_ += HeapMeter::inUse() - before;
    return copy;
}

void CheckingHost::release(const char* text) {
    using Outcome = zant::hosting::ReplyLedger::Outcome;
    ++releaseCount_;
    if (text == nullptr) {
        ++nullReleaseCount_;
        return;
    }
    const long long before = HeapMeter::inUse();
    const zant::hosting::ReplyLedger::Release released = ledger_.release(text);
    heldBytes_ += HeapMeter::inUse() - before;
    switch (released.outcome) {
        case Outcome::twice:
            violation(Rule::handBack, "a reply handed back twice");
            return;
        case Outcome::unknown:
            violation(Rule::handBack, "released a pointer the host never gave");
            return;
        case Outcome::notHandedBack:
            violation(Rule::handBack, "the reply of \"" + released.command + "\" was handed back");
            break;
        case Outcome::ok:
        case Outcome::nullReply:
            break;
    }
    // Still kept by the ledger; NUL-terminated, so a late reader gets the
    // poison, not a run past it.
    FreedMemory::poisonBlock(const_cast<char*>(text), released.length);
}

}  // namespace zant::validate
