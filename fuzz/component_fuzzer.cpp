// The whole component, driven through `notify` only, by arbitrary sequences of
// notifications against a host whose replies are fuzzed too: null, empty,
// garbage, very long or plausible. The checking host and the driver abort on
// any broken boundary rule: a malformed command, a reply handed back twice, a
// foreign pointer released, the reply of "PS" released, a reply of "TG", "SD",
// "XI" or "RN" not back when `notify` returns, a kind-3 reply not a text.
// Every kind-3 reply is handed back with kind 5, so a lost one is a leak.
// A press of Take or Undo that the panel shows enabled (as a host delivers
// presses) must route what the panel showed for it: each name the answer of
// the look-up of the crosspoint's own device, database and index, and never a
// destination beyond the device's destination count.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "hosting/ScratchInstallation.h"
#include "panels/components/Quorvex/Quorvex.h"
#include "tests/quorvex/support/QuorvexCommands.h"
#include "tests/quorvex/support/TakePanelModel.h"
#include "validator/CheckingHost.h"
#include "validator/NotifyDriver.h"

using zant::validate::CheckingHost;
using zant::validate::NotifyDriver;

namespace {

constexpr size_t maxSteps = 200;
constexpr size_t longReply = 1 << 16;

// Devices 12, 13 and 14 of the installation and their destination counts,
// so "instance" reads real configuration files.
const struct {
    int device;
    int destinations;
} devices[] = {{12, 16}, {13, 300}, {14, 70000}};

// 0 for a device without a file: then nothing is bounded.
int destinationCount(int device) {
    for (const auto& known : devices) {
        if (known.device == device) return known.destinations;
    }
    return 0;
}

// Lives until the process ends, so every run finds the same devices.
void makeInstallation() {
    static const zant::hosting::ScratchInstallation installation;
    fuzzCheck(installation.ready(), "installation folder created");
    for (const auto& known : devices) {
        fuzzCheck(installation.writeRouter(known.device, known.destinations),
                  "device file created");
    }
}

class FuzzHost : public CheckingHost {
public:
    explicit FuzzHost(FuzzedDataProvider& data) : data_(data) {
        setCommandRule(quorvexCommandError);
    }

    std::optional<std::string> replyTo(const std::string& command) override {
        std::optional<std::string> reply = fuzzedReply(command);
        panel.command(command, reply);
        return reply;
    }

    TakePanelModel panel;

private:
    std::optional<std::string> fuzzedReply(const std::string& command) {
        switch (data_.ConsumeIntegralInRange<int>(0, 5)) {
            case 0:
                return std::nullopt;
            case 1:
                return std::string();
            case 2:
                return data_.ConsumeRandomLengthString(64);
            case 3:
                return std::string(data_.ConsumeIntegralInRange<size_t>(1, longReply),
                                   data_.ConsumeBool() ? '|' : '\'');
            default:
                return plausible(command);
        }
    }

    std::optional<std::string> plausible(const std::string& command) {
        const std::string mnemonic = command.substr(0, 2);
        const int number = data_.ConsumeIntegralInRange<int>(-2, 16);
        if (mnemonic == "SD") return std::to_string(11 + number % 4) + " " + std::to_string(number);
        if (mnemonic == "RN") return "Name|" + std::to_string(number);
        if (mnemonic == "TG") return "value=" + std::to_string(number);
        if (mnemonic == "XI") return std::string("alm_1,alm_2");
        return std::nullopt;
    }

