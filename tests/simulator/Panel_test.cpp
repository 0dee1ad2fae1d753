#include "simulator/Panel.h"

#include <gtest/gtest.h>

namespace zant::simulator {

namespace {

TEST(Panels, InitialPropertiesAndEnabledStateAreReadable) {
    Panel panel("1", "p.zant_ui");
    Panel::Control source;
    source.kind = "text";
    source.name = "Source";
    source.properties["text"] = "none";
    ASSERT_TRUE(panel.add(source));
    EXPECT_FALSE(panel.add(source)) << "a name is one control";
    EXPECT_EQ(panel.property("Source", "text"), "none");
    EXPECT_EQ(panel.property("Source", "enabled"), "true");
    EXPECT_EQ(panel.allProperties("Source"), "enabled=true,text=none");
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

}  // namespace zant::simulator
