#include "jre/runtime_search.h"

#include <string>
#include <vector>

#include "config/configuration.h"
#include "launcher/launcher.h"
#include "support/fake_platform.h"

namespace {

const std::string kJdk = kJdkRegistryKey;
const std::string kJre = kJreRegistryKey;

class RuntimeSearchTest : public WithFakeSystem {
protected:
    // A java home holding the named jvm.dll variants ("client", "server", ...).
    void Runtime(const std::string& home, std::vector<std::string> variants) {
        fake.files.insert(home + "bin\\java.dll");
        for (const std::string& v : variants) fake.files.insert(home + "bin\\" + v + "\\jvm.dll");
    }
    // Launcher fields as ReadConfiguration leaves them for these values.
    void Configure(Launcher& launcher, const char* source, const char* type, const char* minimum,
                   const char* maximum, const char* preferred) {
        auto& runtime = fake.Ini()[ini::kRuntimeSection];
        runtime["Main Class"] = "A";
        runtime["JVM Source"] = source;
        runtime["JVM Type"] = type;
        runtime["Minimum Version"] = minimum;
        runtime["Maximum Version"] = maximum;
        runtime["Preferred versions"] = preferred;
        ASSERT_TRUE(ReadConfiguration(launcher));
    }
    std::string Registered(Launcher& launcher) {
        String home;
        if (!FindRegisteredRuntime(launcher, home)) return "(none)";
        return home.c_str();
    }
};

TEST_F(RuntimeSearchTest, JvmLibraryVariantsTriedInTheOrderOfTheType) {
    struct Case { std::vector<std::string> present; JvmType type; const char* found; bool server; };
    const Case cases[] = {
        {{"client", "server"}, JvmType::Default, "client", false},
        {{"hotspot", "classic"}, JvmType::Default, "classic", false},
        {{"server"}, JvmType::Default, "server", true},
        {{"client", "server"}, JvmType::FavorServer, "server", true},
        {{"hotspot"}, JvmType::FavorServer, "hotspot", false},
        {{"client", "server"}, JvmType::Server, "server", true},
        {{"client", "classic", "hotspot"}, JvmType::Server, nullptr, false},
        {{}, JvmType::Default, nullptr, false},
    };
    for (const Case& c : cases) {
        ResetFake();
        for (const std::string& v : c.present) Fake().files.insert("C:\\jre\\bin\\" + v + "\\jvm.dll");
        bool server = !c.server;
        String path = FindJvmLibrary("C:\\jre\\", c.type, &server);
        std::string expected = c.found ? std::string("C:\\jre\\bin\\") + c.found + "\\jvm.dll" : "";
        EXPECT_EQ(std::string(path.c_str()), expected) << static_cast<int>(c.type);
        if (c.found) EXPECT_EQ(server, c.server) << c.found;
    }
}

TEST_F(RuntimeSearchTest, AdjacentRuntimeIsTheExecutablesFolderOrItsJre) {
    struct Case { const char* javaDll; const char* home; };
    const Case cases[] = {
        {"C:\\App\\bin\\java.dll", "C:\\App\\"},
        {"C:\\App\\jre\\bin\\java.dll", "C:\\App\\jre\\"},
        {"C:\\Other\\bin\\java.dll", ""},
    };
    for (const Case& c : cases) {
        ResetFake();
        Fake().modulePath = "C:\\App\\run.exe";
        Fake().files.insert(c.javaDll);
        Launcher launcher;
        String home("stale");
        EXPECT_TRUE(FindAdjacentRuntime(launcher, home));
        EXPECT_STREQ(home.c_str(), c.home) << c.javaDll;
    }
}

TEST_F(RuntimeSearchTest, WorkedExamplePrefersListOrderOverKind) {
    fake.Register(kJdk, "1.5.0_06", "C:\\jdk15");
    fake.Register(kJre, "1.4.2", "C:\\jre14");
    fake.Register(kJre, "1.6", "C:\\jre16");
    fake.Register(kJre, "1.6.0_10", "C:\\jre16\\");
    for (const char* home : {"C:\\jdk15\\jre\\", "C:\\jre14\\", "C:\\jre16\\"}) Runtime(home, {"client"});

    Launcher launcher;
    Configure(launcher, "favor_JDK", "", "1.5", "any", "1.6;1.5");
    Array<RuntimeCandidate> candidates;
    CollectRegistryCandidates(launcher, kJdkRegistryKey, candidates);
    CollectRegistryCandidates(launcher, kJreRegistryKey, candidates);
    OrderCandidates(launcher, candidates);
    ASSERT_EQ(candidates.Count(), 3);
    EXPECT_EQ(candidates[0].javaHome, "C:\\jdk15\\jre\\");
    EXPECT_TRUE(candidates[0].isPreferredKind);
    EXPECT_EQ(candidates[1].version.parts[3], 10);
    EXPECT_EQ(candidates[2].version.parts[3], 0);
    EXPECT_EQ(ChooseCandidate(launcher, candidates), "C:\\jre16\\");
    EXPECT_EQ(Registered(launcher), "C:\\jre16\\");

    Launcher noPreference;
    Configure(noPreference, "favor_JDK", "", "1.5", "any", "");
    EXPECT_EQ(Registered(noPreference), "C:\\jdk15\\jre\\");
}

TEST_F(RuntimeSearchTest, JvmSourceSelectsTheKeysAndTheKindPlacedFirst) {
    fake.Register(kJdk, "1.6", "C:\\jdk");
    fake.Register(kJre, "1.5", "C:\\jre");
    Runtime("C:\\jdk\\jre\\", {"client"});
    Runtime("C:\\jre\\", {"client"});
    struct Case { const char* source; const char* home; };
    const Case cases[] = {
        {"", "C:\\jdk\\jre\\"},          // neither preferred: the higher version
        {"favor_JDK", "C:\\jdk\\jre\\"}, {"favor_JRE", "C:\\jre\\"},
        {"only_JDK", "C:\\jdk\\jre\\"},  {"only_JRE", "C:\\jre\\"},
        {"only_jre", "(none)"},          {"JRE", "(none)"},
    };
    for (const Case& c : cases) {
        Launcher launcher;
        Configure(launcher, c.source, "", "any", "any", "");
        EXPECT_EQ(Registered(launcher), c.home) << c.source;
    }
}

TEST_F(RuntimeSearchTest, FavorServerPutsServerCapableJdkAheadOfJre) {
    fake.Register(kJdk, "1.6", "C:\\jdk");
    fake.Register(kJre, "1.7", "C:\\jre");
    Runtime("C:\\jdk\\jre\\", {"client", "server"});
    Runtime("C:\\jre\\", {"client", "server"});  // looked up in the Default order: client
    Launcher launcher;
    Configure(launcher, "", "favor_server", "any", "any", "");
    EXPECT_EQ(Registered(launcher), "C:\\jdk\\jre\\");

    Launcher plain;
    Configure(plain, "", "", "any", "any", "");
    EXPECT_EQ(Registered(plain), "C:\\jre\\");
}

TEST_F(RuntimeSearchTest, QualifyingInstallations) {
    struct Case { const char* minimum; const char* maximum; const char* type; const char* subkey; bool found; };
    const Case cases[] = {
        {"1.5", "any", "", "1.4.2_10", false},   {"1.5", "any", "", "1.5", true},
        {"any", "1.5", "", "1.5.0_06", true},    {"any", "1.5", "", "1.6", false},
        {"1.5.0_10", "any", "", "1.5", false},   {"1.5.0_10", "any", "", "1.5.0_10", true},
        {"any", "", "", "1.6", false},           {"", "any", "", "latest", true},
        {"1.1", "any", "", "latest", false},     {"any", "any", "server", "1.6", false},
    };
    for (const Case& c : cases) {
        ResetFake();
        Fake().Register(kJre, c.subkey, "C:\\jre");
        Fake().files.insert("C:\\jre\\bin\\client\\jvm.dll");
        Launcher launcher;
        Configure(launcher, "", c.type, c.minimum, c.maximum, "");
        EXPECT_EQ(Registered(launcher) == "C:\\jre\\", c.found) << c.minimum << ".." << c.maximum << " " << c.subkey;
    }
}

TEST_F(RuntimeSearchTest, InstallationsWithoutHomeOrLibraryArePassedOver) {
    fake.registry[kJre].subkeys = {"1.8", "1.7", "1.6", "1.5"};
    fake.registry[kJre + "1.8"].values["JavaHome"] = "";            // empty value
    fake.registry[kJre + "1.7"].values["Other"] = "C:\\jre17";     // no JavaHome
    fake.registry[kJre + "1.6"].values["JavaHome"] = "C:\\jre16";  // no jvm.dll
    fake.registry[kJre + "1.5"].values["JavaHome"] = "C:\\jre15";
    Runtime("C:\\jre15\\", {"hotspot"});
    Launcher launcher;
    Configure(launcher, "", "", "any", "any", "");
    EXPECT_EQ(Registered(launcher), "C:\\jre15\\");
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(RuntimeSearchTest, SameHomeUnderTwoSubkeysGivesTwoCandidates) {
    fake.Register(kJre, "1.6", "C:\\jre16");
    fake.Register(kJre, "1.6.0_10", "C:\\jre16");
    Runtime("C:\\jre16\\", {"client"});
    Launcher launcher;
    Configure(launcher, "", "", "any", "any", "");
    Array<RuntimeCandidate> candidates;
    CollectRegistryCandidates(launcher, kJreRegistryKey, candidates);
    ASSERT_EQ(candidates.Count(), 2);
    EXPECT_EQ(candidates[0].version.parts[3], 0);
    EXPECT_EQ(candidates[1].version.parts[3], 10);
}

}  // namespace
