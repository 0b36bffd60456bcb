#include "sitebuild/PageWeight.h"
#include <set>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

long long SizeOf(const fs::path& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    return ec ? 0 : static_cast<long long>(size);
}

} // namespace

std::vector<PageWeight> MeasurePageWeights(const std::vector<BuildPage>& pages,
                                           const fs::path& filesFolder, const WebpTwins& twins) {
    std::vector<PageWeight> weights;
    for (const BuildPage& page : pages) {
        PageWeight& weight = weights.emplace_back();
        weight.fileName = page.fileName;
        // What opening the page fetches: every picture shown, once, and the
        // background; mouse-over pictures wait for the mouse.
        std::set<std::string> files;
        for (const BuildItem& item : page.items)
            if (!item.imageUrl.empty()) files.insert(item.imageUrl);
        if (!page.background.imageUrl.empty()) files.insert(page.background.imageUrl);
        for (const std::string& url : files) {
            if (url.find("://") != std::string::npos) continue;
            const std::string name = fs::path(url).filename().string();
            const long long size = SizeOf(filesFolder / name);
            weight.before += size;
            weight.after += twins.count(name) ? SizeOf(filesFolder / WebpName(name)) : size;
        }
    }
    return weights;
}

PageWeight TotalWeight(const std::vector<PageWeight>& weights) {
    PageWeight total;
    for (const PageWeight& w : weights) {
        total.before += w.before;
        total.after += w.after;
    }
    return total;
}
