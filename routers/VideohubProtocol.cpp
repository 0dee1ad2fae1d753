#include "routers/VideohubProtocol.h"

#include <utility>

namespace zant::routers {

namespace {

enum Problem {
    badLabelLine,
    badLockLine,
    badRouteLine,
    badCount,
    tooManyPorts,
    inputBeyond,
    outputBeyond,
    labelCut,
};

// A block whose lines were refused is reported with this many reasons at
// most, then a count.
constexpr size_t problemsShown = 3;

// Plain decimal digits, no sign or space, small enough for an int.
bool number(const std::string& text, size_t begin, size_t end, int& value) {
    if (begin >= end) return false;
    long long result = 0;
    for (size_t i = begin; i < end; ++i) {
        const char digit = text[i];
        if (digit < '0' || digit > '9') return false;
        result = result * 10 + (digit - '0');
        if (result > 999999999) return false;
    }
    value = static_cast<int>(result);
    return true;
}

// "Key: value" with the value's surrounding spaces dropped; false without a colon.
bool keyValue(const std::string& line, std::string& key, std::string& value) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return false;
    key.assign(line, 0, colon);
    const size_t first = line.find_first_not_of(" \t", colon + 1);
    value = first == std::string::npos
                ? std::string()
                : line.substr(first, line.find_last_not_of(" \t") + 1 - first);
    return true;
}

bool majorIsTwo(const std::string& version) {
    int major = 0;
    const size_t dot = version.find('.');
    return number(version, 0, dot == std::string::npos ? version.size() : dot, major) && major == 2;
}

std::string skipped(const VideohubBlock& block, const std::string& line) {
    return block.header + " line " + ProblemTally::quote(line) + " skipped: ";
}

std::string beyond(int index, int limit, bool known, const char* side) {
    return std::to_string(index) + (known ? " beyond the router's " : " beyond the ") +
           std::to_string(limit) + " " + side + (known ? "" : " a picture holds");
}

// At most labelLimit bytes, not ending inside a UTF-8 character (of at most
// 4 bytes: a run of continuation bytes beyond that is no character to keep).
void cutLabel(std::string& label) {
    const size_t most = VideohubProtocol::labelLimit;
    size_t size = most;
    while (size + 3 > most && (static_cast<unsigned char>(label[size]) & 0xC0) == 0x80) --size;
    label.resize(size);
}

bool lockLetter(char letter, Lock& lock) {
    switch (letter) {
        case 'U':
            lock = Lock::unlocked;
            return true;
        case 'O':
            lock = Lock::ours;
            return true;
        case 'L':
            lock = Lock::theirs;
            return true;
        default:
            return false;
    }
}

}  // namespace

void VideohubProtocol::connected(std::string& /*send*/) {
    reader_.reset();
    awaiting_ = Awaiting::nothing;
    inputsKnown_ = false;
    outputsKnown_ = false;
    routingKnown_ = false;
    dumpComplete_ = false;
}

void VideohubProtocol::received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                                std::string& /*send*/) {
    // What the reader refused is taken after the block it came with (the
    // reader stops there), so that the updates are the same however the
    // bytes were cut.
    std::vector<VideohubBlock> blocks;
    for (size_t at = 0; at < size;) {
        blocks.clear();
        at += reader_.feedToProblems(data + at, size - at, blocks);
        for (const VideohubBlock& block : blocks) apply(block, updates);
        if (!reader_.midBlock()) {
            for (std::string& problem : reader_.takeProblems()) {
                updates.push_back(RouterUpdate::ignoring(std::move(problem)));
            }
        }
    }
}

void VideohubProtocol::route(int id, int destination, int source, std::string& send) {
    send += "VIDEO OUTPUT ROUTING:\n" + std::to_string(destination - 1) + " " +
            std::to_string(source - 1) + "\n\n";
    awaiting_ = Awaiting::request;
    request_ = id;
}

void VideohubProtocol::keepAlive(std::string& send) {
    send += "PING:\n\n";
    awaiting_ = Awaiting::ping;
}

void VideohubProtocol::answer(bool acknowledged, std::vector<RouterUpdate>& updates) {
    // An answer nobody waits for (a second ACK) is ignored; a ping's is
    // only a sign of life.
    if (awaiting_ == Awaiting::request) {
        updates.push_back(
            RouterUpdate::answerTo(request_, acknowledged, acknowledged ? "" : "NAK"));
    }
    awaiting_ = Awaiting::nothing;
}

void VideohubProtocol::apply(const VideohubBlock& block, std::vector<RouterUpdate>& updates) {
    ProblemTally problems;
    const std::string& header = block.header;
    if (header == "ACK" || header == "NAK") {
        answer(header == "ACK", updates);
    } else if (header == "PROTOCOL PREAMBLE") {
        takePreamble(block, updates);
    } else if (header == "VIDEOHUB DEVICE") {
        takeDevice(block, updates, problems);
    } else if (header == "INPUT LABELS" || header == "OUTPUT LABELS") {
        takeLabels(block, header == "INPUT LABELS" ? Side::source : Side::destination, updates,
                   problems);
    } else if (header == "VIDEO OUTPUT LOCKS") {
        takeLocks(block, updates, problems);
    } else if (header == "VIDEO OUTPUT ROUTING") {
        takeRoutes(block, updates, problems);
    }
    const std::vector<std::string> refused = problems.take();
    for (size_t i = 0; i < refused.size() && i < problemsShown; ++i) {
        updates.push_back(RouterUpdate::ignoring(refused[i]));
    }
    if (refused.size() > problemsShown) {
        updates.push_back(RouterUpdate::ignoring(std::to_string(refused.size() - problemsShown) +
                                                 " more kinds of lines of \"" + header + ":\""));
    }
    if (!dumpComplete_ && inputsKnown_ && outputsKnown_ && routingKnown_) {
        dumpComplete_ = true;
        updates.push_back(RouterUpdate::dumpCompleted());
    }
}

