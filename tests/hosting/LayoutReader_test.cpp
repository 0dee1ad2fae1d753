#include "hosting/LayoutReader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "hosting/FileArgument.h"

namespace {

using zant::hosting::FileArgument;
using zant::hosting::LayoutControl;
using zant::hosting::LayoutReader;

struct LayoutCase {
    const char* content;
    const char* error;  // "" when the layout loads
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << (*c.error == '\0' ? "loads" : c.error);
}

class Layouts : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, LoadOrFailWithFileAndLine) {
    std::vector<LayoutControl> controls;
    std::string error;
    const bool loaded = LayoutReader::parse("p.zant_ui", GetParam().content, controls, error);
    EXPECT_EQ(loaded ? std::string() : error, GetParam().error);
    if (!loaded) {
        EXPECT_TRUE(controls.empty()) << "a failed load adds nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Layouts,
    testing::Values(
        LayoutCase{"# comment\n\nbutton Take\r\ntext Source text=none\nbox Background\n", ""},
        LayoutCase{"button Take\n\nslider Volume\n",
                   "p.zant_ui:3: unknown control kind 'slider' (known: button, text, box)"},
        LayoutCase{"bogus Stat\n",
                   "p.zant_ui:1: unknown control kind 'bogus' (known: button, text, box)"},
        LayoutCase{"button\n", "p.zant_ui:1: control of kind 'button' without a name"},
        LayoutCase{"text Source colour\n", "p.zant_ui:1: expected PROPERTY=VALUE, got 'colour'"},
        LayoutCase{"button Take\nbutton Take\n", "p.zant_ui:2: control 'Take' is defined twice"}),
    [](const testing::TestParamInfo<Layouts::ParamType>& info) {
        return std::to_string(info.index);
    });

TEST(Layouts, ControlsKeepFileOrderKindAndProperties) {
    std::vector<LayoutControl> controls;
    std::string error;
    ASSERT_TRUE(LayoutReader::parse("p.zant_ui", "text Source text=none a=b=c\nbutton Take\n",
                                    controls, error));
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0].kind + " " + controls[0].name, "text Source");
    EXPECT_EQ(controls[0].properties.at("text"), "none");
    EXPECT_EQ(controls[0].properties.at("a"), "b=c");
    EXPECT_EQ(controls[1].name, "Take");
}

TEST(Layouts, MissingFileNamesTheFile) {
    std::vector<LayoutControl> controls;
    std::string error;
    EXPECT_FALSE(LayoutReader::load("/no/such/dir/p.zant_ui", controls, error));
    EXPECT_EQ(error,
              "/no/such/dir/p.zant_ui: cannot open the layout file: No such file or directory");
}

TEST(FileArguments, ABareNameIsAFileInTheWorkingFolder) {
    const std::string here = FileArgument::resolve("libX.so");
    EXPECT_NE(here, "libX.so");
    EXPECT_EQ(FileArgument::folderOf(here), ".");
    EXPECT_EQ(FileArgument::resolve("lib/libX.so"), "lib/libX.so");
    EXPECT_EQ(FileArgument::folderOf("lib/libX.so"), "lib");
    EXPECT_EQ(FileArgument::resolve("/abs/libX.so"), "/abs/libX.so");
}

}  // namespace
