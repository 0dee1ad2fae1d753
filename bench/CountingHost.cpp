#include "bench/CountingHost.h"

#include <cstdio>
#include <cstring>

#include "bench/AllocationCounter.h"

char* CountingHost::execute(const char* text, int mode) {
    if (mode != modeCommand || text == nullptr) return nullptr;
    const CountingScope notCounted(false);
    ++commands_;
    for (int i = 0; i < answerCount_; ++i) {
        Answer& entry = answers_[i];
        if (std::strncmp(text, entry.prefix, std::strlen(entry.prefix)) == 0) return entry.reply;
    }
    return nullptr;
}

void CountingHost::answer(const char* prefix, const char* reply) {
    if (answerCount_ == maxAnswers) return;
    Answer& entry = answers_[answerCount_++];
    std::snprintf(entry.prefix, sizeof entry.prefix, "%s", prefix);
    std::snprintf(entry.reply, sizeof entry.reply, "%s", reply);
}
