// Reads a component's declaration of its parent messages (.zant_messages),
// so that the tools learn what a component takes from the component's folder
// and never from code of their own:
//
//   # a comment line; blank lines are skipped
//   NAME SHAPE DESCRIPTION...
//
// one message a line. NAME is the message exactly as the component compares
// it (no '='); SHAPE is what its value is, one of
//   source       an index into database 0 of the instance's router
//   destination  an index into database 1 of the instance's router
//   instance     an instance name of the installation
//   statesheet   a statesheet name
//   boolean      true or false
//   all          the word "all"
//   text         free text
//   none         no value: the message is sent as its bare name
// and the rest of the line is its one-line description. A host refuses the
// whole file at its first bad line, as it refuses a bad layout.
#ifndef HOSTING_MESSAGES_READER_H
#define HOSTING_MESSAGES_READER_H

#include <string>
#include <vector>

namespace zant::hosting {

enum class MessageShape { source, destination, instance, statesheet, boolean, all, text, none };

struct MessageDeclaration {
    std::string name;
    MessageShape shape = MessageShape::none;
    std::string description;
};

class MessagesReader {
public:
    // Where a host looks for the declaration of the component `library`: in
    // the component's `folder`, named after the library's file without its
    // extension and without the "lib" of a shared object
    // (libAlarmPanel.so, AlarmPanel.dll: AlarmPanel.zant_messages).
    static std::string pathFor(const std::string& folder, const std::string& library);

    // The messages of the file at `path`, in file order. On a fault returns
    // false with a one-line error naming the file and, for a bad line, the
    // line number; `messages` is then left unchanged.
    static bool load(const std::string& path, std::vector<MessageDeclaration>& messages,
                     std::string& error);
    // The same, reading the declaration from `content` (named `path` in errors).
    static bool parse(const std::string& path, const std::string& content,
                      std::vector<MessageDeclaration>& messages, std::string& error);
    // The declaration of the component `library` in its `folder`, read from
    // `path` (pathFor). A component need not declare its messages: without
    // the file, true with `messages` empty; a file that cannot be read or is
    // malformed is a fault, as for load.
    static bool loadFor(const std::string& folder, const std::string& library, std::string& path,
                        std::vector<MessageDeclaration>& messages, std::string& error);

    // The word that names `shape` in the file ("source", "boolean", ...).
    static const char* shapeName(MessageShape shape);
    // The shape that `word` names in the file; false when it names none.
    static bool shapeNamed(const std::string& word, MessageShape& shape);
    // What a usage line shows for a value of `shape` ("INDEX", "true|false",
    // "" for none).
    static const char* placeholder(MessageShape shape);
};

}  // namespace zant::hosting

#endif  // HOSTING_MESSAGES_READER_H
