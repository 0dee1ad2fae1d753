#include "peers/videohub/VideohubPeer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace zant::videohub {

namespace {

// The holder of a lock taken on the front panel: never a client's number.
constexpr int otherHolder = -1;
// An accepting turn: how soon stop() is seen where close() does not wake accept.
constexpr int acceptTurnMs = 100;
// Input that never completes a block within this many bytes ends the client.
constexpr size_t pendingLimit = 1 << 16;

const char* const routingHeader = "VIDEO OUTPUT ROUTING:";
const char* const locksHeader = "VIDEO OUTPUT LOCKS:";
const char* const inputLabelsHeader = "INPUT LABELS:";
const char* const outputLabelsHeader = "OUTPUT LABELS:";
const char* const preambleHeader = "PROTOCOL PREAMBLE:";
const char* const deviceHeader = "VIDEOHUB DEVICE:";
const std::string ack = "ACK\n\n";
const std::string nak = "NAK\n\n";

// A decimal index below `limit` at `text[at]`, digits only; `at` moves past it.
bool readIndex(const std::string& text, size_t& at, int limit, int& value) {
    const size_t start = at;
    long number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 9) {
        number = number * 10 + (text[at] - '0');
        ++at;
    }
    if (at == start || number >= limit) return false;
    value = static_cast<int>(number);
    return true;
}

// "FIRST SECOND": two indices below their limits, one space apart.
bool readPair(const std::string& line, int firstLimit, int secondLimit, int& first, int& second) {
    size_t at = 0;
    if (!readIndex(line, at, firstLimit, first) || at >= line.size() || line[at] != ' ') {
        return false;
    }
    ++at;
    return readIndex(line, at, secondLimit, second) && at == line.size();
}

// "INDEX TEXT": the text runs to the end of the line and may be empty.
bool readLabel(const std::string& line, int limit, int& index, std::string& label) {
    size_t at = 0;
    if (!readIndex(line, at, limit, index) || at >= line.size() || line[at] != ' ') return false;
    label = line.substr(at + 1);
    return true;
}

// The indices of `changed` in the order first met, once each; all of
// `requested` where nothing changed, so that a request always has an answer.
std::vector<int> reported(const std::vector<int>& requested, const std::vector<int>& changed) {
    const std::vector<int>& source = changed.empty() ? requested : changed;
    std::vector<int> indices;
    for (int index : source) {
        if (std::find(indices.begin(), indices.end(), index) == indices.end()) {
            indices.push_back(index);
        }
    }
    return indices;
}

peers::PeerServer::Options serverOptions(const PeerOptions& options) {
    peers::PeerServer::Options server;
    server.port = options.port;
    server.turnMs = acceptTurnMs;
    server.writeChunk = options.writeChunk;
    server.answerDelayMs = options.answerDelayMs;
    return server;
}

std::string defaultLabel(const char* kind, int index) {
    return std::string(kind) + " " + std::to_string(index + 1);
}

}  // namespace

VideohubPeer::VideohubPeer(PeerOptions options)
    : options_(std::move(options)), server_(*this, serverOptions(options_)) {
    options_.inputs = std::max(options_.inputs, 0);
    options_.outputs = std::max(options_.outputs, 0);
    for (int i = 0; i < options_.inputs; ++i) {
        inputLabels_.push_back(i < static_cast<int>(options_.inputLabels.size())
                                   ? options_.inputLabels[i]
                                   : defaultLabel("Input", i));
    }
    for (int i = 0; i < options_.outputs; ++i) {
        outputLabels_.push_back(i < static_cast<int>(options_.outputLabels.size())
                                    ? options_.outputLabels[i]
                                    : defaultLabel("Output", i));
        int input = i < options_.inputs ? i : 0;
        if (i < static_cast<int>(options_.routes.size())) input = options_.routes[i];
        routes_.push_back(input >= 0 && input < options_.inputs ? input : 0);
    }
    lockHolders_.assign(routes_.size(), 0);
}

VideohubPeer::~VideohubPeer() {
    server_.stop();
}

bool VideohubPeer::start(std::string& error) {
    return server_.start(error);
}

void VideohubPeer::stop() {
    server_.stop();
}

