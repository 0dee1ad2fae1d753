#include "peers/ember/EmberProviderState.h"

#include <algorithm>
#include <utility>

#include "routers/GlowReader.h"

namespace zant::routers {

const EmberProviderState::Path EmberProviderState::routerPath{1};
const EmberProviderState::Path EmberProviderState::matrixPath{1, 1};
const EmberProviderState::Path EmberProviderState::labelsPath{1, 2};
const EmberProviderState::Path EmberProviderState::targetLabelsPath{1, 2, 1};
const EmberProviderState::Path EmberProviderState::sourceLabelsPath{1, 2, 2};

namespace {

GlowItem node(const EmberProviderState::Path& path, const std::string& identifier) {
    GlowItem item;
    item.kind = GlowItem::Kind::node;
    item.path = path;
    item.identifier = identifier;
    return item;
}

GlowItem labelParameter(bool target, int index, const std::string& label) {
    const EmberProviderState::Path& parent =
        target ? EmberProviderState::targetLabelsPath : EmberProviderState::sourceLabelsPath;
    GlowItem item;
    item.kind = GlowItem::Kind::parameter;
    item.path = parent;
    item.path.push_back(static_cast<std::uint32_t>(index));
    item.identifier = (target ? "t" : "s") + std::to_string(index);
    item.value = GlowItem::Value::ofString(label);
    return item;
}

std::vector<std::string> labels(std::vector<std::string> given, int count, const char* prefix) {
    given.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string& label = given[static_cast<size_t>(i)];
        if (label.empty()) label = prefix + std::to_string(i + 1);
    }
    return given;
}

}  // namespace

EmberProviderState::EmberProviderState(EmberProviderOptions options)
    : options_(std::move(options)),
      targetLabels_(labels(options_.targetLabels, std::max(options_.targets, 1), "Target ")),
      sourceLabels_(labels(options_.sourceLabels, std::max(options_.sources, 1), "Source ")),
      locked_(targetLabels_.size(), false) {
    options_.targets = static_cast<int>(targetLabels_.size());
    options_.sources = static_cast<int>(sourceLabels_.size());
    for (int target = 0; target < options_.targets; ++target) {
        int source = target < options_.sources ? target : 0;
        if (static_cast<size_t>(target) < options_.routes.size()) {
            source = options_.routes[static_cast<size_t>(target)];
        }
        if (source < 0 || source >= options_.sources) source = 0;
        routes_.push_back(source);
    }
}

int EmberProviderState::connect() {
    const int consumer = nextConsumer_++;
    consumers_[consumer];
    return consumer;
}

void EmberProviderState::disconnect(int consumer) {
    consumers_.erase(consumer);
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [&](const Pending& p) { return p.consumer == consumer; }),
                   pending_.end());
}

EmberProviderState::Sends EmberProviderState::receive(int consumer, const std::uint8_t* data,
                                                      size_t size) {
    Sends sends;
    const auto found = consumers_.find(consumer);
    if (found == consumers_.end()) return sends;
    Consumer& from = found->second;
    std::vector<std::vector<std::uint8_t>> payloads;
    from.frames.feed(data, size, payloads);
    for (std::string& text : from.frames.takeProblems()) problem(std::move(text));
    S101Message::Read read;
    for (const std::vector<std::uint8_t>& payload : payloads) from.messages.take(payload, read);
    for (std::string& text : from.messages.takeProblems()) problem(std::move(text));
    if (!read.reply.empty()) sends.push_back({consumer, std::move(read.reply)});
    for (const std::vector<std::uint8_t>& ber : read.messages) handle(consumer, ber, sends);
    return sends;
}

void EmberProviderState::handle(int consumer, const std::vector<std::uint8_t>& ber, Sends& sends) {
    GlowReader::Result result = GlowReader::read(ber);
    for (std::string& text : result.problems) problem(std::move(text));
    for (const GlowItem& item : result.items) {
        if (item.kind == GlowItem::Kind::command) {
            command(consumer, item, sends);
        } else if (item.kind == GlowItem::Kind::matrix && !item.connections.empty()) {
            if (item.path != matrixPath) {
                problem("connections for a matrix that is not here were ignored");
                continue;
            }
            for (const GlowItem::Connection& asked : item.connections) {
                connection(consumer, asked, sends);
            }
        }
    }
}

void EmberProviderState::command(int consumer, const GlowItem& item, Sends& sends) {
    const bool subscribable =
        item.path == matrixPath || item.path == targetLabelsPath || item.path == sourceLabelsPath;
    std::set<Path>& subscriptions = consumers_[consumer].subscriptions;
    switch (item.command) {
        case GlowItem::getDirectory: {
            const std::vector<GlowItem> items = directory(item.path);
            if (items.empty()) {
                problem("getDirectory of an unknown path was ignored");
                return;
            }
            if (subscribable) subscriptions.insert(item.path);
            send(consumer, items, sends);
            return;
        }
        case GlowItem::subscribe:
            if (subscribable) subscriptions.insert(item.path);
            return;
        case GlowItem::unsubscribe:
            subscriptions.erase(item.path);
            return;
        default:
            problem("a command other than getDirectory or (un)subscribe was ignored");
    }
}

