// The profile reader against the INI files in platform/fixtures. The same
// table runs on Linux (our reader) and under Wine (GetPrivateProfileStringA),
// so it pins our reader to what Windows does.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#if defined(_WIN32)
#include <direct.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

#include "platform/zant_profile.h"

namespace {

// An absolute path: given a bare or relative name, Windows looks in its own
// folder instead of the current one. The tests run in the tests/ folder.
std::string fixturePath(const char* file, char separator = '\\') {
    char folder[1024] = "";
    if (getcwd(folder, sizeof folder) == nullptr) return file;
    std::string path(folder);
    for (const char* part : {"platform", "fixtures", file}) {
        path += separator;
        path += part;
    }
    return path;
}

constexpr int bufferCapacity = 300;
constexpr char untouched = '#';

struct ProfileCase {
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    const char* defaultValue;
    int size;
    // The result is always the number of characters of `expected`.
    const char* expected;
};

const ProfileCase profileCases[] = {
    {"SectionAndKeyAsWritten", "case_of_names.ini", "DataBase", "DatabaseSize_1", "0", 256, "64"},
    {"SectionInOtherCase", "case_of_names.ini", "DATABASE", "DatabaseSize_1", "0", 256, "64"},
    {"KeyInOtherCase", "case_of_names.ini", "database", "databasesize_2", "0", 256, "32"},

    {"BlanksAroundNameAndValue", "spaces_and_tabs.ini", "Database", "DatabaseSize_1", "0", 256,
     "64"},
    {"BlanksInsideValueKept", "spaces_and_tabs.ini", "Database", "DatabaseSize_2", "0", 256,
     "two  words"},
    {"CallerNamesTrimmed", "spaces_and_tabs.ini", " Database\t", "\tDatabaseSize_1 ", "0", 256,
     "64"},
    {"BlanksInsideBracketsTrimmed", "spaces_and_tabs.ini", "Padded", "DatabaseSize_1", "0", 256,
     "16"},

    {"DoubleQuotesRemoved", "quotes.ini", "Quotes", "double", "", 256, "quoted value"},
    {"SingleQuotesRemoved", "quotes.ini", "Quotes", "single", "", 256, "quoted value"},
    {"MismatchedQuotesKept", "quotes.ini", "Quotes", "mismatched", "", 256, "\"value'"},
    {"LoneQuoteKept", "quotes.ini", "Quotes", "lone", "", 256, "\""},
    {"InnerQuotesKept", "quotes.ini", "Quotes", "inner", "", 256, "a \"b\" c"},
    {"UnterminatedQuoteKept", "quotes.ini", "Quotes", "unterminated", "", 256, "\"value"},
    {"BlanksInsideQuotesKept", "quotes.ini", "Quotes", "padded", "", 256, " spaced "},
    {"EmptyQuotedValue", "quotes.ini", "Quotes", "empty", "x", 256, ""},
    {"QuotedNumber", "quotes.ini", "Quotes", "number", "0", 256, "64"},

    {"CommentedKeyIgnored", "comments.ini", "Database", "DatabaseSize_1", "0", 256, "64"},
    {"IndentedCommentIgnored", "comments.ini", "Database", "DatabaseSize_2", "0", 256, "32"},
    {"HashStartsNoComment", "comments.ini", "Database", "#DatabaseSize_3", "0", 256, "12"},

    {"CrlfValue", "crlf.ini", "Database", "DatabaseSize_1", "0", 256, "64"},
    {"CrlfEmptyValue", "crlf.ini", "Database", "DatabaseSize_2", "0", 256, ""},
    {"CrlfQuotedValue", "crlf.ini", "Database", "Name", "", 256, "quoted"},
    {"CrlfSectionEnds", "crlf.ini", "Next", "DatabaseSize_1", "0", 256, "5"},
    {"LoneCrValue", "cr.ini", "Database", "DatabaseSize_1", "0", 256, "64"},
    {"LoneCrEmptyValue", "cr.ini", "Database", "DatabaseSize_2", "0", 256, ""},
    {"LoneCrQuotedValue", "cr.ini", "Database", "Name", "", 256, "quoted"},
    {"LoneCrSectionEnds", "cr.ini", "Next", "DatabaseSize_1", "0", 256, "5"},
    {"LfCrIsOneLineEnd", "cr.ini", "Next", "DatabaseSize_2", "0", 256, "7"},

    {"FirstOfDuplicateKeys", "duplicate_keys.ini", "Database", "DatabaseSize_1", "0", 256, "64"},
    {"FirstOfDuplicateSections", "duplicate_sections.ini", "database", "DatabaseSize_1", "0", 256,
     "64"},
    {"HeaderWithoutBracketIsNoSection", "section_headers.ini", "Broken", "DatabaseSize_2", "0", 256,
     "0"},
    {"LineAfterBrokenHeaderStaysInSection", "section_headers.ini", "Database", "DatabaseSize_2",
     "0", 256, "32"},
    {"TextAfterHeaderIgnored", "section_headers.ini", "Routers", "DatabaseSize_1", "0", 256, "16"},

    {"EmptyValueIsNoDefault", "empty_value.ini", "Database", "DatabaseSize_1", "0", 256, ""},
    {"BlankValueIsEmpty", "empty_value.ini", "Database", "DatabaseSize_2", "0", 256, ""},
    {"NameWithoutEqualsIsNoKey", "empty_value.ini", "Database", "DatabaseSize_3", "0", 256, "0"},

    {"TrailingTextKept", "value_with_trailing_text.ini", "Database", "DatabaseSize_1", "0", 256,
     "64 ; destinations"},
    {"GluedTextKept", "value_with_trailing_text.ini", "Database", "DatabaseSize_2", "0", 256,
     "64destinations"},

    {"LineWithoutEqualsSkipped", "line_without_equals.ini", "Database", "DatabaseSize_3", "0", 256,
     "32"},
    {"BlankInsteadOfEquals", "line_without_equals.ini", "Database", "DatabaseSize_2", "0", 256,
     "0"},
    {"FirstLineWithoutEqualsHidesKey", "line_without_equals.ini", "Database", "DatabaseSize_1", "0",
     256, "0"},

    {"ByteOrderMarkSkipped", "utf8_bom.ini", "Database", "DatabaseSize_1", "0", 256, "64"},

    {"MissingFile", "no_such_file.ini", "Database", "DatabaseSize_1", "0", 256, "0"},
    {"MissingSection", "case_of_names.ini", "Routers", "DatabaseSize_1", "0", 256, "0"},
    {"MissingKey", "case_of_names.ini", "Database", "DatabaseSize_9", "0", 256, "0"},
    {"NullDefaultIsEmpty", "case_of_names.ini", "Database", "DatabaseSize_9", nullptr, 256, ""},
    {"DefaultLosesTrailingSpaces", "case_of_names.ini", "Database", "DatabaseSize_9", "12  ", 256,
     "12"},
    {"DefaultLosesQuotes", "case_of_names.ini", "Database", "DatabaseSize_9", "\"12\"", 256, "12"},
    {"MissingFileDefaultLosesQuotes", "no_such_file.ini", "Database", "DatabaseSize_1", "'12' ",
     256, "12"},

    {"ValueFitsExactly", "long_value.ini", "Database", "Name", "", 11, "0123456789"},
    {"ValueCutToSizeMinusOne", "long_value.ini", "Database", "Name", "", 10, "012345678"},
    {"ValueCutShort", "long_value.ini", "Database", "Name", "", 4, "012"},
    {"SizeOneGivesEmptyText", "long_value.ini", "Database", "Name", "", 1, ""},
    {"DefaultCutToSizeMinusOne", "long_value.ini", "Database", "Missing", "abcdef", 4, "abc"},
};

void PrintTo(const ProfileCase& c, std::ostream* out) {
    *out << c.file << " [" << c.section << "] " << c.key << " size " << c.size;
}

class ProfileReader : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileReader, ReadsWhatWindowsReads) {
    const ProfileCase& c = GetParam();
    ASSERT_LE(c.size, bufferCapacity);
    char buffer[bufferCapacity];
    std::memset(buffer, untouched, sizeof buffer);