void VideohubProtocol::takePreamble(const VideohubBlock& block,
                                    std::vector<RouterUpdate>& updates) {
    std::string key;
    std::string value;
    for (const std::string& line : block.lines) {
        if (!keyValue(line, key, value) || key != "Version") continue;
        if (!majorIsTwo(value)) {
            updates.push_back(RouterUpdate::faultOf("speaks protocol version " + value +
                                                    ", which is not understood"));
        }
    }
}

void VideohubProtocol::takeDevice(const VideohubBlock& block, std::vector<RouterUpdate>& updates,
                                  ProblemTally& problems) {
    std::string key;
    std::string value;
    bool counted = false;
    for (const std::string& line : block.lines) {
        if (!keyValue(line, key, value)) continue;
        if (key == "Device present") {
            if (value != "true") {
                updates.push_back(RouterUpdate::faultOf("says \"Device present: " + value + "\""));
            }
        } else if (key == "Video inputs" || key == "Video outputs") {
            // A count run together with the next line ("Video inputs: 41Video
            // processing units: 0", a line feed lost, as some servers send)
            // is still the count: its leading digits.
            size_t digits = 0;
            while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') ++digits;
            int count = 0;
            if (!number(value, 0, digits, count)) {
                problems.add(badCount, skipped(block, line) + "not a plain decimal count");
                continue;
            }
            if (count > portLimit) {
                problems.add(tooManyPorts, skipped(block, line) + "more than " +
                                               std::to_string(portLimit) +
                                               " ports; the sizes stay as they were");
                continue;
            }
            if (digits < value.size()) {
                problems.add(badCount, block.header + " line " + ProblemTally::quote(line) +
                                           " read as " + std::to_string(count) +
                                           ": text after the count ignored");
            }
            (key == "Video inputs" ? inputs_ : outputs_) = count;
            (key == "Video inputs" ? inputsKnown_ : outputsKnown_) = true;
            counted = true;
        }
    }
    if (counted) {
        updates.push_back(RouterUpdate::sizesOf(inputsKnown_ ? inputs_ : RouterUpdate::unknown,
                                                outputsKnown_ ? outputs_ : RouterUpdate::unknown));
    }
}

void VideohubProtocol::takeLabels(const VideohubBlock& block, Side side,
                                  std::vector<RouterUpdate>& updates, ProblemTally& problems) {
    const bool inputs = side == Side::source;
    const int limit = inputs ? inputLimit() : outputLimit();
    const bool known = inputs ? inputsKnown_ : outputsKnown_;
    for (const std::string& line : block.lines) {
        const size_t space = line.find(' ');
        const size_t indexEnd = space == std::string::npos ? line.size() : space;
        int index = 0;
        if (!number(line, 0, indexEnd, index)) {
            problems.add(badLabelLine, skipped(block, line) + "not INDEX LABEL");
            continue;
        }
        if (index >= limit) {
            problems.add(inputs ? inputBeyond : outputBeyond,
                         skipped(block, line) + (inputs ? "input " : "output ") +
                             beyond(index, limit, known, inputs ? "inputs" : "outputs"));
            continue;
        }
        std::string label = space == std::string::npos ? std::string() : line.substr(space + 1);
        if (label.size() > labelLimit) {
            cutLabel(label);
            problems.add(labelCut, block.header + ": the label of " +
                                       (inputs ? "input " : "output ") + std::to_string(index) +
                                       " was cut to its first " + std::to_string(label.size()) +
                                       " bytes");
        }
        updates.push_back(RouterUpdate::labelOf(side, index + 1, std::move(label)));
    }
}

void VideohubProtocol::takeLocks(const VideohubBlock& block, std::vector<RouterUpdate>& updates,
                                 ProblemTally& problems) {
    const int limit = outputLimit();
    for (const std::string& line : block.lines) {
        const size_t space = line.find(' ');
        int index = 0;
        Lock lock = Lock::none;
        if (space == std::string::npos || !number(line, 0, space, index) ||
            line.size() != space + 2 || !lockLetter(line[space + 1], lock)) {
            problems.add(badLockLine, skipped(block, line) + "not INDEX U|O|L");
            continue;
        }
        if (index >= limit) {
            problems.add(outputBeyond, skipped(block, line) + "output " +
                                           beyond(index, limit, outputsKnown_, "outputs"));
            continue;
        }
        updates.push_back(RouterUpdate::lockOf(index + 1, lock));
    }
}

void VideohubProtocol::takeRoutes(const VideohubBlock& block, std::vector<RouterUpdate>& updates,
                                  ProblemTally& problems) {
    routingKnown_ = true;
    const int outputs = outputLimit();
    const int inputs = inputLimit();
    for (const std::string& line : block.lines) {
        const size_t space = line.find(' ');
        int output = 0;
        int input = 0;
        if (space == std::string::npos || !number(line, 0, space, output) ||
            !number(line, space + 1, line.size(), input)) {
            problems.add(badRouteLine, skipped(block, line) + "not OUTPUT INPUT");
            continue;
        }
        if (output >= outputs) {
            problems.add(outputBeyond, skipped(block, line) + "output " +
                                           beyond(output, outputs, outputsKnown_, "outputs"));
            continue;
        }
        if (input >= inputs) {
            problems.add(inputBeyond, skipped(block, line) + "input " +
                                          beyond(input, inputs, inputsKnown_, "inputs"));
            continue;
        }
        updates.push_back(RouterUpdate::routeOf(output + 1, input + 1));
    }
}

}  // namespace zant::routers