    FuzzedDataProvider& data_;
};

const char* const messageNames[] = {"instance", "sourceID", "destID",     "bgndStyle",
                                    "takeHigh", "takeLow",  "takeDouble", "undoDouble",
                                    "return",   "_events",  "_commands",  "sourceID.x"};
const char* const buttonIds[] = {"Take", "Undo", "Deselect", "ActionAll", "AckAll"};

std::string messageText(FuzzedDataProvider& data) {
    if (data.ConsumeIntegralInRange<int>(0, 7) == 0) return data.ConsumeRandomLengthString(128);
    std::string text = data.PickValueInArray(messageNames);
    if (data.ConsumeIntegralInRange<int>(0, 7) == 0) return text;
    text += '=';
    if (data.ConsumeBool()) {
        text += std::to_string(data.ConsumeIntegralInRange<int>(-3, 260));
    } else {
        text += data.ConsumeRandomLengthString(64);
    }
    return text.c_str();
}

// The crosspoints of one press; `id` is the button's id, "" for none.
void checkPress(const TakePanelModel& before, const std::string& id,
                const std::vector<TakePanelModel::Crosspoint>& sent) {
    if (sent.empty()) return;
    fuzzCheck(sent.size() == 1 && (id == "Take" || id == "Undo"), "one crosspoint a Take or Undo");
    // A host delivers no press on a disabled button.
    if (!before.enabled(id)) return;
    const std::string error = before.routeError(id, sent.front());
    if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
    fuzzCheck(error.empty(), "Take and Undo route what the panel shows");
    const int count = destinationCount(sent.front().device);
    fuzzCheck(id != "Take" || count < 1 || sent.front().destination <= count,
              "no Take beyond the router");
}

void step(FuzzedDataProvider& data, NotifyDriver& driver, FuzzHost& host) {
    switch (data.ConsumeIntegralInRange<int>(0, 6)) {
        case 0:
            driver.revertive(data.ConsumeBool() ? 12 : data.ConsumeIntegral<int>(),
                             data.ConsumeBool() ? data.ConsumeIntegralInRange<int>(-1, 301)
                                                : data.ConsumeIntegral<int>(),
                             data.ConsumeIntegral<int>());
            break;
        case 1: {
            const std::string panel = data.ConsumeBool() ? "1" : data.ConsumeRandomLengthString(4);
            const std::string id = data.ConsumeBool() ? data.PickValueInArray(buttonIds)
                                                      : data.ConsumeRandomLengthString(12);
            const std::string text = data.ConsumeRandomLengthString(16);
            const int shape = data.ConsumeIntegralInRange<int>(0, 3);
            const TakePanelModel before = host.panel;
            driver.press(shape == 0 ? nullptr : panel.c_str(), shape == 1 ? nullptr : id.c_str(),
                         shape == 2 ? nullptr : text.c_str());
            checkPress(before, shape == 1 ? std::string() : id, host.panel.takeCrosspoints());
            return;
        }
        case 2:
        case 3:
            if (data.ConsumeIntegralInRange<int>(0, 15) == 0) {
                driver.message(nullptr);
            } else {
                driver.message(messageText(data).c_str());
            }
            break;
        case 4:
            driver.tick(data.ConsumeBool() ? 2 : data.ConsumeIntegral<int>());
            break;
        case 5:
            driver.word(data.PickValueInArray({0, 6, 7, 8, -1}), data.ConsumeIntegral<int>());
            break;
        default:
            driver.releaseAll();
            break;
    }
    fuzzCheck(host.panel.takeCrosspoints().empty(), "crosspoints only from presses");
}

void checkClean(const FuzzHost& host, const NotifyDriver* driver) {
    const auto report = [](const std::vector<std::string>& violations) {
        for (const std::string& violation : violations) {
            std::fprintf(stderr, "%s\n", violation.c_str());
        }
        fuzzCheck(violations.empty(), "boundary rules kept");
    };
    report(host.violations());
    if (driver != nullptr) report(driver->violations());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    makeInstallation();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    FuzzHost host(data);
    const bool hostless = data.ConsumeIntegralInRange<int>(0, 15) == 0;
    const std::string path = data.ConsumeRandomLengthString(24);
    {
        std::unique_ptr<zant_client_callback, zant_client_deleter> component(
            new Quorvex(hostless ? nullptr : &host, data.ConsumeBool() ? path.c_str() : nullptr));
        NotifyDriver driver(component.get(), hostless ? nullptr : &host);
        driver.holdReplies(data.ConsumeIntegralInRange<size_t>(0, 3));
        for (size_t i = 0; i < maxSteps && data.remaining_bytes() > 0; ++i) {
            step(data, driver, host);
            checkClean(host, &driver);
        }
        driver.releaseAll();
        checkClean(host, &driver);
        fuzzCheck(driver.repliesGiven() == driver.repliesReleased(), "every kind-3 reply back");
    }
    checkClean(host, nullptr);
    fuzzCheck(host.mustComeBack() == 0, "every reply handed back");
    return 0;
}
