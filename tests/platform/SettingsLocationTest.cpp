#include "SettingsLocation.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

// An installed program keeps its settings in the user's config folder (a
// relative XDG_CONFIG_HOME is ignored, as the base directory rules say); a
// file beside the executable always wins, and so does the executable's own
// folder when it is run from elsewhere or nobody has a home.
TEST(SettingsLocationTest, ChoosesByWhereTheProgramRunsAndTheUsersFolders)
{
    using Text = std::optional<std::string>;
    const struct {
        std::string moduleDirectory;
        bool fileBesideModule;
        Text xdgConfigHome, home;
        std::string expected;
    } cases[] = {
        {"/usr/bin/", true, "/home/ann/.cfg", "/home/ann", "/usr/bin/pondel.ini"},
        {"/usr/bin/", false, std::nullopt, "/home/ann", "/home/ann/.config/pondel/pondel.ini"},
        {"/usr/bin/", false, "/home/ann/.cfg", "/home/ann", "/home/ann/.cfg/pondel/pondel.ini"},
        {"/usr/bin/", false, "relative", "/home/ann", "/home/ann/.config/pondel/pondel.ini"},
        {"/usr/bin/", false, std::nullopt, std::nullopt, "/usr/bin/pondel.ini"},
        {"/home/ann/src/build/", false, std::nullopt, "/home/ann",
            "/home/ann/src/build/pondel.ini"},
        {"", false, std::nullopt, "/home/ann", "pondel.ini"},
    };
    for (const auto& c : cases) {
        const SettingsLocationFacts facts{
            c.moduleDirectory, "/usr/bin/", "pondel", c.fileBesideModule, c.xdgConfigHome, c.home};
        EXPECT_EQ(ChooseSettingsPath(facts), c.expected) << c.expected;
    }
}

} // namespace
} // namespace pondel
