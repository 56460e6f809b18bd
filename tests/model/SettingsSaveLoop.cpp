// settings_save_loop FILE HOSTS FIRST: saves the settings file over and
// over, alternating between two host lists and starting with list FIRST
// ('a' or 'b'), until it is killed. It writes one byte to its standard
// output when it is ready to save and one after each save, so that a
// watcher can time its kills to fall inside the saves.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "SaveLoopHosts.h"

int main(int argc, char** argv)
{
    using namespace pondel;
    if (argc != 4) {
        std::fprintf(stderr, "usage: settings_save_loop FILE HOSTS a|b\n");
        return 2;
    }
    const std::filesystem::path file = argv[1];
    const int count = std::atoi(argv[2]);
    const AppSettings settings = test::SaveLoopSettings(count);
    const HostList lists[2] = {test::SaveLoopHosts(count, 'a'), test::SaveLoopHosts(count, 'b')};
    if (::write(STDOUT_FILENO, "r", 1) != 1)
        return 1;
    for (unsigned turn = argv[3][0] == 'b' ? 1 : 0;; ++turn) {
        const Result<void> saved = SaveSettings(file, settings, lists[turn % 2], WindowState{});
        if (!saved) {
            std::fprintf(stderr, "%s\n", saved.Error().message.c_str());
            return 1;
        }
        if (::write(STDOUT_FILENO, "s", 1) != 1)
            return 1;
    }
}
