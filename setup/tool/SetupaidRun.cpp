// setupaid-run: the installer helper for shell scripts (package maintainer
// scripts, a user setting up their own launchers).
//
//   setupaid-run check [PREFIX]             may Pagewright be installed in PREFIX?
//   setupaid-run create-shortcuts [PREFIX]  desktop launcher and menu entries
//   setupaid-run delete-shortcuts           removes them again
//
// PREFIX is the installation prefix (/usr for the package); without it the
// prefix this program is installed in. Messages go to standard error. Exit
// status 0 when the call returned true, 1 when false, 2 for a usage error.
#include "setup/Setupaid.h"
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void ShowOnStderr(void*, const char* caption, const char* text) {
    std::fprintf(stderr, "%s\n%s\n", caption, text);
}

int Usage() {
    std::fprintf(stderr, "usage: setupaid-run check|create-shortcuts [PREFIX]\n"
                         "       setupaid-run delete-shortcuts\n");
    return 2;
}

// The prefix of this program (<prefix>/bin/setupaid-run).
std::string OwnPrefix() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().parent_path().string() + "/";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) return Usage();
    const std::string command = argv[1];
    std::string prefix = argc == 3 ? argv[2] : OwnPrefix();
    if (!prefix.empty() && prefix.back() != '/') prefix.push_back('/');

    SetupaidWindow window{&ShowOnStderr, nullptr};
    bool ok = false;
    if (command == "check")
        ok = Setupaid(&window, "", "", prefix.c_str(), "");
    else if (command == "create-shortcuts")
        ok = CreateShortcuts(&window, "", "", prefix.c_str(), "");
    else if (command == "delete-shortcuts" && argc == 2)
        ok = DeleteShortcuts(&window, "", "", "", "");
    else
        return Usage();
    return ok ? 0 : 1;
}
