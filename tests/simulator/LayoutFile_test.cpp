#include "simulator/LayoutFile.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct LayoutCase {
    const char* content;
    const char* error;  // "" when the layout loads
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << (*c.error == '\0' ? "loads" : c.error);
}

class Layouts : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, LoadOrFailWithFileAndLine) {
    Panel panel("1", "p.zant_ui");
    std::string error;
    const bool loaded = LayoutFile::parse("p.zant_ui", GetParam().content, panel, error);
    EXPECT_EQ(loaded ? std::string() : error, GetParam().error);
    if (!loaded) {
        EXPECT_TRUE(panel.controls().empty()) << "a failed load adds nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Layouts,
    testing::Values(
        LayoutCase{"# comment\n\nbutton Take\r\ntext Source text=none\nbox Background\n", ""},
        LayoutCase{"button Take\n\nslider Volume\n",
                   "p.zant_ui:3: unknown control kind 'slider' (known: button, text, box)"},
        LayoutCase{"button\n", "p.zant_ui:1: control of kind 'button' without a name"},
        LayoutCase{"text Source colour\n", "p.zant_ui:1: expected PROPERTY=VALUE, got 'colour'"},
        LayoutCase{"button Take\nbutton Take\n", "p.zant_ui:2: control 'Take' is defined twice"}),
    [](const testing::TestParamInfo<Layouts::ParamType>& info) {
        return std::to_string(info.index);
    });

TEST(Layouts, InitialPropertiesAndEnabledStateAreReadable) {
    Panel panel("1", "p.zant_ui");
    std::string error;
    ASSERT_TRUE(
        LayoutFile::parse("p.zant_ui", "text Source text=none\nbutton Take\n", panel, error));
    EXPECT_EQ(panel.property("Source", "text"), "none");
    EXPECT_EQ(panel.property("Take", "enabled"), "true");
    EXPECT_EQ(panel.allProperties("Source"), "enabled=true,text=none");
}

TEST(Layouts, MissingFileNamesTheFile) {
    Panel panel;
    std::string error;
    EXPECT_FALSE(LayoutFile::load("/no/such/dir/p.zant_ui", panel, error));
    EXPECT_EQ(error,
              "/no/such/dir/p.zant_ui: cannot open the layout file: No such file or directory");
}

TEST(Glob, MatchesStarsAndQuestionMarks) {
    EXPECT_TRUE(globMatch("*", "Take"));
    EXPECT_TRUE(globMatch("Undo*", "UndoSource"));
    EXPECT_TRUE(globMatch("*Dest", "UndoDest"));
    EXPECT_TRUE(globMatch("T?ke", "Take"));
    EXPECT_TRUE(globMatch("*o*e", "UndoSource"));
    EXPECT_FALSE(globMatch("Undo?", "Undo"));
    EXPECT_FALSE(globMatch("*Dest", "DestX"));
}

}  // namespace
