#include "simulator/Options.h"

#include <cstring>

#include "hosting/FileArgument.h"
#include "simulator/StepParser.h"
#include "simulator/Words.h"

namespace zant::simulator {

namespace {

// DEVICE=SCHEME://HOST[:PORT][/PATH][?PARAMS] of a scheme the routers know.
bool parseRouter(const std::string& text, RouterAddress& router, std::string& error) {
    const routers::RouterFactory factory = routers::RouterFactory::builtIn();
    error = "--router needs DEVICE=" + factory.usage() + " (DEVICE 1..999, PORT 1..65535), not '" +
            text + "'";
    const size_t equals = text.find('=');
    std::string ignored;
    if (equals == std::string::npos || !parseInteger(text.substr(0, equals), router.device) ||
        router.device < 1 || router.device > 999 ||
        !factory.parse(text.substr(equals + 1), router.where, ignored)) {
        return false;
    }
    error.clear();
    return true;
}

}  // namespace

// The build tree's panel_host plays this build's component in the example
// installation without options; the one installed with the kit has no
// defaults for them.
#if defined(PANEL_HOST_DEFAULT_LIBRARY) && defined(PANEL_HOST_SOURCE_DIR)
#define PANEL_HOST_DEFAULT_PATH PANEL_HOST_SOURCE_DIR "/panels/components/Quorvex"
#define PANEL_HOST_DEFAULT_ROOT PANEL_HOST_SOURCE_DIR "/examples/installation"
#else
#define PANEL_HOST_DEFAULT_LIBRARY ""
#define PANEL_HOST_DEFAULT_PATH ""
#define PANEL_HOST_DEFAULT_ROOT ""
#endif

bool Options::parse(int argc, char** argv, std::string& error) {
    simulation.library = PANEL_HOST_DEFAULT_LIBRARY;
    simulation.root = PANEL_HOST_DEFAULT_ROOT;
    simulation.system = "main";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        std::string* target = nullptr;
        if (argument == "--library") target = &simulation.library;
        if (argument == "--path") target = &simulation.componentPath;
        if (argument == "--root") target = &simulation.root;
        if (argument == "--system") target = &simulation.system;
        if (target != nullptr) {
            if (i + 1 >= argc) {
                error = argument + " needs a value";
                return false;
            }
            *target = argv[++i];
        } else if (argument == "-i" || argument == "--interactive") {
            interactive = true;
        } else if (argument == "-v" || argument == "--verbose") {
            simulation.verbose = true;
        } else if (argument == "--realtime") {
            simulation.realtime = true;
        } else if (argument == "--serve") {
            if (i + 1 >= argc || !parseInteger(argv[i + 1], servePort) || servePort < 0 ||
                servePort > 65535) {
                error = "--serve needs a port, 0..65535 (0: any free port)";
                return false;
            }
            ++i;
        } else if (argument == "--router") {
            RouterAddress router;
            if (i + 1 >= argc || !parseRouter(argv[i + 1], router, error)) {
                if (i + 1 >= argc) {
                    error = "--router needs DEVICE=" + routers::RouterFactory::builtIn().usage();
                }
                return false;
            }
            for (const RouterAddress& earlier : simulation.routers) {
                if (earlier.device == router.device) {
                    error = "--router: device " + std::to_string(router.device) + " given twice";
                    return false;
                }
            }
            simulation.routers.push_back(router);
            ++i;
        } else if (argument == "--router-deadline") {
            if (i + 1 >= argc || !parseInteger(argv[i + 1], simulation.routerDeadlineMs) ||
                simulation.routerDeadlineMs < 1) {
                error = "--router-deadline needs milliseconds, 1 or more";
                return false;
            }
            ++i;
        } else if (argument == "-h" || argument == "--help") {
            help = true;
        } else if (!argument.empty() && argument[0] == '-') {
            error = "unknown option " + argument + " (see --help)";
            return false;
        } else if (scenario.empty()) {
            scenario = argument;
        } else {
            error = "more than one scenario: " + scenario + " and " + argument;
            return false;
        }
    }
    if (servePort >= 0 && interactive) {
        error = "--serve and --interactive do not go together";
        return false;
    }
    if (!simulation.library.empty()) {
        // A library named without a folder is in the working folder, as every
        // other file argument (the loader would search its own folders).
        simulation.library = zant::hosting::FileArgument::resolve(simulation.library);
        // As a host does: the component's layouts lie beside its library;
        // this build's own component has them in the source tree.
        if (simulation.componentPath.empty()) {
            simulation.componentPath =
                simulation.library == PANEL_HOST_DEFAULT_LIBRARY
                    ? std::string(PANEL_HOST_DEFAULT_PATH)
                    : zant::hosting::FileArgument::folderOf(simulation.library);
        }
        // The declaration of its messages lies with its layouts.
        std::string refused;
        if (!simulation.messages.load(simulation.componentPath, simulation.library, refused)) {
            if (!help) {
                error = refused;
                return false;
            }
            messagesError = refused;
        }
    }
    if (help) return true;
    if (simulation.library.empty()) {
        error = "no component library: give --library FILE";
        return false;
    }
    if (simulation.root.empty()) {
        error = "no installation: give --root DIR";
        return false;
    }
    return true;
}

