#include "simulator/Router.h"

#include <cstdio>

Router::Router(int device, int sources, int destinations)
    : device_(device),
      sources_(sources < 0 ? 0 : sources),
      destinations_(destinations < 0 ? 0 : destinations),
      crosspoints_(static_cast<size_t>(destinations_) + 1, 0) {}

bool Router::setName(int database, int index, const std::string& name) {
    if (database == sourceDatabase ? !validSource(index)
                                   : database != destinationDatabase || !validDestination(index)) {
        return false;
    }
    names_[database][index] = name;
    return true;
}

bool Router::name(int database, int index, std::string& name) const {
    if (database != sourceDatabase && database != destinationDatabase) return false;
    const auto found = names_[database].find(index);
    if (found == names_[database].end()) return false;
    name = found->second;
    return true;
}

int Router::source(int destination) const {
    return validDestination(destination) ? crosspoints_[static_cast<size_t>(destination)] : 0;
}

void Router::connect(int source, int destination) {
    if (validSource(source) && validDestination(destination)) {
        crosspoints_[static_cast<size_t>(destination)] = source;
        changed_.insert(destination);
    }
}

void Router::registerRange(int first, int last, bool add) {
    if (!add) ranges_.clear();
    if (first < 1) first = 1;
    if (last > destinations_) last = destinations_;
    if (first <= last) ranges_.emplace_back(first, last);
}

bool Router::registered(int destination) const {
    for (const auto& range : ranges_) {
        if (destination >= range.first && destination <= range.second) return true;
    }
    return false;
}

std::string Router::registrations() const {
    if (ranges_.empty()) return "none";
    std::string text;
    for (const auto& range : ranges_) {
        if (!text.empty()) text += ", ";
        text += std::to_string(range.first) + ".." + std::to_string(range.second);
    }
    return text;
}

std::string Router::header() const {
    return "router " + std::to_string(device_) + ": " + std::to_string(sources_) + " sources x " +
           std::to_string(destinations_) + " destinations, registered: " + registrations() + "\n";
}

std::string Router::destinationLine(int destination) const {
    const int from = crosspoints_[static_cast<size_t>(destination)];
    std::string destinationName;
    std::string sourceName;
    name(destinationDatabase, destination, destinationName);
    if (from != 0) name(sourceDatabase, from, sourceName);
    char number[16];
    std::snprintf(number, sizeof number, "  %4d ", destination);
    std::string line = number + destinationName;
    if (destinationName.size() < 18) line += std::string(18 - destinationName.size(), ' ');
    line += " <- ";
    line += from == 0 ? std::string("(nothing)") : std::to_string(from) + " " + sourceName;
    return line + "\n";
}

std::string Router::draw() const {
    std::string drawing = header();
    const bool inFull = destinations_ <= drawnInFull;
    if (!inFull) {
        drawing +=
            "  (" + std::to_string(changed_.size()) +
            " destinations routed since the start; the others as at the start:" + " show router " +
            std::to_string(device_) + " 1-" + std::to_string(drawnInFull) + " lists a range)\n";
    }
    for (int destination = 1; destination <= destinations_; ++destination) {
        if (inFull || changed_.count(destination) != 0) drawing += destinationLine(destination);
    }
    return drawing;
}

std::string Router::drawIndices(int first, int last) const {
    std::string drawing = header() + "  destinations (index name <- source):\n";
    const int from = first < 1 ? 1 : first;
    for (int destination = from; destination <= last && destination <= destinations_;
         ++destination) {
        drawing += destinationLine(destination);
    }
    drawing += "  sources (index name):\n";
    for (int source = from; source <= last && source <= sources_; ++source) {
        std::string sourceName;
        name(sourceDatabase, source, sourceName);
        char number[16];
        std::snprintf(number, sizeof number, "  %4d ", source);
        drawing += number + sourceName + "\n";
    }
    return drawing;
}
