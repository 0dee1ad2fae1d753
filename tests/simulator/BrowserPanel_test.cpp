#include "simulator/web/BrowserPanel.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>

#include "simulator/web/WebServer.h"

namespace zant::simulator {

namespace {

using nlohmann::json;

// Quorvex in the example installation, with the messages declared in
// `messagesFolder`.
SimulationConfig quorvex(const char* messagesFolder) {
    SimulationConfig config;
    config.library = PANEL_HOST_LIBRARY;
    config.componentPath = PANEL_HOST_COMPONENT_PATH;
    config.root = PANEL_HOST_EXAMPLES "/installation";
    config.system = "main";
    std::string error;
    if (!config.messages.load(messagesFolder, config.library, error)) {
        ADD_FAILURE() << error;
    }
    return config;
}

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

    std::ostringstream out;
    Simulator simulator{quorvex(PANEL_HOST_COMPONENT_PATH), out};
    BrowserPanel panel{simulator, false};
};

struct RequestCase {
    const char* request;
    int status;
    const char* error;  // part of the answer's error, "" when it succeeds
};

void PrintTo(const RequestCase& c, std::ostream* out) {
    *out << std::string(c.request).substr(0, 80);
}

// A takeHigh of 70,000 characters: more than a page may send.
const std::string& oversized() {
    static const std::string request =
        json{{"do", "message"}, {"name", "takeHigh"}, {"value", std::string(70000, 'x')}}.dump();
    return request;
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
        RequestCase{R"({"do":"message","name":"Instance","value":"x"})", 404,
                    "the component has no message \"Instance\""},
        RequestCase{R"({"do":"message","name":"takeDouble","value":"FALSE"})", 200, ""},
        RequestCase{R"({"do":"message","name":"instance","value":"../../etc"})", 404,
                    "instance=../../etc: the installation has no instance"},
        RequestCase{R"({"do":"message","name":"undoDouble","value":"yes"})", 400,
                    "undoDouble=yes: the value is true or false"},
        RequestCase{R"({"do":"message","name":"return","value":"ALL"})", 400,
                    "return=ALL: the only value is all"},
        RequestCase{R"({"do":"message","name":"sourceID","value":"three"})", 400,
                    "sourceID=three: an index is a whole number"},
        RequestCase{R"({"do":"message","name":"takeHigh","value":"a\nb"})", 400,
                    "control character"},
        RequestCase{R"({"do":"message","name":"sourceID"})", 400, "malformed request"},
        RequestCase{R"({"do":"press","control":"Source"})", 404, "no button \"Source\""},
        RequestCase{R"({"do":"press","control":"Volume"})", 404, "no button \"Volume\""},
        RequestCase{R"({"do":"wait","ms":0})", 400,
                    "bad value in step \"wait 0ms\": a duration lies in 1ms..3600s"},
        RequestCase{R"({"do":"wait","ms":"1000"})", 400, "a wait takes"},
        RequestCase{R"({"do":"route","device":12,"source":0,"destination":3})", 400,
                    "source and destination indices start at 1"},
        RequestCase{R"({"do":"route","device":7,"source":1,"destination":1})", 422,
                    "the installation has no device 7"},
        RequestCase{R"({"do":"realtime","on":"yes"})", 400, "realtime takes"},
        RequestCase{oversized().c_str(), 413, "larger than 64 KiB"}));

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

// The page builds the parent panel from the declared messages; without a
// declaration it offers a free-form message, sent as typed.
TEST_F(BrowserPanelTest, StateCarriesTheDeclaredMessagesWithTheirShapes) {
    const json messages = json::parse(panel.state())["messages"];
    ASSERT_EQ(messages.size(), 11u);
    EXPECT_EQ(messages[1], (json{{"name", "sourceID"},
                                 {"shape", "source"},
                                 {"description",
                                  "select source INDEX, named in Source; below 1 "
                                  "empties it, no Take"}}));
}

TEST(BrowserPanelUndeclared, AnyMessageGoesAsTypedAndNoneIsOffered) {
    // A folder without a declaration of Quorvex's messages.
    const SimulationConfig config = quorvex(PANEL_HOST_EXAMPLES);
    std::ostringstream out;
    Simulator simulator(config, out);
    std::string error;
    ASSERT_TRUE(simulator.start(error)) << error;
    BrowserPanel panel(simulator, false);
    EXPECT_EQ(json::parse(panel.state())["messages"], json::array());
    const std::pair<json, int> cases[] = {
        {{{"do", "message"}, {"name", "raise"}, {"value", "2"}}, 200},
        {{{"do", "message"}, {"name", "active"}, {"value", ""}}, 200},
        {{{"do", "message"}, {"name", "a=b"}, {"value", "2"}}, 400},
        {{{"do", "message"}, {"name", ""}, {"value", "2"}}, 400},
    };
    for (const auto& c : cases) EXPECT_EQ(panel.handle(c.first.dump()).status, c.second) << c.first;
    EXPECT_NE(out.str().find("parent message \"raise=2\""), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("parent message \"active\""), std::string::npos) << out.str();
}

std::atomic<bool> stopServing{false};

bool servingStopped() {
    return stopServing;
}

TEST(WebServer, ABusyPortIsRefusedNamingThePort) {
    WebServer first;
    std::string error;
    ASSERT_TRUE(first.bind(0, error)) << error;
    WebServer second;
    EXPECT_FALSE(second.bind(first.port(), error));
    EXPECT_EQ(error, "--serve: port " + std::to_string(first.port()) + " is in use");
}

// What the HTTP library refuses before a handler sees it is answered with a
// reason in JSON and traced, as every other refusal.
TEST_F(BrowserPanelTest, RequestsRefusedByTheServerItselfAreAnsweredAndTraced) {
    WebServer server;
    std::string error;
    ASSERT_TRUE(server.bind(0, error)) << error;
    struct Answer {
        int status = 0;
        std::string body;
    } answers[2];
    stopServing = false;
    std::thread page([&] {
        httplib::Client client("127.0.0.1", server.port());
        const auto keep = [](const httplib::Result& result, Answer& answer) {
            if (!result) return;
            answer.status = result->status;
            answer.body = result->body;
        };
        keep(client.Post("/api/step", oversized(), "application/json"), answers[0]);
        keep(client.Post("/api/step", "{}", "text/plain"), answers[1]);
        stopServing = true;
    });
    server.serve(panel, simulator, servingStopped);
    page.join();
    const struct {
        int status;
        const char* error;
    } expected[] = {{413, "the request is larger than 64 KiB"},
                    {415, "a request is sent as application/json"}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(answers[i].status, expected[i].status);
        const json body = json::parse(answers[i].body, nullptr, false);
        ASSERT_TRUE(body.is_object()) << answers[i].body;
        EXPECT_EQ(body.value("error", ""), expected[i].error) << answers[i].body;
        EXPECT_NE(out.str().find(std::string("error: browser: ") + expected[i].error),
                  std::string::npos)
            << out.str();
    }
}

}  // namespace

}  // namespace zant::simulator
