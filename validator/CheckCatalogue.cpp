#include "validator/CheckCatalogue.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/DebugOutputTap.h"
#include "validator/HeapMeter.h"
#include "validator/MessageValues.h"
#include "validator/NotifyDriver.h"
#include "validator/ScriptMaker.h"
#include "validator/ScriptedRun.h"

namespace zant::validate {

namespace {

// Heap growth per measured stretch that counts as a leak; growth must show
// in both stretches, so a cache filling once does not count.
constexpr long long leakBytes = 512;

const std::set<Rule> everyRule = {Rule::command, Rule::handBack, Rule::afterAS, Rule::result,
                                  Rule::reply,   Rule::threw,    Rule::freed};

PlayConfig configured(const CheckContext& context, Replies replies) {
    PlayConfig config;
    config.replies = replies;
    config.layout = context.settings.layout;
    config.componentPath = context.settings.componentPath;
    config.echoDebugOutput = context.settings.verbose;
    return config;
}

// Fills `report` with the verdict of a piece run in a child process. A
// crash or a hang belongs to the check of the situation it happened in
// (CheckCatalogue), so here it leaves the check not run; a body that could
// not measure reports "not run: WHY".
bool isolated(const CheckContext& context, CheckReport& report,
              const std::function<bool(std::string& report)>& body) {
    const Outcome outcome = context.isolation.run(body);
    const std::string summary = outcome.summary();
    const std::string notRun = "not run: ";
    if (outcome.passed()) {
        report.summary = summary;
    } else if (outcome.status != Outcome::Status::failed) {
        report.notRun(summary + " in a situation another check owns");
    } else if (summary.compare(0, notRun.size(), notRun) == 0) {
        report.notRun(summary.substr(notRun.size()));
    } else {
        report.fail(summary);
    }
    if (report.verdict == CheckReport::Verdict::failed) report.commands = context.board.commands();
    return report.passed();
}

void exportCheck(const CheckContext& context, CheckReport& report) {
    isolated(context, report, [&](std::string& out) {
        context.board.reset();
        ValidatorHost host(Replies::plausible, context.settings.layout, &context.board);
        zant_client_callback* withHost =
            context.entry(&host, context.settings.componentPath.c_str());
        if (withHost == nullptr) {
            out = "the export returned null for a host";
            return false;
        }
        zant_destroy_client(withHost);
        zant_client_callback* hostless = context.entry(nullptr, nullptr);
        if (hostless == nullptr) {
            out = "the export returned null for a null host";
            return false;
        }
        {
            NotifyDriver driver(hostless, nullptr);
            driver.message("_commands");
            driver.tick(1);
        }
        zant_destroy_client(hostless);
        out = "an object with a host and with a null host";
        return true;
    });
}

void lifecycleCheck(const CheckContext& context, CheckReport& report) {
    for (Replies replies : {Replies::plausible, Replies::none}) {
        PlayConfig config = configured(context, replies);
        config.lifecycleRules = {Rule::command};
        if (!ScriptedRun(context, config, true).run({{}}, report)) return;
    }
    report.summary = "construction and destruction send well-formed commands";
}

void pressesCheck(const CheckContext& context, CheckReport& report) {
    PlayConfig config = configured(context, Replies::plausible);
    config.notifyRules = {Rule::command, Rule::threw};
    if (ScriptedRun(context, config, true).run({context.profile.tour()}, report)) {
        report.summary = context.profile.exercised();
        if (!DebugOutputTap::readable()) report.summary += " (a throwing handler is not seen here)";
    }
}

void detachCheck(const CheckContext& context, CheckReport& report) {
    PlayConfig config = configured(context, Replies::plausible);
    config.lifecycleRules = {Rule::afterAS};
    config.notifyRules = {Rule::afterAS};
    if (ScriptedRun(context, config, false).run({{}, context.profile.tour()}, report)) {
        report.summary = "nothing sent after \"AS\"";
    }
}

void handBackCheck(const CheckContext& context, CheckReport& report) {
    PlayConfig config = configured(context, Replies::everything);
    config.lifecycleRules = {Rule::handBack, Rule::freed};
    config.notifyRules = {Rule::handBack, Rule::freed};
    std::vector<std::vector<Step>> scripts = {context.profile.tour()};
    for (int i = 0; i < context.iterations(); ++i) {
        ScriptMaker maker(context.profile, context.settings.seed + static_cast<uint32_t>(i));
        scripts.push_back(maker.random(context.randomLength()));
    }
    if (ScriptedRun(context, config, false).run(scripts, report)) {
        report.summary = "replies of \"TG\", \"SD\", \"XI\", \"RN\" back once; \"PS\" kept; over " +
                         std::to_string(scripts.size()) + " sequences";
    }
}

void edgeCheck(const CheckContext& context, CheckReport& report) {
    ScriptMaker maker(context.profile, context.settings.seed);
    const std::vector<Step> edges = maker.edges();
    for (bool nullHost : {false, true}) {
        PlayConfig config = configured(context, Replies::plausible);
        config.nullHost = nullHost;
        config.notifyRules = {Rule::result, Rule::threw};
        if (!ScriptedRun(context, config, true).run({edges}, report)) return;
    }
    report.summary = std::to_string(edges.size()) + " edge notifications, with and without a host";
}

void kind3Check(const CheckContext& context, CheckReport& report) {
    std::vector<Step> steps = {Step::message("_events"), Step::message("_commands")};
    for (const auto& [name, shape] : context.profile.messages) {
        steps.push_back(Step::message(name));
        steps.push_back(Step::message(MessageValues::ordinary(name, shape)));
    }
    PlayConfig config = configured(context, Replies::plausible);
    config.notifyRules = {Rule::reply};
    config.inspectReplies = true;
    if (ScriptedRun(context, config, false).run({steps}, report)) {
        report.summary = HeapMeter::exact()
                             ? "replies are texts that kind 5 frees"
                             : "replies are texts (whether kind 5 frees them cannot be seen here)";
    }
}

// Empty when `reply` is a list of items separated by single line feeds.
std::string listError(const std::string& reply) {
    if (reply.find('\r') != std::string::npos) return "holds a carriage return";
    if (reply.front() == '\n' || reply.back() == '\n') return "starts or ends with a line feed";
    if (reply.find("\n\n") != std::string::npos) return "holds an empty item";
    for (const std::string& item : ComponentProfile::listItems(reply)) {
        if (item.front() == ' ' || item.back() == ' ')
            return "item \"" + item + "\" has spaces around it";
    }
    return {};
}

void listsCheck(const CheckContext& context, CheckReport& report) {
    isolated(context, report, [&](std::string& out) {
        context.board.reset();
        ValidatorHost host(Replies::plausible, context.settings.layout, &context.board);
        zant_client_callback* component = context.entry(&host, "");
        if (component == nullptr) {
            out = "the export returned null";
            return false;
        }
        bool good = true;
        size_t events = 0;
        size_t messages = 0;
        {
            NotifyDriver driver(component, &host);
            const std::pair<const char*, size_t*> lists[] = {{"_events", &events},
                                                             {"_commands", &messages}};
            for (const auto& [list, count] : lists) {
                const std::string reply = driver.message(list);
                *count = ComponentProfile::listItems(reply).size();
                const std::string error = reply.empty() ? std::string() : listError(reply);
                if (!error.empty() && good) {
                    out = std::string("the reply to \"") + list + "\" " + error;
                    good = false;
                }
            }
        }
        zant_destroy_client(component);
        if (good) {
            out = std::to_string(messages) + " messages, " + std::to_string(events) +
                  " events listed";
        }
        return good;
    });
}

void messagesCheck(const CheckContext& context, CheckReport& report) {
    ScriptMaker maker(context.profile, context.settings.seed);
    PlayConfig config = configured(context, Replies::plausible);
    config.notifyRules = {Rule::command, Rule::threw};
    const std::vector<Step> steps = maker.messages();
    if (ScriptedRun(context, config, true).run({steps}, report)) {
        report.summary = std::to_string(context.profile.messages.size()) + " messages, " +
                         std::to_string(steps.size()) + " values";
    }
}

void randomCheck(const CheckContext& context, CheckReport& report) {
    PlayConfig config = configured(context, Replies::fuzzed);
    config.notifyRules = {Rule::command, Rule::result, Rule::threw};
    std::vector<std::vector<Step>> scripts;
    for (int i = 0; i < context.iterations(); ++i) {
        ScriptMaker maker(context.profile,
                          context.settings.seed + 1000u + static_cast<uint32_t>(i));
        scripts.push_back(maker.random(context.randomLength()));
    }
    if (ScriptedRun(context, config, true).run(scripts, report)) {
        report.summary = std::to_string(scripts.size()) + " sequences of " +
                         std::to_string(context.randomLength()) + " against fuzzed replies";
    }
}

// The component's heap use after each stretch, less what the host holds and
// what kind 5 failed to free (that is the kind-3 check's).
struct Growth {
    long long first = 0;
    long long second = 0;
    bool leaks() const { return first > leakBytes && second > leakBytes; }
};

void heapCheck(const CheckContext& context, CheckReport& report) {
    if (HeapMeter::inUse() < 0) {
        // The build's limit, not the component's: left out as --skip would.
        report.skip("the heap cannot be measured in this build");
        return;
    }
    const int cycles = 20 * context.settings.strictness;
    const size_t length = 500 * static_cast<size_t>(context.settings.strictness);
    isolated(context, report, [&](std::string& out) {
        PlayConfig config = configured(context, Replies::plausible);
        // Replies kind 5 keeps are the kind-3 check's: counted, then left out.
        config.inspectReplies = true;
        // A figure counts only from runs in which every other rule held: a
        // reply kept or a control the layout lacks is its own check's fault.
        config.lifecycleRules = everyRule;
        config.notifyRules = everyRule;
        const auto brokeARule = [&](const PlayResult& played) {
            if (played.failed)
                out = "not run: the runs broke a rule another check owns: " + played.what;
            return played.failed;
        };
        const std::vector<Step> tour = context.profile.tour();
        long long marks[3] = {0, 0, 0};
        long long unfreed = 0;
        for (int stretch = 0; stretch < 3; ++stretch) {
            for (int cycle = 0; cycle < cycles; ++cycle) {
                const PlayResult played = Player(context.entry, config, context.board).play(tour);
                if (brokeARule(played)) return false;
                unfreed += played.unfreedReplyBytes;
            }
            marks[stretch] = HeapMeter::inUse() - unfreed;
        }
        const Growth cyclesGrowth{marks[1] - marks[0], marks[2] - marks[1]};
        if (cyclesGrowth.leaks()) {
            out = "the heap grew by " + std::to_string(cyclesGrowth.second) + " bytes over " +
                  std::to_string(cycles) + " create/destroy cycles";
            return false;
        }
        ScriptMaker maker(context.profile, context.settings.seed + 2000u);
        const std::vector<Step> steps = maker.random(length);
        config.heapMarks = {length / 3, 2 * length / 3, length - 1};
        const PlayResult result = Player(context.entry, config, context.board).play(steps);
        if (brokeARule(result)) return false;
        const Growth runGrowth{result.heap[1] - result.heap[0], result.heap[2] - result.heap[1]};
        if (runGrowth.leaks()) {
            out = "the heap grew by " + std::to_string(runGrowth.second) + " bytes over " +
                  std::to_string(length / 3) + " notifications";
            return false;
        }
        out = std::to_string(cycles * 3) + " cycles and " + std::to_string(length) +
              " notifications: no growth";
        return true;
    });
}

// The `fraction` quantile of `values`, which it sorts.
double quantile(std::vector<double>& values, double fraction) {
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[at];
}

void timingCheck(const CheckContext& context, CheckReport& report) {
    const double limit = context.settings.maxMs;
    isolated(context, report, [&](std::string& out) {
        PlayConfig config = configured(context, Replies::plausible);
        config.timed = true;
        ScriptMaker maker(context.profile, context.settings.seed + 3000u);
        std::vector<Step> steps = context.profile.tour();
        const std::vector<Step> random = maker.random(context.randomLength() * 4);
        steps.insert(steps.end(), random.begin(), random.end());
        PlayResult result = Player(context.entry, config, context.board).play(steps);
        int slowest = 0;
        double p99 = -1;
        double worst = 0;
        long long count = 0;
        for (int kind = 1; kind <= 7; ++kind) {
            std::vector<double>& micros = result.micros[kind];
            if (micros.empty()) continue;
            count += static_cast<long long>(micros.size());
            const double kindP99 = quantile(micros, 0.99);
            worst = std::max(worst, micros.back());
            if (kindP99 > p99) {
                p99 = kindP99;
                slowest = kind;
            }
        }
        char line[160];
        std::snprintf(line, sizeof line,
                      "slowest kind %d: p99 %.3f ms, max %.3f ms over %lld notifications", slowest,
                      p99 / 1000, worst / 1000, count);
        out = line;
        if (limit > 0 && p99 / 1000 > limit) {
            std::snprintf(line, sizeof line, " (above --max-ms %.3f)", limit);
            out += line;
            return false;
        }
        return true;
    });
}

}  // namespace

const std::vector<Check>& CheckCatalogue::all() {
    // Each rule has one owner here: a check that meets another check's fault
    // is not run instead of failing too. Crashes, hangs and throwing handlers
    // belong to the situation they happen in.
    static const std::vector<Check> checks = {
        {"export", "the export returns null, with a host or with a null host", false, exportCheck},
        {"lifecycle",
         "construction or destruction (with replies, and with null to everything) sends a "
         "malformed command, uses a mode other than 0 and 5, names a control its layout lacks, "
         "crashes or hangs",
         false, lifecycleCheck},
        {"presses",
         "an ordinary notification (every control of the layout and of the commands pressed, "
         "every message sent with a value, every timer ticked, revertives of every device) sends "
         "a malformed command or one naming a control the layout lacks, crashes, hangs, or a "
         "handler throws",
         true, pressesCheck},
        {"detach", "anything is sent after \"AS\"", true, detachCheck},
        {"hand-back",
         "a reply of \"TG\", \"SD\", \"XI\" or \"RN\" is not handed back exactly once before "
         "notify returns, another reply (of \"PS\", say) is handed back, or a command carries "
         "bytes of a freed block (a reply used after it was handed back, any use after free)",
         true, handBackCheck},
        {"edge-data",
         "kinds 0 to 8 with null records, null and empty texts and extreme numbers crash, hang, "
         "make a handler throw or answer non-null",
         false, edgeCheck},
        {"kind3-reply",
         "a kind-3 reply is empty, has no NUL inside its allocation, or kind 5 "
         "does not free it",
         false, kind3Check},
        {"lists", "the replies to \"_events\" and \"_commands\" are not line-feed lists", false,
         listsCheck},
        {"messages",
         "a message the component declares (NAME.zant_messages beside the library) or "
         "\"_commands\" names, sent with edge values (of its declared shape; empty, quotes, "
         "64 KiB), makes a malformed command, crashes, hangs or makes a handler throw",
         false, messagesCheck},
        {"random",
         "seeded random sequences of every kind against fuzzed host replies make a malformed "
         "command, crash, hang, make a handler throw or answer non-null",
         true, randomCheck},
        {"heap",
         "the heap grows over create/destroy cycles or a long sequence (counted only from runs "
         "in which every other rule held)",
         true, heapCheck},
        {"timing", "a kind's 99th percentile time per notification is above --max-ms", true,
         timingCheck},
    };
    return checks;
}

const Check* CheckCatalogue::find(const std::string& name) {
    for (const Check& check : all()) {
        if (name == check.name) return &check;
    }
    return nullptr;
}

}  // namespace zant::validate
