#include "validator/NotifyDriver.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "host/zant_split_message.h"
#include "validator/HeapMeter.h"

namespace zant::validate {

namespace {

constexpr size_t maxViolations = 100;

}  // namespace

NotifyDriver::~NotifyDriver() {
    releaseAll();
}

void NotifyDriver::violation(Rule rule, const std::string& what) {
    if (violations_.size() < maxViolations) violations_.push_back(Violation{rule, what});
}

std::vector<std::string> NotifyDriver::violations() const {
    std::vector<std::string> texts;
    texts.reserve(violations_.size());
    for (const Violation& violation : violations_) texts.push_back(violation.what);
    return texts;
}

bool NotifyDriver::terminatedInside(const char* reply) const {
    const long long size = inspect_ ? HeapMeter::blockSize(reply) : 0;
    return size <= 0 || std::memchr(reply, 0, static_cast<size_t>(size)) != nullptr;
}

char* NotifyDriver::notify(void* data, int kind) {
    char* result = component_->notify(data, kind);
    if (host_ != nullptr && host_->mustComeBack() != 0) {
        violation(Rule::handBack, "kind " + std::to_string(kind) + " returned with " +
                                      std::to_string(host_->mustComeBack()) +
                                      " host replies not handed back");
    }
    if (kind != zantParentMessage && result != nullptr) {
        violation(Rule::result, "kind " + std::to_string(kind) + " answered non-null");
    }
    return result;
}

void NotifyDriver::revertive(int device, int index, int value) {
    // On the heap and exactly the record's size: a read past it is caught.
    auto record = std::make_unique<zant_revertive_record>();
    *record = zant_revertive_record{device, 0, index, value};
    notify(record.get(), zantRevertive);
}

void NotifyDriver::press(const char* panel, const char* id, const char* text) {
    // The text's copy and its split on the heap at their exact sizes, as the
    // revertive: a read past either is caught.
    std::unique_ptr<char[]> copy;
    char emptyText[1] = {'\0'};
    std::unique_ptr<zant_message_record> split;
    if (text != nullptr) {
        const size_t size = std::strlen(text) + 1;
        copy = std::make_unique<char[]>(size);
        std::memcpy(copy.get(), text, size);
        split = std::make_unique<zant_message_record>();
        zant_split_message(copy.get(), emptyText, split.get());
    }
    auto record = std::make_unique<zant_button_record>();
    *record = zant_button_record{0, 0, panel, id, split.get()};
    notify(record.get(), zantButton);
}

void NotifyDriver::handBack(char* reply) {
    if (inspect_ && HeapMeter::exact()) {
        const long long footprint = HeapMeter::blockSize(reply);
        const long long before = HeapMeter::inUse();
        notify(reply, zantReleaseReply);
        if (before - HeapMeter::inUse() < footprint) {
            violation(Rule::reply, "kind 5 did not free the kind-3 reply");
            unfreedBytes_ += footprint;
        }
        ++repliesReleased_;
        return;
    }
    notify(reply, zantReleaseReply);
    ++repliesReleased_;
}

std::string NotifyDriver::message(const char* text) {
    // A private copy, so the component cannot write into the caller's text.
    std::unique_ptr<char[]> copy;
    if (text != nullptr) {
        const size_t size = std::strlen(text) + 1;
        copy = std::make_unique<char[]>(size);
        std::memcpy(copy.get(), text, size);
    }
    char* reply = notify(copy.get(), zantParentMessage);
    if (reply == nullptr) return {};
    ++repliesGiven_;
    if (!terminatedInside(reply)) {
        violation(Rule::reply, "a kind-3 reply without a NUL inside its allocation");
        handBack(reply);
        return {};
    }
    std::string replyText(reply);
    if (replyText.empty()) violation(Rule::reply, "an empty kind-3 reply instead of null");
    replies_.push_back(reply);
    while (replies_.size() > held_) {
        char* oldest = replies_.front();
        replies_.pop_front();
        handBack(oldest);
    }
    return replyText;
}

void NotifyDriver::tick(int timer) {
    notify(reinterpret_cast<void*>(static_cast<intptr_t>(timer)), zantTimer);
}

void NotifyDriver::word(int kind, long value) {
    char* result = component_->notify(reinterpret_cast<void*>(static_cast<intptr_t>(value)), kind);
    if (result != nullptr) {
        violation(Rule::result, "kind " + std::to_string(kind) + " answered non-null");
    }
}

void NotifyDriver::releaseAll() {
    while (!replies_.empty()) {
        char* oldest = replies_.front();
        replies_.pop_front();
        handBack(oldest);
    }
}

}  // namespace zant::validate