int VideohubPeer::admitLocked() {
    return nextClient_++;
}

// Each client gets the whole status first.
void VideohubPeer::welcomeLocked(int client) {
    sendLocked(client, dumpLocked(client));
}

// A block is its lines up to a blank line; blank lines between blocks are
// skipped. The blocks come in order, each answered in turn.
bool VideohubPeer::receivedLocked(int client, const std::uint8_t* data, size_t size) {
    std::string& pending = pending_[client];
    pending.append(reinterpret_cast<const char*>(data), size);
    std::vector<std::vector<std::string>> blocks;
    std::vector<std::string> lines;
    size_t consumed = 0;
    for (size_t start = 0, end = pending.find('\n'); end != std::string::npos;
         start = end + 1, end = pending.find('\n', start)) {
        std::string line = pending.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) {
            lines.push_back(std::move(line));
            continue;
        }
        if (!lines.empty()) blocks.push_back(std::move(lines));
        lines.clear();
        consumed = end + 1;
    }
    pending.erase(0, consumed);
    if (pending.size() > pendingLimit) return false;
    int unanswered = 0;
    for (const auto& block : blocks) {
        std::string text;
        for (const auto& line : block) text += line + "\n";
        requests_.push_back({client, text + "\n", ++unanswered});
        if (!silent_) answerLocked(client, block.front(), {block.begin() + 1, block.end()});
    }
    return true;
}

// A client's locks go with it.
void VideohubPeer::droppedLocked(int client) {
    pending_.erase(client);
    std::vector<int> released;
    for (size_t output = 0; output < lockHolders_.size(); ++output) {
        if (lockHolders_[output] != client) continue;
        lockHolders_[output] = 0;
        released.push_back(static_cast<int>(output));
    }
    if (!released.empty()) broadcastLocksLocked(released);
}

void VideohubPeer::answerLocked(int client, const std::string& header,
                                const std::vector<std::string>& lines) {
    if (header == "PING:") {
        if (options_.answerPings) sendLocked(client, ack);
        return;
    }
    const bool status = header == preambleHeader || header == deviceHeader ||
                        header == inputLabelsHeader || header == outputLabelsHeader ||
                        header == locksHeader || header == routingHeader;
    if (status && lines.empty()) {
        sendLocked(client, ack + blockLocked(header, client));
        return;
    }
    bool understood = false;
    if (header == inputLabelsHeader) {
        understood = changeLabelsLocked(client, Labels::input, lines);
    } else if (header == outputLabelsHeader) {
        understood = changeLabelsLocked(client, Labels::output, lines);
    } else if (header == routingHeader) {
        understood = changeRoutesLocked(client, lines);
    } else if (header == locksHeader) {
        understood = changeLocksLocked(client, lines);
    }
    if (!understood) sendLocked(client, nak);
}

// Each request is checked whole before anything changes: one bad line and
// the block is refused. Its ACK goes out before the changes it brings.
bool VideohubPeer::changeLabelsLocked(int client, Labels side,
                                      const std::vector<std::string>& lines) {
    std::vector<std::string>& labels = side == Labels::input ? inputLabels_ : outputLabels_;
    std::vector<std::pair<int, std::string>> wanted;
    for (const auto& line : lines) {
        int index = 0;
        std::string label;
        if (!readLabel(line, static_cast<int>(labels.size()), index, label)) return false;
        wanted.emplace_back(index, std::move(label));
    }
    sendLocked(client, ack);
    std::vector<int> requested;
    std::vector<int> changed;
    for (auto& [index, label] : wanted) {
        requested.push_back(index);
        if (labels[index] != label) changed.push_back(index);
        labels[index] = std::move(label);
    }
    broadcastLabelsLocked(side, reported(requested, changed));
    return true;
}

bool VideohubPeer::changeRoutesLocked(int client, const std::vector<std::string>& lines) {
    std::vector<std::pair<int, int>> wanted;
    for (const auto& line : lines) {
        int output = 0;
        int input = 0;
        if (!readPair(line, options_.outputs, options_.inputs, output, input)) return false;
        const int holder = lockHolders_[output];
        if (holder != 0 && holder != client) return false;
        wanted.emplace_back(output, input);
    }
    sendLocked(client, ack);
    if (!options_.reportRoutes) return true;
    std::vector<int> requested;
    std::vector<int> changed;
    for (const auto& [output, input] : wanted) {
        requested.push_back(output);
        if (routes_[output] != input) changed.push_back(output);
        routes_[output] = input;
    }
    broadcastRoutesLocked(reported(requested, changed));
    return true;
}

