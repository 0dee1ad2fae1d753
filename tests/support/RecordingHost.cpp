#include "tests/support/RecordingHost.h"

#include <gtest/gtest.h>

RecordingHost::~RecordingHost() {
    verify();
}

char* RecordingHost::execute(const char* text, int mode) {
    if (mode == zant_host::modeRelease) {
        using Outcome = zant::hosting::ReplyLedger::Outcome;
        const zant::hosting::ReplyLedger::Release released = ledger_.release(text);
        switch (released.outcome) {
            case Outcome::nullReply:
                calls_.push_back({"", mode, true});
                break;
            case Outcome::twice:
            case Outcome::unknown:
                ADD_FAILURE() << "released a pointer that is no outstanding reply";
                calls_.push_back({"", mode, false});
                break;
            case Outcome::notHandedBack:
            case Outcome::ok:
                // The buffer is still kept by the ledger.
                calls_.push_back({text, mode, false});
                if (released.outcome == Outcome::notHandedBack) {
                    ADD_FAILURE() << "the reply of \"" << released.command << "\" was handed back";
                }
                break;
        }
        return nullptr;
    }

    const std::string command = text ? text : "";
    calls_.push_back({command, mode, false});
    if (mode != zant_host::modeCommand) return nullptr;
    const std::optional<std::string> reply = replyFor(command);
    if (!reply) return nullptr;
    return ledger_.issue(command.substr(0, 2), *reply);
}

void RecordingHost::answer(const std::string& command, std::optional<std::string> reply) {
    exact_[command] = std::move(reply);
}

void RecordingHost::answerPrefix(const std::string& prefix, std::optional<std::string> reply) {
    prefixes_[prefix] = std::move(reply);
}

std::optional<std::string> RecordingHost::replyFor(const std::string& command) const {
    auto exact = exact_.find(command);
    if (exact != exact_.end()) return exact->second;
    const std::optional<std::string>* best = nullptr;
    size_t bestLength = 0;
    for (const auto& entry : prefixes_) {
        if (command.compare(0, entry.first.size(), entry.first) == 0 &&
            (best == nullptr || entry.first.size() > bestLength)) {
            best = &entry.second;
            bestLength = entry.first.size();
        }
    }
    return best ? *best : std::nullopt;
}

std::vector<std::string> RecordingHost::commands() const {
    std::vector<std::string> texts;
    for (const Call& call : calls_) {
        if (call.mode == zant_host::modeCommand) texts.push_back(call.text);
    }
    return texts;
}

int RecordingHost::nullReleases() const {
    int count = 0;
    for (const Call& call : calls_) count += call.null ? 1 : 0;
    return count;
}

void RecordingHost::verify() {
    for (const std::string& mnemonic : ledger_.takeOutstanding()) {
        ADD_FAILURE() << "the reply of \"" << mnemonic << "\" was not handed back";
    }
}