    const int count = zant_get_profile_string(c.section, c.key, c.defaultValue, buffer, c.size,
                                              fixturePath(c.file).c_str());

    ASSERT_NE(nullptr, std::memchr(buffer, '\0', c.size)) << "not terminated inside the buffer";
    EXPECT_STREQ(c.expected, buffer);
    EXPECT_EQ(static_cast<int>(std::strlen(c.expected)), count);
    for (int i = c.size; i < bufferCapacity; ++i) {
        ASSERT_EQ(untouched, buffer[i]) << "written past the buffer at " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ProfileReader, ::testing::ValuesIn(profileCases),
                         [](const ::testing::TestParamInfo<ProfileCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ProfileReaderPath, FindsTheFileWithEitherSeparator) {
    for (char separator : {'\\', '/'}) {
        char buffer[16] = "";
        const std::string path = fixturePath("case_of_names.ini", separator);
        EXPECT_EQ(2, zant_get_profile_string("Database", "DatabaseSize_1", "0", buffer,
                                             sizeof buffer, path.c_str()))
            << path;
        EXPECT_STREQ("64", buffer) << path;
    }
}

TEST(ProfileReaderBuffer, NothingIsWrittenWithoutRoom) {
    char buffer[4] = {untouched, untouched, untouched, untouched};
    const std::string path = fixturePath("case_of_names.ini");
    EXPECT_EQ(0,
              zant_get_profile_string("Database", "DatabaseSize_1", "0", buffer, 0, path.c_str()));
    EXPECT_EQ(0,
              zant_get_profile_string("Database", "DatabaseSize_1", "0", buffer, -1, path.c_str()));
    EXPECT_EQ(0,
              zant_get_profile_string("Database", "DatabaseSize_1", "0", nullptr, 4, path.c_str()));
    for (char c : buffer) EXPECT_EQ(untouched, c);
}

// Git could turn the CRLF fixture into an LF one on checkout (see
// .gitattributes); the CRLF cases would then test nothing.
TEST(ProfileReaderFixtures, CrlfFixtureKeepsItsLineEnds) {
    std::FILE* file = std::fopen(fixturePath("crlf.ini", '/').c_str(), "rb");
    ASSERT_NE(nullptr, file);
    char bytes[32] = "";
    const size_t read = std::fread(bytes, 1, sizeof bytes - 1, file);
    std::fclose(file);
    EXPECT_NE(nullptr, std::strstr(std::string(bytes, read).c_str(), "]\r\n"));
}

}  // namespace
