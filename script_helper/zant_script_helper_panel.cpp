// Panel and control commands: the texts that set and read control properties,
// enable and disable controls, load layouts, notify the parent panel, list
// controls and look up instances.
#include "platform/zant_debug_output.h"
#include "script_helper/decodeZANTString.h"
#include "script_helper/zant_script_helper.h"

#include <cstdlib>

namespace {

// Appends "'" + text + "'" to `command`, preceded by a space.
void appendQuoted(zant_string& command, const zant_string& text) {
    command += " '";
    command += text;
    command += '\'';
}

int lengthOf(std::initializer_list<const zant_string*> texts) {
    int total = 0;
    for (const zant_string* text : texts) total += text->length();
    return total;
}

// "MN 'field1' 'field2' ...", built in one reserved text.
zant_string quotedCommand(const char* mnemonic, std::initializer_list<const zant_string*> fields) {
    zant_string command;
    command.reserve(4 + 3 * static_cast<int>(fields.size()) + lengthOf(fields));
    command += mnemonic;
    for (const zant_string* field : fields) appendQuoted(command, *field);
    return command;
}

}  // namespace

void zant_script_helper::textPut(const zant_string& property, const zant_string& value,
                                 const zant_string& panel, const zant_string& control) {
    if (host == nullptr) return;
    zant_string command;
    command.reserve(16 + lengthOf({&property, &value, &panel, &control}));
    command += "TP '";
    command += property;
    command += '=';
    command += value;
    command += '\'';
    appendQuoted(command, panel);
    appendQuoted(command, control);
    send(command);
}

void zant_script_helper::controlEnable(const zant_string& panel, const zant_string& control) {
    if (host == nullptr) return;
    send(quotedCommand("CE", {&panel, &control}));
}

void zant_script_helper::controlDisable(const zant_string& panel, const zant_string& control) {
    if (host == nullptr) return;
    send(quotedCommand("CD", {&panel, &control}));
}

void zant_script_helper::hostNotify(const zant_string& text) {
    if (host == nullptr) return;
    send(quotedCommand("HN", {&text}));
}

bool zant_script_helper::panelShow(const zant_string& panel, const zant_string& file,
                                   const zant_string& extra) {
    if (host == nullptr) return true;
    zant_string command;
    command.reserve(16 + lengthOf({&panel, &path, &file, &extra}));
    command += "PS";
    appendQuoted(command, panel);
    command += " '";
    if (!path.isEmpty()) {
        command += path;
        command += '/';
    }
    command += file;
    command += '\'';
    if (!extra.isEmpty()) appendQuoted(command, extra);
    // The reply is the host's to keep: tested, never handed back.
    return host->execute(command, zant_host::modeCommand) != nullptr;
}

void zant_script_helper::textGet(const zant_string& property, const zant_string& panel,
                                 const zant_string& control, zant_string& result) {
    if (host == nullptr) {
        result = "";
        return;
    }
    const zant_string command = quotedCommand("TG", {&panel, &control, &property});
    char* reply = host->execute(command, zant_host::modeCommand);
    if (reply == nullptr) {
        result = "";
        return;
    }
    const zant_string replyText(reply);
    host->execute(reply, zant_host::modeRelease);

    if (property == "all") {
        result = replyText;
        return;
    }
    zant_string name;
    zant_string value;
    replyText.split('=', name, value);
    if (name == property) {
        result = value;
        return;
    }
    debug(
        "textGet: value returned \"%1\" was not the value requested \"%2\" (value returned was "
        "\"%3\" from control \"%4\", on panel \"%5\")",
        name, property, replyText, control, panel);
    result = "";
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): by value, as the interface has it
bool zant_script_helper::instanceLookup(zant_string name, int* first, int* second) {
    if (first != nullptr) *first = 0;
    if (second != nullptr) *second = 0;
    if (host == nullptr) return false;
    const zant_string command = quotedCommand("SD", {&name});
    char* reply = host->execute(command, zant_host::modeCommand);
    if (reply == nullptr) return false;
    {
        const decodeZANTString words(reply, '\'');
        if (first != nullptr) *first = parseNumber(words.token[0]);
        if (second != nullptr) *second = parseNumber(words.token[1]);
    }
    host->execute(reply, zant_host::modeRelease);
    return true;
}

zant_stringlist zant_script_helper::controlList(const zant_string& panel,
                                                const zant_string& pattern) {
    if (host == nullptr) return zant_stringlist();
    const zant_string command = quotedCommand("XI", {&panel, &pattern});
    char* reply = host->execute(command, zant_host::modeCommand);
    if (reply == nullptr) return zant_stringlist();
    zant_stringlist ids(zant_string(reply), ',');
    host->execute(reply, zant_host::modeRelease);
    return ids;
}

void zant_script_helper::debug(const zant_string& format, const zant_string& a1,
                               const zant_string& a2, const zant_string& a3, const zant_string& a4,
                               const zant_string& a5, const zant_string& a6, const zant_string& a7,
                               const zant_string& a8, const zant_string& a9) {
    // One pass over the format: a "%n" inside an inserted text (a host reply,
    // say) stays as it is instead of being filled by a later argument.
    const zant_string* args[] = {&a1, &a2, &a3, &a4, &a5, &a6, &a7, &a8, &a9};
    zant_string text;
    for (const char* at = format; *at != '\0'; ++at) {
        if (at[0] == '%' && at[1] >= '1' && at[1] <= '9') {
            text += *args[at[1] - '1'];
            ++at;
        } else {
            text += *at;
        }
    }
    zant_debug_output(text);
}
