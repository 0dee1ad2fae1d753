// Splits a command text of the host language into its mnemonic and fields.
//
// A command is a two-letter mnemonic, then fields separated by single spaces;
// text fields are in single quotes and carry their text verbatim, without
// escaping, so a quote inside a value is not an end. Quoted fields are
// therefore cut only at the sequence quote, space, quote, and a command that
// knows how many fields it has takes the surplus into its free-text field.
#ifndef SIMULATOR_COMMAND_TEXT_H
#define SIMULATOR_COMMAND_TEXT_H

#include <string>
#include <vector>

namespace zant::simulator {

class CommandText {
public:
    explicit CommandText(std::string text);

    const std::string& text() const { return text_; }
    // The first two characters ("" when the text is shorter).
    const std::string& mnemonic() const { return mnemonic_; }
    // What follows the mnemonic and one space.
    const std::string& rest() const { return rest_; }

    // The rest as quoted fields. With `count` > 0 exactly that many fields are
    // cut; the free-text field at `freeField` keeps every further separator.
    // False when the rest is not of the form 'a' 'b' ... .
    bool quotedFields(int count, int freeField, std::vector<std::string>& fields) const;
    // The rest as whitespace-separated integers; false when any is no integer.
    bool numbers(std::vector<int>& values) const;

private:
    std::string text_;
    std::string mnemonic_;
    std::string rest_;
};

// A strict decimal integer: optional '-', digits, within the int range.
bool parseInteger(const std::string& text, int& value);

}  // namespace zant::simulator

#endif  // SIMULATOR_COMMAND_TEXT_H
