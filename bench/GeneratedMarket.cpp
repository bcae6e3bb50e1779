#include "GeneratedMarket.h"

#include "marketdata/MarketDataLoaders.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

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

std::string LoadEveryFile(const std::string& folder, CMarketData& market) {
    std::string problem;
    for (const CMarketFileLoad& load :
         {LoadOptionFile(true, folder, market), LoadOptionFile(false, folder, market),
          LoadDividendsFile(folder, market), LoadCompanyNamesFile(folder, market),
          LoadTop20File(folder, market)}) {
        if (load.problem && problem.empty()) {
            problem = *load.problem;
        }
    }
    return problem;
}

const CMarketSnapshot& LoadedMarket(int scale) {
    static std::map<int, std::shared_ptr<const CMarketSnapshot>> markets;
    auto& snapshot = markets[scale];
    if (!snapshot) {
        const std::string& folder = GeneratedFolder(scale).folder;
        CMarketData market;
        if (const std::string problem = LoadEveryFile(folder, market); !problem.empty()) {
            std::fprintf(stderr, "%s\n", problem.c_str());
        }
        snapshot = market.Current();
    }
    return *snapshot;
}

} // namespace strikeline::bench