std::string Options::usage() const {
    const bool defaults = std::strlen(PANEL_HOST_DEFAULT_LIBRARY) != 0;
    return std::string(R"(Usage: panel_host [OPTIONS] [SCENARIO]

Runs a component in a simulated panel runtime: loads the component library,
creates the component through load_zant_client_script, and drives it with the
steps of SCENARIO (a file, one step a line). Without SCENARIO the steps
come from the terminal with a prompt, or from standard input when it is no
terminal. Every notification and every command with its reply is traced.

Options:
)") +
           (defaults
                ? R"(  --library FILE     the component library (default: the take/undo component
                     of this build)
  --path DIR         the path given to the export, the folder the component
                     loads its layouts from and declares its parent
                     messages in (default: the library's folder; for
                     the take/undo component its folder in the source tree)
  --root DIR         the installation's root folder, set as KV_ROOT
                     (default: examples/installation of the source tree)
)"
                : R"(  --library FILE     the component library (needed)
  --path DIR         the path given to the export, the folder the component
                     loads its layouts from and declares its parent
                     messages in (default: the library's folder)
  --root DIR         the installation's root folder, set as KV_ROOT (needed)
)") + R"(  --system NAME      the system folder under the root, set as KV_SYSTEM
                     (default: main)
  -i, --interactive  after SCENARIO (if any), read steps with a prompt (on a
                     terminal with line editing and history)
  --realtime         every wait step runs in real time, as run does; with
                     --serve the clock starts running in real time
  --serve PORT       after SCENARIO (if any), show and operate the panel in a
                     web browser: serves http://127.0.0.1:PORT/ (0: any free
                     port, printed on the first line) until interrupted
  --router DEVICE=videohub://HOST[:PORT]
                     the installation's device DEVICE is a real router that
                     speaks the Videohub Ethernet protocol (port 9990 when
                     left out); repeatable. The component reads the router's
                     own sizes (a scratch copy of the installation is made);
                     its names, routes and locks come from the router
  --router DEVICE=swp08://HOST:PORT[?matrix=M&level=L&names=N&sources=S&destinations=D]
                     the same for a router that speaks SW-P-08 over TCP (serial
                     lines later); the port is required. Matrix and level
                     count from 0, as on the wire (router screens often count
                     from 1); default 0. level=0,1,2: a Take routes every
                     level listed, the component follows the first. names:
                     4, 8 (default), 12, 16 or 32 characters. sources and
                     destinations: the sizes, when the router's names and
                     tallies do not tell them
  --router DEVICE=ember://HOST[:PORT]/MATRIX
                     the same for an Ember+ matrix (port 9000 when left out):
                     MATRIX is its path by identifiers (router.video) or by
                     numbers (1.1); its targets are the destinations, its
                     sources the sources, its first label set the names
  --router-deadline MS
                     how long a step waits for a real router to answer and
                     report what the step asked (default: 2000); the start
                     waits for each router's state the longer of 5000 ms
                     and MS
  -v, --verbose      also trace each reply the component hands back
  -h, --help         this text

Exit status: 0 when every expectation held and the trace has no error line;
1 when an expectation failed or a step or the component addressed what is not
there (an unknown panel, control or device; a reply handed back twice or
never); 2 for bad input (an option; a scenario line that is no step or whose
value cannot mean anything, also at the prompt; a scenario that cannot be
read, is a folder or has no step; a library without the export; a layout that
cannot be loaded). A real router that cannot be reached, or gives no state
at the start, fails the run (1). The run ends with a line that counts its
failures and errors, or says that all went well. Ctrl-C or SIGTERM ends the
run as a host ends: the component is destroyed, and the exit status is the
run's.

)" + StepParser::help() +
           R"(A component declares its parent messages in NAME.zant_messages in its folder
(--path), NAME being its library's file name without the extension and the
"lib" of a shared object.
)" +
           (messagesError.empty() ? simulation.messages.help()
                                  : "Its declaration is refused: " + messagesError + "\n");
}

}  // namespace zant::simulator