// O takes a lock that is free or the client's own, U releases the client's
// own (or a free one), F forces any lock open.
bool VideohubPeer::changeLocksLocked(int client, const std::vector<std::string>& lines) {
    std::vector<std::pair<int, char>> wanted;
    for (const auto& line : lines) {
        int output = 0;
        size_t at = 0;
        if (!readIndex(line, at, options_.outputs, output) || line.size() != at + 2 ||
            line[at] != ' ') {
            return false;
        }
        const char state = line[at + 1];
        const int holder = lockHolders_[output];
        const bool others = holder != 0 && holder != client;
        if (state != 'F' && (others || (state != 'O' && state != 'U'))) return false;
        wanted.emplace_back(output, state);
    }
    sendLocked(client, ack);
    std::vector<int> requested;
    std::vector<int> changed;
    for (const auto& [output, state] : wanted) {
        const int holder = state == 'O' ? client : 0;
        requested.push_back(output);
        if (lockHolders_[output] != holder) changed.push_back(output);
        lockHolders_[output] = holder;
    }
    broadcastLocksLocked(reported(requested, changed));
    return true;
}

void VideohubPeer::sendLocked(int client, const std::string& text) {
    if (!silent_) server_.sendLocked(client, text);
}

void VideohubPeer::broadcastLabelsLocked(Labels side, const std::vector<int>& indices) {
    const auto& labels = side == Labels::input ? inputLabels_ : outputLabels_;
    std::string block = side == Labels::input ? inputLabelsHeader : outputLabelsHeader;
    block += "\n";
    for (int index : indices) block += std::to_string(index) + " " + labels[index] + "\n";
    block += "\n";
    for (const int client : server_.clientsLocked()) sendLocked(client, block);
}

void VideohubPeer::broadcastRoutesLocked(const std::vector<int>& outputs) {
    std::string block = std::string(routingHeader) + "\n";
    for (int output : outputs) {
        block += std::to_string(output) + " " + std::to_string(routes_[output]) + "\n";
    }
    block += "\n";
    for (const int client : server_.clientsLocked()) sendLocked(client, block);
}

// Each client sees its own locks as O and everyone else's as L.
void VideohubPeer::broadcastLocksLocked(const std::vector<int>& outputs) {
    for (const int client : server_.clientsLocked()) {
        std::string block = std::string(locksHeader) + "\n";
        for (int output : outputs) {
            block += std::to_string(output) + " " + lockStateLocked(output, client) + "\n";
        }
        sendLocked(client, block + "\n");
    }
}

char VideohubPeer::lockStateLocked(int output, const int client) const {
    const int holder = lockHolders_[output];
    if (holder == 0) return 'U';
    return holder == client ? 'O' : 'L';
}

std::string VideohubPeer::blockLocked(const std::string& header, const int client) const {
    std::string block = header + "\n";
    if (header == preambleHeader) {
        block += "Version: " + options_.version + "\n";
    } else if (header == deviceHeader) {
        block +=
            "Device present: true\n"
            "Model name: " +
            options_.modelName +
            "\n"
            "Friendly name: " +
            options_.friendlyName +
            "\n"
            "Unique ID: " +
            options_.uniqueId +
            "\n"
            "Video inputs: " +
            std::to_string(options_.inputs) +
            "\n"
            "Video processing units: 0\n"
            "Video outputs: " +
            std::to_string(options_.outputs) +
            "\n"
            "Video monitoring outputs: 0\n"
            "Serial ports: 0\n";
    } else if (header == inputLabelsHeader || header == outputLabelsHeader) {
        const auto& labels = header == inputLabelsHeader ? inputLabels_ : outputLabels_;
        for (size_t i = 0; i < labels.size(); ++i) {
            block += std::to_string(i) + " " + labels[i] + "\n";
        }
    } else if (header == locksHeader) {
        for (int output = 0; output < options_.outputs; ++output) {
            block += std::to_string(output) + " " + lockStateLocked(output, client) + "\n";
        }
    } else if (header == routingHeader) {
        for (int output = 0; output < options_.outputs; ++output) {
            block += std::to_string(output) + " " + std::to_string(routes_[output]) + "\n";
        }
    }
    return block + "\n";
}

