// Started with --scenario, the program is one launch against a real libjvm;
// otherwise it runs the tests, each of which starts such a launch.
#include <gtest/gtest.h>
#include <string.h>

#include "jni_scenarios.h"

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--scenario") == 0) return RunScenario(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
