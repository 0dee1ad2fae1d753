// What a well-formed command text from a component looks like: a known
// two-letter mnemonic, then its fields, each after exactly one space; numbers in
// plain signed decimal within the int range; text fields in single quotes.
//
// Text fields are inserted verbatim, so a field may itself hold quotes (a name
// from the host, a value from the parent panel). Where no field holds a quote
// the quotes must pair up exactly; otherwise the fixed parts around the free
// text are checked from both ends. Panel ids must be "1" and control ids and
// property names those of the take/undo sub-panel, or of the alarm controls.
#ifndef TESTS_RELIABILITY_COMMAND_SHAPE_H
#define TESTS_RELIABILITY_COMMAND_SHAPE_H

#include <string>

// Empty when `text` is well-formed, else why it is not.
std::string commandShapeError(const std::string& text);

#endif  // TESTS_RELIABILITY_COMMAND_SHAPE_H
