// Reads one value of a Windows profile (INI) file, with the semantics of
// GetPrivateProfileStringA, which it is on Windows. Elsewhere our own reader
// behaves the same for what device configuration files hold (the tests in
// tests/platform run one table on both):
//   - section and key names compare without regard to letter case;
//   - spaces and tabs around names (the caller's too, and inside a section's
//     brackets) and around values are trimmed;
//   - a value wrapped in matching quotes (' or ") loses them;
//   - lines starting with ';' are comments; a '[' line without ']' is no
//     section header; a header's name runs to the line's last ']';
//   - a line without '=' names a key without a value: if it is the key's
//     first line, the key reads as missing;
//   - the first matching section, and in it the first matching key, wins;
//   - lines end at LF, CR or any run of them (CRLF); a UTF-8 byte order
//     mark is skipped;
//   - a missing file, section or key gives `defaultValue` (null reads as
//     empty) without its trailing spaces and matching quotes;
//   - '\' in `path` is taken as '/', so Windows-style paths find the file.
// A null section or key gives the default here (Windows would list names).
// The value (or default) is cut to `size` - 1 characters and NUL-terminated;
// the result is the number of characters copied. Nothing is written when
// `size` is below 1.
#ifndef ZANT_PROFILE_H
#define ZANT_PROFILE_H

int zant_get_profile_string(const char* section, const char* key, const char* defaultValue,
                            char* buffer, int size, const char* path);

#endif  // ZANT_PROFILE_H
