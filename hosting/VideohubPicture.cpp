#include "hosting/VideohubPicture.h"

#include <utility>

namespace zant::hosting {

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

// At most maxLabel bytes, not ending inside a UTF-8 character (of at most 4
// bytes: a run of continuation bytes beyond that is no character to keep).
void cutLabel(std::string& label) {
    const size_t most = VideohubPicture::maxLabel;
    size_t size = most;
    while (size + 3 > most && (static_cast<unsigned char>(label[size]) & 0xC0) == 0x80) --size;
    label.resize(size);
}

bool lockState(char state) {
    return state == 'U' || state == 'O' || state == 'L';
}

template <typename Port>
Port& portAt(std::vector<Port>& ports, int index) {
    if (static_cast<size_t>(index) >= ports.size()) ports.resize(index + 1);
    return ports[index];
}

template <typename Port>
const Port* portOf(const std::vector<Port>& ports, int index) {
    return index >= 0 && static_cast<size_t>(index) < ports.size() ? &ports[index] : nullptr;
}

}  // namespace

VideohubPicture::Applied VideohubPicture::apply(const VideohubBlock& block) {
    Applied applied;
    ProblemTally problems;
    const std::string& header = block.header;
    if (header == "ACK") {
        applied.reply = Reply::ack;
    } else if (header == "NAK") {
        applied.reply = Reply::nak;
    } else if (header == "PROTOCOL PREAMBLE") {
        takePreamble(block);
    } else if (header == "VIDEOHUB DEVICE") {
        takeDevice(block, applied, problems);
    } else if (header == "INPUT LABELS" || header == "OUTPUT LABELS") {
        takeLabels(block, header == "INPUT LABELS", applied, problems);
    } else if (header == "VIDEO OUTPUT LOCKS") {
        takeLocks(block, applied, problems);
    } else if (header == "VIDEO OUTPUT ROUTING") {
        takeRoutes(block, applied, problems);
    }
    applied.problems = problems.take();
    return applied;
}

void VideohubPicture::takePreamble(const VideohubBlock& block) {
    std::string key;
    std::string value;
    for (const std::string& line : block.lines) {
        if (!keyValue(line, key, value) || key != "Version") continue;
        version_ = value;
        versionUnderstood_ = majorIsTwo(value);
    }
}

void VideohubPicture::takeDevice(const VideohubBlock& block, Applied& applied,
                                 ProblemTally& problems) {
    applied.deviceChanged = true;
    std::string key;
    std::string value;
    for (const std::string& line : block.lines) {
        if (!keyValue(line, key, value)) continue;
        if (key == "Device present") {
            devicePresent_ = value;
        } else if (key == "Model name") {
            modelName_ = value;
        } else if (key == "Friendly name") {
            friendlyName_ = value;
        } else if (key == "Video inputs" || key == "Video outputs") {
            // A count run together with the next line ("Video inputs: 41Video
            // processing units: 0", a line feed lost, as some servers send)
            // is still the count: its leading digits.
            size_t digits = 0;
            while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') ++digits;
            int count = 0;
            if (!number(value, 0, digits, count)) {
                problems.add(badCount, skipped(block, line) + "not a plain decimal count");
            } else if (count > maxPorts) {
                problems.add(tooManyPorts, skipped(block, line) + "more than " +
                                               std::to_string(maxPorts) +
                                               " ports; the sizes stay as they were");
            } else {
                if (digits < value.size()) {
                    problems.add(badCount, block.header + " line " + ProblemTally::quote(line) +
                                               " read as " + std::to_string(count) +
                                               ": text after the count ignored");
                }
                if (key == "Video inputs") {
                    setInputs(count, applied);
                } else {
                    setOutputs(count, applied);
                }
            }
        }
    }
}

void VideohubPicture::setInputs(int count, Applied& applied) {
    if (inputsGiven_ && count != inputs_) applied.sizesChanged = true;
    inputs_ = count;
    inputsGiven_ = true;
    inputsKnown_ = true;
    for (size_t i = count; i < inputPorts_.size(); ++i) {
        if (inputPorts_[i].labelled) applied.labelsChanged = true;
    }
    inputPorts_.resize(count);
    for (Port& output : outputPorts_) {
        if (output.route >= count) output.route = -1;
    }
}

void VideohubPicture::setOutputs(int count, Applied& applied) {
    if (outputsGiven_ && count != outputs_) applied.sizesChanged = true;
    outputs_ = count;
    outputsGiven_ = true;
    outputsKnown_ = true;
    for (size_t i = count; i < outputPorts_.size(); ++i) {
        if (outputPorts_[i].labelled) applied.labelsChanged = true;
        if (outputPorts_[i].lock != Lock::unlocked) applied.locksChanged = true;
    }
    outputPorts_.resize(count);
}

