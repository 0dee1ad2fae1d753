// What the browser face of panel_host asks of the simulation and shows of it.
// A page sends one request at a time as a small JSON object; each is checked
// and turned into a step line, read by the step table as a scenario's line
// is (so each value is checked there), never into anything else (no file
// path, no shell). The state that a page draws (panels, routers, the parent
// messages the component declares and the values last sent, clock, recent
// trace) is one JSON document.
//
// Everything here runs on the simulation's thread; the server hands requests
// over to it.
#ifndef SIMULATOR_WEB_BROWSER_PANEL_H
#define SIMULATOR_WEB_BROWSER_PANEL_H

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "simulator/Simulator.h"
#include "simulator/TraceListener.h"

namespace zant::simulator {

class BrowserPanel : public TraceListener {
public:
    // Listens to the simulation's events from now on.
    BrowserPanel(Simulator& simulator, bool realtime);
    ~BrowserPanel() override;
    BrowserPanel(const BrowserPanel&) = delete;
    BrowserPanel& operator=(const BrowserPanel&) = delete;

    struct Answer {
        int status;        // 200 done; 400 malformed; 404 no such message,
                           // instance or button; 413 too large; 422 the step
                           // ran and the trace shows errors
        std::string body;  // {"ok":true} or {"ok":false,"error":"..."}
    };
    // One request of a page:
    //   {"do":"message","name":NAME,"value":TEXT}   a parent message: one the
    //                                               component declares, its
    //                                               value of the declared shape;
    //                                               any when it declares none
    //   {"do":"press","control":NAME}               one push on panel 1
    //   {"do":"wait","ms":N}                        advance the clock at once
    //   {"do":"route","device":D,"source":S,"destination":T}
    //                                               another panel's route
    //   {"do":"realtime","on":BOOL}                 the clock follows the wall
    Answer handle(const std::string& request);
    // A request refused with `status` for `reason`: traced, as every refusal.
    Answer refuse(int status, const std::string& reason);

    // The state a page draws, as JSON text.
    std::string state() const;

    bool realtime() const { return realtime_; }
    // Grows with every event: the state changed when it did.
    uint64_t events() const { return sequence_; }

    void onEvent(const TraceEvent& event) override;

    // How many of the latest events the state carries.
    static constexpr size_t recentEvents = 300;
    // The largest request a page may send.
    static constexpr size_t largestRequest = size_t{64} * 1024;

private:
    Answer refuse(const std::string& error);
    // Reads `line` with the step table and runs the step; an error line of
    // the trace during it fails the answer.
    Answer perform(const std::string& line);

    struct Entry {
        uint64_t sequence;
        TraceEvent event;
    };
    Simulator& simulator_;
    bool realtime_;
    uint64_t sequence_ = 0;
    std::deque<Entry> recent_;
    bool collecting_ = false;
    std::vector<std::string> stepErrors_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_WEB_BROWSER_PANEL_H
