#include "routers/EmberProtocol.h"

#include <algorithm>
#include <utility>

#include "routers/GlowReader.h"

namespace zant::routers {

namespace {

enum Problem {
    readerProblem,
    framing,
    unknownTarget,
    unknownSource,
    labelCut,
    tooManyPorts,
};

// A message whose parts were refused is reported with this many reasons at
// most, then a count.
constexpr size_t problemsShown = 3;

bool isNumber(const std::string& step) {
    return !step.empty() && step.size() <= 9 &&
           step.find_first_not_of("0123456789") == std::string::npos;
}

bool childOf(const std::vector<std::uint32_t>& path, const std::vector<std::uint32_t>& parent) {
    return path.size() == parent.size() + 1 &&
           std::equal(parent.begin(), parent.end(), path.begin());
}

void append(std::string& send, const std::vector<std::uint8_t>& bytes) {
    send.append(bytes.begin(), bytes.end());
}

const char* typeName(std::int64_t type) {
    switch (type) {
        case GlowItem::oneToOne:
            return "one-to-one";
        case GlowItem::nToN:
            return "N-to-N";
        default:
            return "one-to-N";
    }
}

std::string numbersText(const std::vector<std::uint32_t>& numbers) {
    constexpr size_t shown = 4;
    std::string text;
    for (size_t i = 0; i < numbers.size() && i < shown; ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
    }
    return text + (numbers.size() > shown ? ", ..." : "");
}

// At most labelLimit bytes, not ending inside a UTF-8 character.
void cutLabel(std::string& label) {
    size_t size = EmberProtocol::labelLimit;
    while (size > 0 && size + 3 > EmberProtocol::labelLimit &&
           (static_cast<unsigned char>(label[size]) & 0xC0) == 0x80) {
        --size;
    }
    label.resize(size);
}

}  // namespace

EmberProtocol::EmberProtocol(std::vector<std::string> matrix) : steps_(std::move(matrix)) {}

bool EmberProtocol::parsePath(const std::string& text, std::vector<std::string>& steps) {
    std::vector<std::string> parsed;
    for (size_t at = 0; at <= text.size();) {
        const size_t dot = std::min(text.find('.', at), text.size());
        if (dot == at) return false;
        parsed.push_back(text.substr(at, dot - at));
        at = dot + 1;
    }
    if (parsed.size() > GlowReader::maxPath) return false;
    steps = std::move(parsed);
    return true;
}

void EmberProtocol::connected(std::string& send) {
    frames_.reset();
    messages_.reset();
    dropped_.take();
    stage_ = Stage::walking;
    reached_.clear();
    matrixPath_.clear();
    targetLabels_.clear();
    sourceLabels_.clear();
    targetLabelsHeard_ = false;
    sourceLabelsHeard_ = false;
    sized_ = false;
    dumpComplete_ = false;
    typeSaid_ = false;
    type_ = GlowItem::oneToN;
    addressing_ = GlowItem::linear;
    targetCount_ = -1;
    sourceCount_ = -1;
    targetNumbers_.clear();
    sourceNumbers_.clear();
    targetIndex_.clear();
    sourceIndex_.clear();
    awaiting_ = Awaiting::nothing;
    append(send, S101Message::encode(GlowWriter::getDirectory({}, GlowItem::Kind::node, form)));
}

void EmberProtocol::received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                             std::string& send) {
    // A byte at a time into the framer, each frame taken at its last byte,
    // so that the updates and their order do not depend on how the bytes
    // were cut; what framing dropped is said with the next frame that ends.
    std::vector<std::vector<std::uint8_t>> payloads;
    for (size_t at = 0; at < size; ++at) {
        frames_.feed(reinterpret_cast<const std::uint8_t*>(data) + at, 1, payloads);
        for (std::string& problem : frames_.takeProblems())
            dropped_.add(framing, std::move(problem));
        if (payloads.empty()) continue;
        S101Message::Read read;
        for (const std::vector<std::uint8_t>& payload : payloads) messages_.take(payload, read);
        payloads.clear();
        for (std::string& problem : messages_.takeProblems()) {
            dropped_.add(framing, std::move(problem));
        }
        for (std::string& problem : dropped_.take()) {
            updates.push_back(RouterUpdate::ignoring(std::move(problem)));
        }
        append(send, read.reply);
        if (read.keepAliveAnswered && awaiting_ == Awaiting::keepAlive) {
            awaiting_ = Awaiting::nothing;
        }
        for (const std::vector<std::uint8_t>& ber : read.messages) apply(ber, updates, send);
    }
}

