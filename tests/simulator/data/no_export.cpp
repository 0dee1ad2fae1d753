
namespace zant::simulator {

// A shared library that is no component: it lacks load_zant_client_script.
#if defined(_WIN32)
#define VISIBLE __declspec(dllexport)
#else
#define VISIBLE __attribute__((visibility("default")))
#endif

extern "C" VISIBLE int panel_host_not_a_component() {
    return 0;
}

}  // namespace zant::simulator
