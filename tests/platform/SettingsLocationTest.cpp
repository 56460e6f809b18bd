#include "SettingsLocation.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

SettingsLocationFacts Installed()
{
    SettingsLocationFacts facts;
    facts.moduleDirectory = "/usr/bin/";
    facts.installedDirectory = "/usr/bin/";
    facts.baseName = "pondel";
    facts.home = "/home/ann";
    return facts;
}

TEST(SettingsLocationTest, AFileBesideTheExecutableAlwaysWins)
{
    SettingsLocationFacts facts = Installed();
    facts.fileBesideModule = true;
    facts.xdgConfigHome = "/home/ann/.cfg";
    EXPECT_EQ(ChooseSettingsPath(facts), "/usr/bin/pondel.ini");
}

TEST(SettingsLocationTest, AnInstalledProgramKeepsItsSettingsInTheUsersConfigFolder)
{
    SettingsLocationFacts facts = Installed();
    EXPECT_EQ(ChooseSettingsPath(facts), "/home/ann/.config/pondel/pondel.ini");
    facts.xdgConfigHome = "/home/ann/.cfg";
    EXPECT_EQ(ChooseSettingsPath(facts), "/home/ann/.cfg/pondel/pondel.ini");
    // A relative XDG_CONFIG_HOME is ignored, as the base directory rules say.
    facts.xdgConfigHome = "relative";
    EXPECT_EQ(ChooseSettingsPath(facts), "/home/ann/.config/pondel/pondel.ini");
    // Without any home the file stays beside the executable.
    facts.xdgConfigHome.reset();
    facts.home.reset();
    EXPECT_EQ(ChooseSettingsPath(facts), "/usr/bin/pondel.ini");
}

TEST(SettingsLocationTest, AProgramRunFromElsewhereKeepsItsFileBesideIt)
{
    SettingsLocationFacts facts = Installed();
    facts.moduleDirectory = "/home/ann/src/pondel/build/run/src/";
    EXPECT_EQ(ChooseSettingsPath(facts), "/home/ann/src/pondel/build/run/src/pondel.ini");
    facts.moduleDirectory.clear();
    EXPECT_EQ(ChooseSettingsPath(facts), "pondel.ini");
}

} // namespace
} // namespace pondel
