#include "cli/OutputOptions.h"
#include "services/Settings.h"
#include "sitebuild/PageWeight.h"
#include <algorithm>
#include <cstdio>
#include <ostream>

const std::vector<COptionSpec>& OutputOptions() {
    static const std::vector<COptionSpec> options = {{"--classic"},
                                                     {"--hidpi", "on|off", false, false, true},
                                                     {"--webp", "on|off", false, false, true},
                                                     {"--phones", "on|off", false, false, true}};
    return options;
}

void ApplyOutputOptions(const CParsedCommand& command, CSettings& settings) {
    if (command.Has("--classic")) {
        settings.SetBuildHiDpi(false);
        settings.SetBuildWebp(false);
        settings.SetBuildPhones(false);
    }
    if (command.Has("--hidpi")) settings.SetBuildHiDpi(command.Value("--hidpi") == "on");
    if (command.Has("--webp")) settings.SetBuildWebp(command.Value("--webp") == "on");
    if (command.Has("--phones")) settings.SetBuildPhones(command.Value("--phones") == "on");
}

void PrintPageWeights(const std::vector<PageWeight>& weights, std::ostream& out) {
    const PageWeight total = TotalWeight(weights);
    if (total.before == 0) return;
    std::size_t column = 5;
    for (const PageWeight& w : weights)
        column = std::max(column, w.fileName.size());
    const auto line = [&](const std::string& name, const PageWeight& w) {
        char text[160];
        const double change =
            w.before > 0 ? 100.0 * double(w.after - w.before) / double(w.before) : 0.0;
        std::snprintf(text, sizeof text, "  %-*s %10lld %10lld %+6.1f%%\n", int(column),
                      name.c_str(), w.before, w.after, change);
        out << text;
    };
    out << "Picture bytes a browser fetches per page (without WebP, with WebP):\n";
    for (const PageWeight& w : weights)
        line(w.fileName, w);
    line("total", total);
}
