#include "GeneratedMarket.h"

#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace strikeline::bench {

const CGeneratedFolder& GeneratedFolder(int scale) {
    static std::map<int, CGeneratedFolder> folders;
    auto it = folders.find(scale);
    if (it != folders.end()) {
        return it->second;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "strikeline-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    CMarketGeneratorSettings settings;
    settings.m_Scale = scale;
    const CGeneratedMarket market = CMarketGenerator(settings).Generate();
    std::string error;
    if (!WriteDataFolder(pattern, market, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    CGeneratedFolder folder{pattern, pattern + "/call.csv", market.m_CallFile.size(),
                            market.m_CallSeries};
    return folders.emplace(scale, std::move(folder)).first->second;
}

} // namespace strikeline::bench
