// Reading a decimal number the way the string library's `toInt` does, for
// texts that are not (yet) a zant_string: host replies and values read from
// device files.
#ifndef ZANT_DECIMAL_H
#define ZANT_DECIMAL_H

// An optional sign and the decimal digits that follow, from the start of the
// NUL-terminated `text`; 0 when it does not start with them (null included).
// Values beyond the int range are clamped to it. No white space is skipped.
int zant_decimal(const char* text);

#endif  // ZANT_DECIMAL_H
