// Device and timer commands, and the database size read from a device's
// configuration file.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "host/zant_decimal.h"
#include "platform/zant_profile.h"
#include "script_helper/zant_script_helper.h"

namespace {

// Large enough for any numeric command: "RR" with three ints of 11 characters
// and " 'ADD'" is 44 characters, so nothing is ever cut.
constexpr int numericCommandSize = 64;

// Windows' MAX_PATH: the longest path is 259 characters.
constexpr int maxPathLength = 259;

}  // namespace

int zant_script_helper::parseNumber(const char* text) {
    if (text == nullptr) return 0;
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    return zant_decimal(text);
}

void zant_script_helper::routerCrosspoint(int device, int source, int destination,
                                          const zant_string& extra, bool flag) {
    if (host == nullptr) return;
    char numbers[numericCommandSize];
    std::snprintf(numbers, sizeof numbers, "RC %d %d %d ',", device, source, destination);
    zant_string command;
    command.reserve(static_cast<int>(sizeof numbers) + extra.length());
    command += numbers;
    command += extra;
    command += flag ? "' 1" : "' 0";
    send(command);
}

void zant_script_helper::routerName(int device, int database, int index, zant_string& name) {
    if (host == nullptr) return;
    char command[numericCommandSize];
    std::snprintf(command, sizeof command, "RN %d %d %d", device, database, index);
    char* reply = host->execute(command, zant_host::modeCommand);
    if (reply != nullptr) name = reply;
    // Handed back even when null: the host must accept that.
    host->execute(reply, zant_host::modeRelease);
}

void zant_script_helper::routerPoll(int device, int first, int second) {
    char command[numericCommandSize];
    std::snprintf(command, sizeof command, "RP %d %d %d", device, first, second);
    send(command);
}

void zant_script_helper::routerRegister(int device, int first, int second, bool add) {
    char command[numericCommandSize];
    std::snprintf(command, sizeof command, add ? "RR %d %d %d 'ADD'" : "RR %d %d %d", device, first,
                  second);
    send(command);
}

void zant_script_helper::routerUnregister(int device) {
    char command[numericCommandSize];
    std::snprintf(command, sizeof command, "RU %d", device);
    send(command);
}

void zant_script_helper::timerStart(int timer, int interval) {
    char command[numericCommandSize];
    if (interval != 0) {
        std::snprintf(command, sizeof command, "ET %d %d", timer, interval);
    } else {
        std::snprintf(command, sizeof command, "ET %d", timer);
    }
    send(command);
}

void zant_script_helper::timerStop(int timer) {
    char command[numericCommandSize];
    std::snprintf(command, sizeof command, "ET %d", timer);
    send(command);
}

int zant_script_helper::databaseSize(int device, int database) {
    const char* root = std::getenv("KV_ROOT");
    const char* system = std::getenv("KV_SYSTEM");
    if (root == nullptr || system == nullptr) return 0;

    char key[256];
    char fileName[256];
    char fullPath[maxPathLength + 1];
    char value[256];
    std::snprintf(key, sizeof key, "DatabaseSize_%d", database);
    std::snprintf(fileName, sizeof fileName, "dev_%03d.ini", device);
    // A cut path could name another file: too long reads as no size.
    const int length = std::snprintf(fullPath, sizeof fullPath, "%s\\%s\\config\\system\\%s", root,
                                     system, fileName);
    if (length < 0 || length > maxPathLength) return 0;

    if (zant_get_profile_string("Database", key, "0", value, static_cast<int>(sizeof value),
                                fullPath) == 0) {
        return 0;
    }
    return parseNumber(value);
}