void EmberProviderState::connection(int consumer, const GlowItem::Connection& asked, Sends& sends) {
    const auto target = static_cast<std::int64_t>(asked.target);
    if (target >= options_.targets) {
        problem("a connection to target " + std::to_string(target) +
                ", which is not here, was ignored");
        return;
    }
    if (asked.operation != GlowItem::absolute || asked.sources.size() != 1 ||
        asked.sources[0] >= static_cast<std::uint32_t>(options_.sources)) {
        problem("a connection other than one known source, absolute, was ignored");
        return;
    }
    const int to = static_cast<int>(target);
    const int source = static_cast<int>(asked.sources[0]);
    if (locked_[static_cast<size_t>(to)]) {
        GlowItem answer = matrixItem(false);
        answer.connections.push_back(connectionOf(to, GlowItem::locked));
        send(consumer, {answer}, sends);
        return;
    }
    if (options_.pendingFirst) {
        pending_.push_back({consumer, to, source});
        GlowItem answer = matrixItem(false);
        answer.connections.push_back(
            {asked.target, {asked.sources[0]}, GlowItem::absolute, GlowItem::pending});
        send(consumer, {answer}, sends);
        return;
    }
    apply(consumer, to, source, sends);
}

void EmberProviderState::apply(int asker, int target, int source, Sends& sends) {
    routes_[static_cast<size_t>(target)] = source;
    GlowItem report = matrixItem(false);
    if (asker != 0 && consumers_.count(asker) != 0) {
        report.connections = {connectionOf(target, GlowItem::modified)};
        send(asker, {report}, sends);
    }
    report.connections = {connectionOf(target, GlowItem::tally)};
    for (const auto& [id, consumer] : consumers_) {
        if (id != asker && consumer.subscriptions.count(matrixPath) != 0) send(id, {report}, sends);
    }
}

EmberProviderState::Sends EmberProviderState::settle() {
    Sends sends;
    for (const Pending& p : std::exchange(pending_, {}))
        apply(p.consumer, p.target, p.source, sends);
    return sends;
}

EmberProviderState::Sends EmberProviderState::route(int target, int source) {
    Sends sends;
    if (target < 0 || target >= options_.targets || source < 0 || source >= options_.sources) {
        return sends;
    }
    apply(0, target, source, sends);
    return sends;
}

EmberProviderState::Sends EmberProviderState::setLabel(bool target, int index,
                                                       const std::string& label) {
    Sends sends;
    std::vector<std::string>& labels = target ? targetLabels_ : sourceLabels_;
    if (index < 0 || static_cast<size_t>(index) >= labels.size()) return sends;
    labels[static_cast<size_t>(index)] = label;
    const Path& parent = target ? targetLabelsPath : sourceLabelsPath;
    const GlowItem item = labelParameter(target, index, label);
    for (const auto& [id, consumer] : consumers_) {
        if (consumer.subscriptions.count(parent) != 0) send(id, {item}, sends);
    }
    return sends;
}

void EmberProviderState::setLocked(int target, bool locked) {
    if (target >= 0 && target < options_.targets) locked_[static_cast<size_t>(target)] = locked;
}

int EmberProviderState::routeOf(int target) const {
    if (target < 0 || target >= options_.targets) return -1;
    return routes_[static_cast<size_t>(target)];
}

bool EmberProviderState::subscribed(int consumer, const Path& path) const {
    const auto found = consumers_.find(consumer);
    return found != consumers_.end() && found->second.subscriptions.count(path) != 0;
}

std::vector<GlowItem> EmberProviderState::directory(const Path& path) const {
    if (path.empty()) return {node(routerPath, "router")};
    if (path == routerPath) {
        return {matrixItem(true), node(labelsPath, "labels")};
    }
    if (path == matrixPath) {
        GlowItem matrix = matrixItem(true);
        for (int target = 0; target < options_.targets; ++target) {
            matrix.connections.push_back(connectionOf(target, GlowItem::tally));
        }
        return {matrix};
    }
    if (path == labelsPath) {
        return {node(targetLabelsPath, "targets"), node(sourceLabelsPath, "sources")};
    }
    if (path == targetLabelsPath || path == sourceLabelsPath) {
        const bool targets = path == targetLabelsPath;
        const std::vector<std::string>& labels = targets ? targetLabels_ : sourceLabels_;
        std::vector<GlowItem> items;
        for (size_t i = 0; i < labels.size(); ++i) {
            items.push_back(labelParameter(targets, static_cast<int>(i), labels[i]));
        }
        return items;
    }
    return {};
}

GlowItem EmberProviderState::matrixItem(bool withContents) const {
    GlowItem matrix;
    matrix.kind = GlowItem::Kind::matrix;
    matrix.path = matrixPath;
    if (!withContents) return matrix;
    matrix.identifier = "video";
    matrix.matrixType = GlowItem::oneToN;
    matrix.addressingMode = GlowItem::linear;
    matrix.targetCount = options_.targets;
    matrix.sourceCount = options_.sources;
    matrix.labels = {{labelsPath, "Primary"}};
    return matrix;
}

GlowItem::Connection EmberProviderState::connectionOf(int target, std::int64_t disposition) const {
    GlowItem::Connection connection;
    connection.target = static_cast<std::uint32_t>(target);
    connection.sources = {static_cast<std::uint32_t>(routes_[static_cast<size_t>(target)])};
    connection.disposition = disposition;
    return connection;
}

void EmberProviderState::send(int consumer, const std::vector<GlowItem>& items,
                              Sends& sends) const {
    const std::vector<std::uint8_t> ber = GlowWriter::encode(items, options_.form);
    sends.push_back({consumer, S101Message::encode(ber, options_.packetData)});
}

void EmberProviderState::problem(std::string text) {
    if (problems_.size() < maxProblems) problems_.push_back(std::move(text));
}

std::vector<std::string> EmberProviderState::takeProblems() {
    return std::exchange(problems_, {});
}

}  // namespace zant::routers
