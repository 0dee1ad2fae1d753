#include "routers/Router.h"

#include <cstdio>

namespace zant::routers {

bool Router::name(int database, int index, std::string& name) const {
    if (database != sourceDatabase && database != destinationDatabase) return false;
    return this->name(database == sourceDatabase ? Side::source : Side::destination, index, name);
}

std::string Router::title() const {
    return "router " + std::to_string(device());
}

std::string Router::header() const {
    const std::string where = connection();
    return "router " + std::to_string(device()) + ": " + std::to_string(sources()) + " sources x " +
           std::to_string(destinations()) + " destinations, registered: " + registrations() + "\n" +
           (where.empty() ? std::string() : "  " + where + "\n");
}

std::string Router::destinationLine(int destination) const {
    const int from = source(destination);
    std::string destinationName;
    std::string sourceName;
    name(Side::destination, destination, destinationName);
    if (from != 0) name(Side::source, from, sourceName);
    char number[16];
    std::snprintf(number, sizeof number, "  %4d ", destination);
    std::string line = number + destinationName;
    if (destinationName.size() < 18) line += std::string(18 - destinationName.size(), ' ');
    line += " <- ";
    line += from == 0 ? std::string("(nothing)") : std::to_string(from) + " " + sourceName;
    const Lock held = lock(destination);
    if (held == Lock::theirs) line += "  [locked by another client]";
    if (held == Lock::ours) line += "  [locked by this host]";
    return line + "\n";
}

std::string Router::draw() const {
    std::string drawing = header();
    const bool inFull = destinations() <= drawnInFull;
    const std::set<int> changed = routedSinceStart();
    if (!inFull) {
        drawing +=
            "  (" + std::to_string(changed.size()) +
            " destinations routed since the start; the others as at the start:" + " show router " +
            std::to_string(device()) + " 1-" + std::to_string(drawnInFull) + " lists a range)\n";
    }
    for (int destination = 1; destination <= destinations(); ++destination) {
        if (inFull || changed.count(destination) != 0) drawing += destinationLine(destination);
    }
    return drawing;
}

std::string Router::drawIndices(int first, int last) const {
    std::string drawing = header() + "  destinations (index name <- source):\n";
    const int from = first < 1 ? 1 : first;
    for (int destination = from; destination <= last && destination <= destinations();
         ++destination) {
        drawing += destinationLine(destination);
    }
    drawing += "  sources (index name):\n";
    for (int source = from; source <= last && source <= sources(); ++source) {
        std::string sourceName;
        name(Side::source, source, sourceName);
        char number[16];
        std::snprintf(number, sizeof number, "  %4d ", source);
        drawing += number + sourceName + "\n";
    }
    return drawing;
}

}  // namespace zant::routers
