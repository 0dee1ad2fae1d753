#include "tests/support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cstring>

RecordingHost::~RecordingHost() {
    verify();
    for (auto& entry : outstanding_) delete[] entry.first;
}

char* RecordingHost::execute(const char* text, int mode) {
    if (mode == zant_host::modeRelease) {
        if (text == nullptr) {
            calls_.push_back({"", mode, true});
            return nullptr;
        }
        char* reply = const_cast<char*>(text);
        auto found = outstanding_.find(reply);
        if (found == outstanding_.end()) {
            ADD_FAILURE() << "released a pointer that is no outstanding reply";
            calls_.push_back({"", mode, false});
            return nullptr;
        }
        calls_.push_back({text, mode, false});
        if (!zant_reply_handed_back(found->second.mnemonic.c_str())) {
            ADD_FAILURE() << "the reply of \"" << found->second.mnemonic << "\" was handed back";
        }
        outstanding_.erase(found);
        delete[] reply;
        return nullptr;
    }

    const std::string command = text ? text : "";
    calls_.push_back({command, mode, false});
    if (mode != zant_host::modeCommand) return nullptr;
    const std::optional<std::string> reply = replyFor(command);
    if (!reply) return nullptr;
    char* copy = new char[reply->size() + 1];
    std::memcpy(copy, reply->c_str(), reply->size() + 1);
    outstanding_[copy] = Outstanding{command.substr(0, 2)};
    return copy;
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
    for (auto entry = outstanding_.begin(); entry != outstanding_.end();) {
        if (zant_reply_handed_back(entry->second.mnemonic.c_str())) {
            ADD_FAILURE() << "the reply of \"" << entry->second.mnemonic
                          << "\" was not handed back";
            delete[] entry->first;
            entry = outstanding_.erase(entry);
        } else {
            ++entry;
        }
    }
}