void EmberProtocol::apply(const std::vector<std::uint8_t>& ber, std::vector<RouterUpdate>& updates,
                          std::string& send) {
    ProblemTally problems;
    GlowReader::Result result = GlowReader::read(ber);
    // The reader says why a message was dropped.
    for (std::string& problem : result.problems) problems.add(readerProblem, std::move(problem));
    if (stage_ == Stage::walking) walk(result.items, updates, send);
    if (stage_ != Stage::walking) {
        for (const GlowItem& item : result.items) {
            if (item.kind == GlowItem::Kind::matrix && item.path == matrixPath_) {
                takeMatrix(item, updates, send, problems);
            } else if (!targetLabels_.empty()) {
                takeLabel(item, updates, problems);
            }
        }
    }
    const std::vector<std::string> refused = problems.take();
    for (size_t i = 0; i < refused.size() && i < problemsShown; ++i) {
        updates.push_back(RouterUpdate::ignoring(refused[i]));
    }
    if (refused.size() > problemsShown) {
        updates.push_back(RouterUpdate::ignoring(std::to_string(refused.size() - problemsShown) +
                                                 " more kinds of problems in one message"));
    }
    completeDump(updates);
}

std::string EmberProtocol::where() const {
    std::string text;
    for (size_t i = 0; i < reached_.size(); ++i) text += (i == 0 ? "" : ".") + steps_[i];
    return text.empty() ? "the root" : "'" + text + "'";
}

void EmberProtocol::walk(const std::vector<GlowItem>& items, std::vector<RouterUpdate>& updates,
                         std::string& send) {
    // Each message may take the walk one step further: the children of the
    // element reached so far, among them the next step.
    if (reached_.size() >= steps_.size()) return;
    const std::string& step = steps_[reached_.size()];
    std::vector<std::string> seen;
    for (const GlowItem& item : items) {
        if (!childOf(item.path, reached_) || item.kind == GlowItem::Kind::command) continue;
        const bool matches = isNumber(step) ? std::to_string(item.path.back()) == step
                                            : item.identifier && *item.identifier == step;
        if (!matches) {
            if (seen.size() < 8)
                seen.push_back(item.identifier.value_or(std::to_string(item.path.back())));
            continue;
        }
        reached_ = item.path;
        const bool last = reached_.size() == steps_.size();
        if (last && item.kind != GlowItem::Kind::matrix) {
            updates.push_back(
                RouterUpdate::faultOf("has no matrix at " + where() + ": it is not a matrix"));
            return;
        }
        if (!last && item.kind != GlowItem::Kind::node) {
            updates.push_back(
                RouterUpdate::faultOf("has no node at " + where() + ", on the way to the matrix"));
            return;
        }
        if (last) {
            stage_ = Stage::matrix;
            matrixPath_ = reached_;
        }
        append(send, S101Message::encode(GlowWriter::getDirectory(reached_, item.kind, form)));
        return;
    }
    // A provider may send the children in several messages: the next step
    // may yet come, so this is a note, which the start's failure quotes if
    // it never does.
    if (!seen.empty()) {
        std::string there;
        for (const std::string& name : seen) there += (there.empty() ? "'" : ", '") + name + "'";
        updates.push_back(RouterUpdate::ignoring("no '" + step + "' under " + where() +
                                                 " among the children sent (" + there + ")"));
    }
}