std::string VideohubPeer::dumpLocked(const int client) const {
    std::string dump;
    for (const char* header : {preambleHeader, deviceHeader, inputLabelsHeader, outputLabelsHeader,
                               locksHeader, routingHeader}) {
        dump += blockLocked(header, client);
    }
    return dump + "END PRELUDE:\n\n";
}

// The test side's calls: changes as on the front panel.

bool VideohubPeer::route(int output, int input) {
    const auto lock = server_.lock();
    if (output < 0 || output >= options_.outputs || input < 0 || input >= options_.inputs) {
        return false;
    }
    if (routes_[output] == input) return true;
    routes_[output] = input;
    broadcastRoutesLocked({output});
    return true;
}

bool VideohubPeer::setLabel(Labels side, int index, const std::string& label) {
    const auto lock = server_.lock();
    auto& labels = side == Labels::input ? inputLabels_ : outputLabels_;
    if (index < 0 || index >= static_cast<int>(labels.size())) return false;
    if (labels[index] == label) return true;
    labels[index] = label;
    broadcastLabelsLocked(side, {index});
    return true;
}

bool VideohubPeer::lockByOther(int output) {
    return setHolder(output, otherHolder);
}

bool VideohubPeer::unlock(int output) {
    return setHolder(output, 0);
}

bool VideohubPeer::setHolder(int output, int holder) {
    const auto lock = server_.lock();
    if (output < 0 || output >= options_.outputs) return false;
    if (lockHolders_[output] == holder) return true;
    lockHolders_[output] = holder;
    broadcastLocksLocked({output});
    return true;
}

int VideohubPeer::routeOf(int output) const {
    const auto lock = server_.lock();
    return output >= 0 && output < options_.outputs ? routes_[output] : -1;
}

bool VideohubPeer::locked(int output) const {
    const auto lock = server_.lock();
    return output >= 0 && output < options_.outputs && lockHolders_[output] != 0;
}

std::vector<std::string> VideohubPeer::labels(Labels side) const {
    const auto lock = server_.lock();
    return side == Labels::input ? inputLabels_ : outputLabels_;
}

int VideohubPeer::clients() const {
    return server_.clients();
}

bool VideohubPeer::waitForClients(int count, int timeoutMs) const {
    return server_.waitForClients(count, timeoutMs);
}

void VideohubPeer::disconnectAll() {
    server_.disconnectAll();
}

void VideohubPeer::resize(int inputs, int outputs) {
    const auto lock = server_.lock();
    server_.disconnectAllLocked();
    options_.inputs = std::max(inputs, 0);
    options_.outputs = std::max(outputs, 0);
    for (int i = static_cast<int>(inputLabels_.size()); i < options_.inputs; ++i) {
        inputLabels_.push_back(defaultLabel("Input", i));
    }
    inputLabels_.resize(options_.inputs);
    for (int i = static_cast<int>(outputLabels_.size()); i < options_.outputs; ++i) {
        outputLabels_.push_back(defaultLabel("Output", i));
        routes_.push_back(i < options_.inputs ? i : 0);
    }
    outputLabels_.resize(options_.outputs);
    routes_.resize(options_.outputs);
    for (int& input : routes_) {
        if (input >= options_.inputs) input = 0;
    }
    lockHolders_.resize(options_.outputs, 0);
}

void VideohubPeer::setSilent(bool silent) {
    const auto lock = server_.lock();
    silent_ = silent;
}

std::vector<VideohubPeer::Request> VideohubPeer::requests() const {
    const auto lock = server_.lock();
    return requests_;
}

bool VideohubPeer::waitForRequests(size_t count, int timeoutMs) const {
    return server_.waitFor(timeoutMs, [&] { return requests_.size() >= count; });
}

}  // namespace zant::videohub