void VideohubPicture::takeLabels(const VideohubBlock& block, bool inputSide, Applied& applied,
                                 ProblemTally& problems) {
    const int limit = inputSide ? inputLimit() : outputLimit();
    const bool known = inputSide ? inputsKnown_ : outputsKnown_;
    for (const std::string& line : block.lines) {
        const size_t space = line.find(' ');
        const size_t indexEnd = space == std::string::npos ? line.size() : space;
        int index = 0;
        if (!number(line, 0, indexEnd, index)) {
            problems.add(badLabelLine, skipped(block, line) + "not INDEX LABEL");
            continue;
        }
        if (index >= limit) {
            problems.add(inputSide ? inputBeyond : outputBeyond,
                         skipped(block, line) + (inputSide ? "input " : "output ") +
                             beyond(index, limit, known, inputSide ? "inputs" : "outputs"));
            continue;
        }
        std::string label = space == std::string::npos ? std::string() : line.substr(space + 1);
        if (label.size() > maxLabel) {
            cutLabel(label);
            problems.add(labelCut, block.header + ": the label of " +
                                       (inputSide ? "input " : "output ") + std::to_string(index) +
                                       " was cut to its first " + std::to_string(label.size()) +
                                       " bytes");
        }
        Port& port = portAt(inputSide ? inputPorts_ : outputPorts_, index);
        if (!port.labelled || port.label != label) {
            port.label = std::move(label);
            port.labelled = true;
            applied.labelsChanged = true;
        }
    }
}

void VideohubPicture::takeLocks(const VideohubBlock& block, Applied& applied,
                                ProblemTally& problems) {
    const int limit = outputLimit();
    for (const std::string& line : block.lines) {
        const size_t space = line.find(' ');
        int index = 0;
        if (space == std::string::npos || !number(line, 0, space, index) ||
            line.size() != space + 2 || !lockState(line[space + 1])) {
            problems.add(badLockLine, skipped(block, line) + "not INDEX U|O|L");
            continue;
        }
        if (index >= limit) {
            problems.add(outputBeyond, skipped(block, line) + "output " +
                                           beyond(index, limit, outputsKnown_, "outputs"));
            continue;
        }
        const Lock lock = static_cast<Lock>(line[space + 1]);
        Port& port = portAt(outputPorts_, index);
        if (port.lock != lock) {
            port.lock = lock;
            applied.locksChanged = true;
        }
    }
}

void VideohubPicture::takeRoutes(const VideohubBlock& block, Applied& applied,
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
        Port& port = portAt(outputPorts_, output);
        applied.routes.push_back(RouteReport{output, input, port.route != input});
        port.route = input;
    }
}

void VideohubPicture::startAgain() {
    inputsKnown_ = false;
    outputsKnown_ = false;
    routingKnown_ = false;
}

const std::string& VideohubPicture::version() const {
    return version_;
}

bool VideohubPicture::versionUnderstood() const {
    return versionUnderstood_;
}

const std::string& VideohubPicture::devicePresent() const {
    return devicePresent_;
}

const std::string& VideohubPicture::modelName() const {
    return modelName_;
}

const std::string& VideohubPicture::friendlyName() const {
    return friendlyName_;
}

int VideohubPicture::inputs() const {
    return inputs_;
}

int VideohubPicture::outputs() const {
    return outputs_;
}

bool VideohubPicture::sizesKnown() const {
    return inputsKnown_ && outputsKnown_;
}

bool VideohubPicture::routingKnown() const {
    return routingKnown_;
}

const std::string* VideohubPicture::inputLabel(int input) const {
    const Port* port = portOf(inputPorts_, input);
    return port != nullptr && port->labelled ? &port->label : nullptr;
}

const std::string* VideohubPicture::outputLabel(int output) const {
    const Port* port = portOf(outputPorts_, output);
    return port != nullptr && port->labelled ? &port->label : nullptr;
}

int VideohubPicture::route(int output) const {
    const Port* port = portOf(outputPorts_, output);
    return port != nullptr ? port->route : -1;
}

VideohubPicture::Lock VideohubPicture::lock(int output) const {
    const Port* port = portOf(outputPorts_, output);
    return port != nullptr ? port->lock : Lock::unlocked;
}

std::string VideohubPicture::routeRequest(int output, int input) {
    return "VIDEO OUTPUT ROUTING:\n" + std::to_string(output) + " " + std::to_string(input) +
           "\n\n";
}

std::string VideohubPicture::pingRequest() {
    return "PING:\n\n";
}

}  // namespace zant::hosting
