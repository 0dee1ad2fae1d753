#include "simulator/web/BrowserPanel.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

using nlohmann::json;

class BrowserPanelTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(simulator.start(error)) << error;
    }

    BrowserPanel::Answer send(const json& request) { return panel.handle(request.dump()); }
    json control(const std::string& name) {
        const json state = json::parse(panel.state());
        for (const json& each : state["panels"][0]["controls"]) {
            if (each["name"] == name) return each;
        }
        return json();
    }

    static SimulationConfig config() {
        SimulationConfig config;
        config.library = PANEL_HOST_LIBRARY;
        config.componentPath = PANEL_HOST_COMPONENT_PATH;
        config.root = PANEL_HOST_EXAMPLES "/installation";
        config.system = "main";
        return config;
    }

    std::ostringstream out;
    Simulator simulator{config(), out};
    BrowserPanel panel{simulator, false};
};

struct RequestCase {
    const char* request;
    int status;
    const char* error;  // part of the answer's error, "" when it succeeds
};

void PrintTo(const RequestCase& c, std::ostream* out) {
    *out << c.request;
}

class Requests : public BrowserPanelTest, public testing::WithParamInterface<RequestCase> {};

TEST_P(Requests, BecomeStepsOrAreRefusedWithAReasonInTheAnswerAndTheTrace) {
    const RequestCase& c = GetParam();
    const BrowserPanel::Answer answer = panel.handle(c.request);
    EXPECT_EQ(answer.status, c.status) << answer.body;
    const json body = json::parse(answer.body);
    EXPECT_EQ(body["ok"], c.status == 200);
    if (c.status == 200) return;
    EXPECT_NE(body["error"].get<std::string>().find(c.error), std::string::npos) << answer.body;
    const std::string trace = out.str();
    const size_t line = trace.rfind("\nerror: browser: ");
    ASSERT_NE(line, std::string::npos) << trace;
    EXPECT_NE(trace.find(c.error, line), std::string::npos) << trace;
}

INSTANTIATE_TEST_SUITE_P(
    BrowserPanel, Requests,
    testing::Values(
        RequestCase{R"({"do":"message","name":"instance","value":"studioA"})", 200, ""},
        RequestCase{R"({"do":"message","name":"_events","value":""})", 200, ""},
        RequestCase{R"({"do":"press","control":"Deselect"})", 200, ""},
        RequestCase{R"({"do":"wait","ms":1500})", 200, ""},
        RequestCase{R"({"do":"route","device":12,"source":2,"destination":3})", 200, ""},
        RequestCase{R"({"do":"realtime","on":true})", 200, ""},
        RequestCase{"{\"do\":", 400, "malformed request"},
        RequestCase{"[1,2]", 400, "malformed request"},
        RequestCase{R"({"run":"ls"})", 400, "malformed request"},
        RequestCase{R"({"do":"shell","command":"ls"})", 400, "unknown request \"shell\""},
        RequestCase{R"({"do":"message","name":"Instance","value":"x"})", 400,
                    "the component has no message \"Instance\""},
        RequestCase{R"({"do":"message","name":"takeDouble","value":"FALSE"})", 200, ""},
        RequestCase{R"({"do":"message","name":"instance","value":"../../etc"})", 400,
                    "instance=../../etc: the installation has no such instance"},
        RequestCase{R"({"do":"message","name":"undoDouble","value":"yes"})", 400,
                    "undoDouble=yes: the value is true or false"},
        RequestCase{R"({"do":"message","name":"return","value":"ALL"})", 400,
                    "return=ALL: the only value is all"},
        RequestCase{R"({"do":"message","name":"sourceID","value":"three"})", 400,
                    "sourceID=three: an index is a whole number"},
        RequestCase{R"({"do":"message","name":"takeHigh","value":"a\nb"})", 400,
                    "control character"},
        RequestCase{R"({"do":"message","name":"sourceID"})", 400, "malformed request"},
        RequestCase{R"({"do":"press","control":"Source"})", 400, "no button \"Source\""},
        RequestCase{R"({"do":"press","control":"Volume"})", 400, "no button \"Volume\""},
        RequestCase{R"({"do":"wait","ms":0})", 400, "a wait takes"},
        RequestCase{R"({"do":"wait","ms":"1000"})", 400, "a wait takes"},
        RequestCase{R"({"do":"route","device":12,"source":0,"destination":3})", 400,
                    "numbers of 1 or more"},
        RequestCase{R"({"do":"route","device":7,"source":1,"destination":1})", 422,
                    "the installation has no device 7"},
        RequestCase{R"({"do":"realtime","on":"yes"})", 400, "realtime takes"}));

TEST_F(BrowserPanelTest, StateShowsTheArmedTakeAndTheWaitingFirstPush) {
    for (const json& request : {
             json{{"do", "message"}, {"name", "instance"}, {"value", "studioA"}},
             json{{"do", "message"}, {"name", "sourceID"}, {"value", "3"}},
             json{{"do", "message"}, {"name", "destID"}, {"value", "3"}},
         }) {
        ASSERT_EQ(send(request).status, 200) << request;
    }
    const json state = json::parse(panel.state());
    EXPECT_EQ(state["parent"]["instance"], "studioA");
    EXPECT_EQ(state["parent"]["destID"], "3");
    EXPECT_EQ(control("Take")["enabled"], true);
    EXPECT_EQ(control("Source")["properties"]["text"], "CAM 3 Jib");

    const uint64_t before = panel.events();
    ASSERT_EQ(send({{"do", "press"}, {"control", "Take"}}).status, 200);
    EXPECT_GT(panel.events(), before);
    EXPECT_EQ(control("Take")["waitsForSecond"], true);
    ASSERT_EQ(send({{"do", "press"}, {"control", "Take"}}).status, 200);
    EXPECT_EQ(control("Take")["waitsForSecond"], false);
    EXPECT_EQ(json::parse(panel.state())["routers"][1]["destinations"][2]["source"], 3);
}

}  // namespace