void EmberProtocol::takeMatrix(const GlowItem& item, std::vector<RouterUpdate>& updates,
                               std::string& send, ProblemTally& problems) {
    if (item.matrixType) type_ = *item.matrixType;
    if (item.addressingMode) addressing_ = *item.addressingMode;
    bool resized = false;
    const auto count = [&](const std::optional<std::int64_t>& given, int& kept) {
        if (!given) return;
        if (*given < 0 || *given > portLimit) {
            problems.add(tooManyPorts, "a count of " + std::to_string(*given) +
                                           " ports (most: " + std::to_string(portLimit) +
                                           "); the sizes stay as they were");
            return;
        }
        resized = resized || kept != static_cast<int>(*given);
        kept = static_cast<int>(*given);
    };
    count(item.targetCount, targetCount_);
    count(item.sourceCount, sourceCount_);
    const auto list = [&](const std::optional<std::vector<std::uint32_t>>& given,
                          std::vector<std::uint32_t>& numbers,
                          std::map<std::uint32_t, int>& index) {
        if (!given) return;
        if (given->size() > static_cast<size_t>(portLimit)) {
            problems.add(tooManyPorts, "a list of " + std::to_string(given->size()) +
                                           " ports (most: " + std::to_string(portLimit) +
                                           "); the sizes stay as they were");
            return;
        }
        resized = resized || numbers != *given;
        numbers = *given;
        index.clear();
        for (size_t i = 0; i < numbers.size(); ++i) {
            index.emplace(numbers[i], static_cast<int>(i) + 1);
        }
    };
    list(item.targets, targetNumbers_, targetIndex_);
    list(item.sources, sourceNumbers_, sourceIndex_);
    if (resized) sendSizes(updates);

    if (targetLabels_.empty() && !item.labels.empty() && !item.labels.front().basePath.empty() &&
        item.labels.front().basePath.size() < GlowReader::maxPath) {
        targetLabels_ = item.labels.front().basePath;
        targetLabels_.push_back(1);
        sourceLabels_ = item.labels.front().basePath;
        sourceLabels_.push_back(2);
        append(send, S101Message::encode(
                         GlowWriter::getDirectory(targetLabels_, GlowItem::Kind::node, form)));
        append(send, S101Message::encode(
                         GlowWriter::getDirectory(sourceLabels_, GlowItem::Kind::node, form)));
    }
    for (const GlowItem::Connection& connection : item.connections) {
        takeConnection(connection, updates, problems);
    }
}

void EmberProtocol::sendSizes(std::vector<RouterUpdate>& updates) {
    const bool listed = addressing_ == GlowItem::nonLinear;
    const int targets =
        listed && !targetNumbers_.empty() ? static_cast<int>(targetNumbers_.size()) : targetCount_;
    const int sources =
        listed && !sourceNumbers_.empty() ? static_cast<int>(sourceNumbers_.size()) : sourceCount_;
    // A provider may give 0 sources first and the real count later: a side
    // without ports is not a size to drive yet.
    if (targets <= 0 || sources <= 0) return;
    updates.push_back(RouterUpdate::sizesOf(sources, targets));
    sized_ = true;
}

void EmberProtocol::completeDump(std::vector<RouterUpdate>& updates) {
    if (dumpComplete_ || !sized_) return;
    if (!targetLabels_.empty() && !(targetLabelsHeard_ && sourceLabelsHeard_)) return;
    dumpComplete_ = true;
    std::string what = std::string("is a ") + typeName(type_) + " matrix";
    if (addressing_ == GlowItem::nonLinear) {
        what += "; non-linear: its targets " + numbersText(targetNumbers_) + " and sources " +
                numbersText(sourceNumbers_) + " are our 1, 2, ... in order";
    }
    if (type_ != GlowItem::oneToN) what += "; routed one source a target, as reported";
    updates.push_back(RouterUpdate::noting(what));
    updates.push_back(RouterUpdate::dumpCompleted());
}

int EmberProtocol::indexOf(Side side, std::uint32_t number) const {
    const bool targets = side == Side::destination;
    const bool listed =
        addressing_ == GlowItem::nonLinear && !(targets ? targetNumbers_ : sourceNumbers_).empty();
    if (listed) {
        const std::map<std::uint32_t, int>& index = targets ? targetIndex_ : sourceIndex_;
        const auto found = index.find(number);
        return found == index.end() ? 0 : found->second;
    }
    const int count = targets ? targetCount_ : sourceCount_;
    const std::int64_t limit = count > 0 ? count : portLimit;
    return number < limit ? static_cast<int>(number) + 1 : 0;
}

