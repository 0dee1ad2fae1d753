#include "tests/quorvex/support/TakePanelModel.h"

#include <algorithm>
#include <cstdlib>

#include "hosting/CommandGrammar.h"

using zant::hosting::CommandGrammar;
using zant::hosting::ParsedCommand;

namespace {

int databaseOf(const std::string& control) {
    return control == "Source" || control == "UndoSource" ? 0 : 1;
}

int number(const std::string& field) {
    return static_cast<int>(std::strtol(field.c_str(), nullptr, 10));
}

std::string lookupText(const TakePanelModel::Lookup& lookup) {
    return "RN " + std::to_string(lookup.device) + " " + std::to_string(lookup.database) + " " +
           std::to_string(lookup.index);
}

}  // namespace

void TakePanelModel::command(const std::string& text, const std::optional<std::string>& reply) {
    ParsedCommand shaped;
    const bool wellFormed = CommandGrammar::parse(text, shaped).empty();
    const bool lookup = wellFormed && shaped.mnemonic == "RN";
    if (lookup) {
        // The host hands its reply over as a C text: it ends at the first NUL.
        std::string name = reply ? std::string(reply->c_str()) : std::string();
        std::replace(name.begin(), name.end(), '|', ' ');
        pending_ = PendingLookup{
            {number(shaped.fields[0]), number(shaped.fields[1]), number(shaped.fields[2])}, name};
    } else if (wellFormed && shaped.mnemonic == "TP" && shaped.fields[1] == "1" &&
               shaped.fields[0].compare(0, 5, "text=") == 0) {
        showText(shaped.fields[2], shaped.fields[0].substr(5));
    } else if (wellFormed && (shaped.mnemonic == "CE" || shaped.mnemonic == "CD") &&
               shaped.fields[0] == "1") {
        enabled_[shaped.fields[1]] = shaped.mnemonic == "CE";
    } else if (wellFormed && shaped.mnemonic == "RC") {
        crosspoints_.push_back(
            {number(shaped.fields[0]), number(shaped.fields[1]), number(shaped.fields[2])});
    }
    lastWasLookup_ = lookup;
}

// A look-up is answered by the next text of its database on "Source" or
// "Dest" (the component may clear the undo texts in between), or on
// "UndoSource" or "UndoDest" right after it.
void TakePanelModel::showText(const std::string& control, const std::string& text) {
    Shown& shown = shown_[control];
    shown = Shown{text, std::nullopt};
    if (!pending_ || pending_->lookup.database != databaseOf(control)) return;
    if (!lastWasLookup_ && control != "Source" && control != "Dest") return;
    if (pending_->name == text) shown.from = pending_->lookup;
    pending_.reset();
}

std::string TakePanelModel::text(const std::string& control) const {
    const auto found = shown_.find(control);
    return found == shown_.end() ? std::string() : found->second.text;
}

bool TakePanelModel::enabled(const std::string& control) const {
    const auto found = enabled_.find(control);
    return found != enabled_.end() && found->second;
}

std::vector<TakePanelModel::Crosspoint> TakePanelModel::takeCrosspoints() {
    std::vector<Crosspoint> taken;
    taken.swap(crosspoints_);
    return taken;
}

std::string TakePanelModel::describe(const std::string& control) const {
    const auto found = shown_.find(control);
    if (found == shown_.end()) return control + " never set";
    const Shown& shown = found->second;
    return control + " showed '" + shown.text + "' " +
           (shown.from ? "from " + lookupText(*shown.from) : std::string("from no look-up"));
}

std::string TakePanelModel::routeError(const std::string& button, const Crosspoint& sent) const {
    const bool take = button == "Take";
    const std::string sourceControl = take ? "Source" : "UndoSource";
    const std::string destinationControl = take ? "Dest" : "UndoDest";
    const auto from = [this](const std::string& control) {
        const auto found = shown_.find(control);
        return found == shown_.end() ? std::nullopt : found->second.from;
    };
    const Lookup source{sent.device, 0, sent.source};
    const Lookup destination{sent.device, 1, sent.destination};
    if (from(sourceControl) == source && from(destinationControl) == destination) return {};
    return button + " sent RC " + std::to_string(sent.device) + " " + std::to_string(sent.source) +
           " " + std::to_string(sent.destination) + ", but " + describe(sourceControl) + " and " +
           describe(destinationControl);
}
