#include "tests/reliability/CheckingHost.h"

#include <algorithm>
#include <cstring>

#include "tests/reliability/CommandShape.h"

namespace {

constexpr size_t quarantineSize = 32;
constexpr size_t maxViolations = 100;
constexpr size_t quotedLength = 120;

bool mustBeHandedBack(const std::string& mnemonic) {
    return mnemonic == "TG" || mnemonic == "SD" || mnemonic == "XI" || mnemonic == "RN";
}

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

void CheckingHost::violation(const std::string& what) {
    if (violations_.size() < maxViolations) violations_.push_back(what);
}

int CheckingHost::mustComeBack() const {
    return static_cast<int>(
        std::count_if(outstanding_.begin(), outstanding_.end(),
                      [](const auto& entry) { return mustBeHandedBack(entry.second.mnemonic); }));
}

long long CheckingHost::sent(const std::string& mnemonic) const {
    const auto found = sentByMnemonic_.find(mnemonic);
    return found == sentByMnemonic_.end() ? 0 : found->second;
}

char* CheckingHost::execute(const char* text, int mode) {
    if (mode == zant_host::modeRelease) {
        release(text);
        return nullptr;
    }
    if (mode != zant_host::modeCommand) {
        violation("execute with mode " + std::to_string(mode));
        return nullptr;
    }
    if (text == nullptr) {
        violation("a null command text");
        return nullptr;
    }
    const std::string command(text);
    ++commandCount_;
    const std::string mnemonic = command.substr(0, 2);
    ++sentByMnemonic_[mnemonic];
    const std::string error = commandShapeError(command);
    if (!error.empty()) violation("malformed command " + quoted(command) + ": " + error);
    recent_.push_back(command);
    if (recent_.size() > historySize) recent_.pop_front();

    const std::optional<std::string> reply = replyTo(command);
    if (!reply) return nullptr;
    char* copy = new char[reply->size() + 1];
    std::memcpy(copy, reply->c_str(), reply->size() + 1);
    // Replies of "PS" and of ignored commands stay the host's until it ends.
    outstanding_[copy] = Reply{mnemonic};
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
        violation(twice ? "a reply handed back twice" : "released a pointer the host never gave");
        return;
    }
    if (!mustBeHandedBack(found->second.mnemonic)) {
        violation("the reply of \"" + found->second.mnemonic + "\" was handed back");
    }
    outstanding_.erase(found);
    quarantine_.push_back(const_cast<char*>(text));
    if (quarantine_.size() > quarantineSize) {
        delete[] quarantine_.front();
        quarantine_.pop_front();
    }
}
