#include "validator/ValidatorHost.h"

#include "hosting/CommandGrammar.h"
#include "validator/FreedMemory.h"

namespace zant::validate {

using zant::hosting::CommandGrammar;
using zant::hosting::ParsedCommand;

namespace {

constexpr size_t longReply = 1 << 16;
constexpr size_t longIdList = 1 << 12;

}  // namespace

void ValidatorHost::onCommand(const std::string& command) {
    if (board_ != nullptr) board_->addCommand(command);
}

std::optional<std::string> ValidatorHost::replyTo(const std::string& command) {
    switch (replies_) {
        case Replies::none:
            return std::nullopt;
        case Replies::fuzzed:
            return fuzzed(command);
        case Replies::everything: {
            std::optional<std::string> reply = plausible(command);
            return reply ? reply : std::optional<std::string>("ok");
        }
        case Replies::plausible:
            break;
    }
    return plausible(command);
}

std::optional<std::string> ValidatorHost::plausible(const std::string& command) const {
    ParsedCommand shaped;
    const bool wellFormed = CommandGrammar::parse(command, shaped).empty();
    const std::string mnemonic = command.substr(0, 2);
    if (mnemonic == "SD") return std::to_string(device) + " 16";
    if (mnemonic == "PS") return std::string("1");
    if (!wellFormed) return std::nullopt;
    if (mnemonic == "RN") return "Name " + shaped.fields[2];
    if (mnemonic == "TG") {
        const std::string& property = shaped.fields[2];
        return (property == "all" ? std::string("text") : property) + "=1";
    }
    if (mnemonic == "XI") {
        const std::string& pattern = shaped.fields[1];
        std::string ids;
        for (const std::string& control : controls_) {
            if (control.compare(0, pattern.size(), pattern) != 0) continue;
            ids += (ids.empty() ? "" : ",") + control;
        }
        return ids.empty() ? pattern + "1," + pattern + "2" : ids;
    }
    return std::nullopt;
}

std::optional<std::string> ValidatorHost::fuzzed(const std::string& command) {
    const bool ids = command.compare(0, 2, "XI") == 0;
    switch (random_() % 6) {
        case 0:
            return std::nullopt;
        case 1:
            return std::string();
        case 2: {
            // Any bytes but NUL and the poison of a freed block (a run of it
            // is a use after free); ids never hold a quote, as the host's own
            // controls cannot.
            std::string garbage(1 + random_() % 64, ' ');
            for (char& c : garbage) {
                do {
                    c = static_cast<char>(1 + random_() % 255);
                } while ((ids && c == '\'') || c == static_cast<char>(FreedMemory::poison));
            }
            return garbage;
        }
        case 3: {
            static const char fillers[] = {'|', '\'', 'x', ','};
            const char filler = fillers[random_() % 4];
            // An id list that long makes a component send thousands of
            // commands per id-wise loop: 4 KiB of ids tests the same paths.
            return ids ? std::string(longIdList, filler == '\'' ? 'x' : filler)
                       : std::string(longReply, filler);
        }
        case 4:
            return std::string(ids ? ",,," : "'' ' '");
        default:
            return plausible(command);
    }
}

}  // namespace zant::validate
