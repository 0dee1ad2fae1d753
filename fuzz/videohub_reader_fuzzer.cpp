// The router protocol's reader and picture on arbitrary bytes, fed once whole
// and once in pieces the input chooses: the same blocks, problems and picture
// either way, and the picture within its bounds.
//
// Input: a control byte (bits 0-2: how many piece lengths follow, each one
// byte, a length of byte + 1; bit 7: a reconnect halfway through the blocks),
// the piece lengths, then the bytes from the router.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "hosting/VideohubPicture.h"
#include "hosting/VideohubReader.h"

namespace {

using zant::hosting::VideohubBlock;
using zant::hosting::VideohubPicture;
using zant::hosting::VideohubReader;

struct Run {
    std::string log;  // blocks, what applying each did, the reader's state
    VideohubPicture picture;
};

void record(std::string& log, const VideohubPicture::Applied& applied) {
    log += "reply " + std::to_string(static_cast<int>(applied.reply));
    for (const auto& route : applied.routes) {
        log += " route " + std::to_string(route.output) + "<" + std::to_string(route.input) +
               (route.changed ? "!" : "");
    }
    log += std::string(" flags ") + (applied.labelsChanged ? "l" : "") +
           (applied.locksChanged ? "k" : "") + (applied.sizesChanged ? "s" : "") +
           (applied.deviceChanged ? "d" : "");
    for (const std::string& problem : applied.problems) log += " problem " + problem;
    log += "\n";
}

void read(const char* bytes, size_t size, const std::vector<size_t>& pieces, bool reconnect,
          Run& run) {
    VideohubReader reader;
    std::vector<VideohubBlock> blocks;
    size_t at = 0;
    for (size_t piece = 0; at < size; ++piece) {
        const size_t length = std::min(pieces[piece % pieces.size()], size - at);
        reader.feed(bytes + at, length, blocks);
        at += length;
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        const VideohubBlock& block = blocks[i];
        fuzzCheck(block.lines.size() <= VideohubReader::maxBlockLines, "block within its lines");
        run.log += "block " + block.header + "\n";
        for (const std::string& line : block.lines) {
            fuzzCheck(line.size() <= VideohubReader::maxLine, "line within maxLine");
            fuzzCheck(line.find('\0') == std::string::npos, "no NUL in a line");
            fuzzCheck(line.find_first_not_of(" \t\r") != std::string::npos, "no blank line");
            run.log += line + "\n";
        }
        if (reconnect && i == blocks.size() / 2) run.picture.startAgain();
        record(run.log, run.picture.apply(block));
    }
    for (const std::string& problem : reader.takeProblems()) run.log += "reader " + problem + "\n";
    run.log += reader.midBlock() ? "mid block\n" : "between blocks\n";
}

// Everything the picture holds, checked against its bounds on the way.
std::string snapshot(const VideohubPicture& picture) {
    const int inputs = picture.inputs();
    const int outputs = picture.outputs();
    fuzzCheck(inputs >= 0 && inputs <= VideohubPicture::maxPorts, "inputs within maxPorts");
    fuzzCheck(outputs >= 0 && outputs <= VideohubPicture::maxPorts, "outputs within maxPorts");
    const bool known = picture.sizesKnown();
    std::string text = picture.version() + "|" + (picture.versionUnderstood() ? "2" : "?") + "|" +
                       picture.devicePresent() + "|" + picture.modelName() + "|" +
                       picture.friendlyName() + "|" + std::to_string(inputs) + "x" +
                       std::to_string(outputs) + (known ? " known" : "") +
                       (picture.routingKnown() ? " routed" : "");
    for (int i = 0; i < VideohubPicture::maxPorts; ++i) {
        if (const std::string* label = picture.inputLabel(i)) {
            fuzzCheck(label->size() <= VideohubPicture::maxLabel, "input label within maxLabel");
            fuzzCheck(!known || i < inputs, "no input label beyond the inputs");
            text += " i" + std::to_string(i) + "=" + *label;
        }
        if (const std::string* label = picture.outputLabel(i)) {
            fuzzCheck(label->size() <= VideohubPicture::maxLabel, "output label within maxLabel");
            fuzzCheck(!known || i < outputs, "no output label beyond the outputs");
            text += " o" + std::to_string(i) + "=" + *label;
        }
        const int route = picture.route(i);
        fuzzCheck(route >= -1 && route < (known ? inputs : VideohubPicture::maxPorts),
                  "a route from a known input");
        fuzzCheck(route == -1 || !known || i < outputs, "no route beyond the outputs");
        if (route >= 0) text += " r" + std::to_string(i) + "=" + std::to_string(route);
        const auto lock = picture.lock(i);
        fuzzCheck(!known || i < outputs || lock == VideohubPicture::Lock::unlocked,
                  "no lock beyond the outputs");
        if (lock != VideohubPicture::Lock::unlocked) {
            text += " l" + std::to_string(i) + static_cast<char>(lock);
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t count = std::min<size_t>(data[0] & 7u, size - 1);
    const bool reconnect = (data[0] & 0x80u) != 0;
    std::vector<size_t> pieces;
    for (size_t i = 1; i <= count; ++i) pieces.push_back(size_t{data[i]} + 1);
    if (pieces.empty()) pieces.push_back(1);
    const char* bytes = reinterpret_cast<const char*>(data + 1 + count);
    const size_t length = size - 1 - count;

    Run whole;
    read(bytes, length, {std::max<size_t>(length, 1)}, reconnect, whole);
    Run split;
    read(bytes, length, pieces, reconnect, split);
    fuzzCheck(whole.log == split.log, "the same blocks, reports and problems in any pieces");
    fuzzCheck(snapshot(whole.picture) == snapshot(split.picture), "the same picture in any pieces");
    return 0;
}
