// The set-up that Quorvex's tests share: a scratch installation whose device
// 12 has 16 destinations (none when given 0), a recording host, and the
// component created through the export on that host, driven as a host does.
// A test names the host's answers it needs; send() brings the component into
// the state a test starts from.
#ifndef TESTS_QUORVEX_QUORVEX_TEST_H
#define TESTS_QUORVEX_QUORVEX_TEST_H

#include <gtest/gtest.h>

#include <initializer_list>

#include "hosting/ScratchInstallation.h"
#include "tests/quorvex/ComponentDriver.h"

class QuorvexTest : public testing::Test {
protected:
    explicit QuorvexTest(int destinations = 16) {
        if (destinations > 0) installation.writeRouter(12, destinations);
    }

    // Sends the parent's `messages` in order and forgets what they sent.
    void send(std::initializer_list<const char*> messages) {
        for (const char* message : messages) driver.message(message);
        driver.sent();
    }

    zant::hosting::ScratchInstallation installation;
    RecordingHost host;
    ComponentDriver driver{&host};
};

#endif  // TESTS_QUORVEX_QUORVEX_TEST_H
