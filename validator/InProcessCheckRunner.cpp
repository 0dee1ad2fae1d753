#include "validator/InProcessCheckRunner.h"

namespace zant::validate {

ComponentProfile InProcessCheckRunner::learnProfile(CheckContext& context) {
    // A component that fails a stage keeps what the stages before learnt;
    // the checks then show the fault.
    ComponentProfile profile;
    for (int at = 0; at <= lastStage_; ++at) {
        const ComponentProfile::Stage stage = ComponentProfile::stages[at];
        const Outcome outcome = context.isolation.run([&](std::string& report) {
            report =
                ComponentProfile::probe(context.entry, context.settings.componentPath,
                                        context.settings.layout, context.settings.messages, stage)
                    .serialize();
            return true;
        });
        if (!outcome.passed()) break;
        profile = ComponentProfile::parse(outcome.report);
    }
    profile.controls.insert(context.settings.layout.begin(), context.settings.layout.end());
    profile.layoutControls.insert(context.settings.layout.begin(), context.settings.layout.end());
    if (context.settings.layout.empty()) context.settings.layout = profile.layoutControls;
    return profile;
}

void InProcessCheckRunner::run(const Check& check, const CheckContext& context,
                               CheckReport& result) {
    if (check.pressesControls && !context.profile.layoutProblem.empty()) {
        result.notRun("the layout the component loads cannot be read: " +
                      context.profile.layoutProblem);
        return;
    }
    check.run(context, result);
}

}  // namespace zant::validate
