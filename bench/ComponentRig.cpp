#include "bench/ComponentRig.h"

#include "hosting/ScratchInstallation.h"

namespace {

zant::hosting::ScratchInstallation& installation() {
    static zant::hosting::ScratchInstallation folder;
    static const bool routersWritten = [] {
        folder.writeRouter(12, 16);
        folder.writeRouter(13, 16);
        folder.writeRouter(21, 16);
        folder.writeRouter(ComponentRig::largeDevice, ComponentRig::largeDestinations);
        return true;
    }();
    (void)routersWritten;
    return folder;
}

}  // namespace

void ComponentRig::prepareHost(CountingHost& host) {
    host.answer("RN ", "Studio|Camera 01");
    host.answer("SD 'studioA'", "12 0");
    host.answer("SD 'studioB'", "13 0");
    host.answer("SD 'small'", "21 0");
    host.answer("SD 'large'", "22 0");
}

bool ComponentRig::installationReady() {
    return installation().ready();
}

ComponentRig::ComponentRig() {
    installation();
    prepareHost(host_);
    component_.reset(new Quorvex(&host_, "panels/take"));
}

ComponentRig::~ComponentRig() = default;

void ComponentRig::message(const char* text) {
    char* reply = component_->notify(const_cast<char*>(text), zantParentMessage);
    component_->notify(reply, zantReleaseReply);
}

void ComponentRig::press(const char* control) {
    zant_button_record record{0, 0, "1", control, &click_};
    component_->notify(&record, zantButton);
}
