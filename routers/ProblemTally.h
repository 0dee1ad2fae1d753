// Problems of one kind after the first are counted, not kept, so a stream of
// the same fault costs one sentence: "... (and 41 more like it)".
#ifndef ROUTERS_PROBLEM_TALLY_H
#define ROUTERS_PROBLEM_TALLY_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace zant::routers {

class ProblemTally {
public:
    // Router text fit for a sentence: its first 40 bytes, each byte outside
    // printable ASCII (a backslash too) as a \xHH escape, so the line says
    // what came and no terminal control reaches the trace.
    static std::string quote(const std::string& text) {
        constexpr size_t shown = 40;
        static const char hex[] = "0123456789abcdef";
        std::string quoted = "'";
        for (size_t i = 0; i < text.size() && i < shown; ++i) {
            const unsigned char byte = static_cast<unsigned char>(text[i]);
            if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
                quoted += static_cast<char>(byte);
            } else {
                quoted += std::string("\\x") + hex[byte >> 4] + hex[byte & 0xf];
            }
        }
        return quoted + (text.size() > shown ? "...'" : "'");
    }

    void add(int kind, std::string sentence) {
        for (Entry& entry : entries_) {
            if (entry.kind == kind) {
                ++entry.more;
                return;
            }
        }
        entries_.push_back(Entry{kind, std::move(sentence), 0});
    }

    bool empty() const { return entries_.empty(); }

    // The sentences, oldest kind first; then empty.
    std::vector<std::string> take() {
        std::vector<std::string> sentences;
        sentences.reserve(entries_.size());
        for (Entry& entry : entries_) {
            if (entry.more > 0) {
                entry.sentence += " (and " + std::to_string(entry.more) + " more like it)";
            }
            sentences.push_back(std::move(entry.sentence));
        }
        entries_.clear();
        return sentences;
    }

private:
    struct Entry {
        int kind;
        std::string sentence;
        size_t more;
    };
    std::vector<Entry> entries_;
};

}  // namespace zant::routers

#endif  // ROUTERS_PROBLEM_TALLY_H