void EmberProtocol::takeConnection(const GlowItem::Connection& connection,
                                   std::vector<RouterUpdate>& updates, ProblemTally& problems) {
    const int destination = indexOf(Side::destination, connection.target);
    if (destination == 0) {
        problems.add(unknownTarget, "a connection of target " + std::to_string(connection.target) +
                                        ", which the matrix does not have");
        return;
    }
    int source = 0;
    if (!connection.sources.empty()) {
        source = indexOf(Side::source, connection.sources.front());
        if (source == 0) {
            problems.add(unknownSource, "a connection of source " +
                                            std::to_string(connection.sources.front()) +
                                            ", which the matrix does not have");
            return;
        }
    }
    const bool answers = awaiting_ == Awaiting::request && connection.target == requestTarget_;
    // Pending: the sources are what will be, not what is.
    if (connection.disposition != GlowItem::pending && source != 0) {
        updates.push_back(RouterUpdate::routeOf(destination, source));
    }
    if (!answers) return;
    awaiting_ = Awaiting::nothing;
    switch (connection.disposition) {
        case GlowItem::pending:
            updates.push_back(RouterUpdate::pendingOf(request_));
            return;
        case GlowItem::locked:
            updates.push_back(
                RouterUpdate::answerTo(request_, false,
                                       "locked: target " + std::to_string(connection.target) +
                                           " of the matrix is locked on the provider"));
            return;
        default:
            updates.push_back(RouterUpdate::answerTo(request_, true));
            return;
    }
}

void EmberProtocol::takeLabel(const GlowItem& item, std::vector<RouterUpdate>& updates,
                              ProblemTally& problems) {
    for (const bool targets : {true, false}) {
        const Path& node = targets ? targetLabels_ : sourceLabels_;
        if (item.path == node) (targets ? targetLabelsHeard_ : sourceLabelsHeard_) = true;
        if (!childOf(item.path, node)) continue;
        (targets ? targetLabelsHeard_ : sourceLabelsHeard_) = true;
        if (item.kind != GlowItem::Kind::parameter ||
            item.value.type != GlowItem::Value::Type::string) {
            return;
        }
        const Side side = targets ? Side::destination : Side::source;
        const int index = indexOf(side, item.path.back());
        if (index == 0) return;
        std::string label = item.value.text;
        if (label.size() > labelLimit) {
            cutLabel(label);
            problems.add(labelCut, std::string("the label of ") +
                                       (targets ? "target " : "source ") +
                                       std::to_string(item.path.back()) + " was cut to its first " +
                                       std::to_string(label.size()) + " bytes");
        }
        updates.push_back(RouterUpdate::labelOf(side, index, std::move(label)));
        return;
    }
}

void EmberProtocol::route(int id, int destination, int source, std::string& send) {
    const auto number = [&](Side side, int index) -> std::uint32_t {
        const std::vector<std::uint32_t>& listed =
            side == Side::destination ? targetNumbers_ : sourceNumbers_;
        if (addressing_ == GlowItem::nonLinear && index >= 1 &&
            static_cast<size_t>(index) <= listed.size()) {
            return listed[static_cast<size_t>(index) - 1];
        }
        return static_cast<std::uint32_t>(index - 1);
    };
    requestTarget_ = number(Side::destination, destination);
    GlowItem::Connection connection;
    connection.target = requestTarget_;
    connection.sources = {number(Side::source, source)};
    append(send, S101Message::encode(GlowWriter::connect(matrixPath_, connection, form)));
    awaiting_ = Awaiting::request;
    request_ = id;
}

void EmberProtocol::keepAlive(std::string& send) {
    append(send, S101Message::keepAliveRequest());
    awaiting_ = Awaiting::keepAlive;
}

}  // namespace zant::routers
