#include "tools/ListedCompanies.h"

#include "tools/MarketRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace strikeline {

namespace {

struct CRealCompanyRow {
    const char* code;
    const char* name;
    double price;
    double eps;
    double volatility;
};

// Prices and earnings are round figures of the right size, not quotes of any day.
constexpr std::array<CRealCompanyRow, 100> kRealCompanies = {{
    {"BHP", "BHP Group Limited", 45.00, 3.60, 0.24},
    {"CBA", "Commonwealth Bank of Australia", 120.00, 5.80, 0.18},
    {"CSL", "CSL Limited", 280.00, 6.50, 0.20},
    {"NAB", "National Australia Bank Limited", 33.00, 2.30, 0.19},
    {"WBC", "Westpac Banking Corporation", 26.00, 2.00, 0.19},
    {"ANZ", "ANZ Group Holdings Limited", 28.00, 2.35, 0.19},
    {"MQG", "Macquarie Group Limited", 190.00, 9.50, 0.22},
    {"WES", "Wesfarmers Limited", 65.00, 2.20, 0.18},
    {"FMG", "Fortescue Ltd", 22.00, 2.50, 0.35},
    {"TLS", "Telstra Group Limited", 3.90, 0.16, 0.15},
    {"WDS", "Woodside Energy Group Ltd", 28.00, 1.90, 0.28},
    {"RIO", "Rio Tinto Limited", 120.00, 9.00, 0.24},
    {"GMG", "Goodman Group", 33.00, 0.80, 0.24},
    {"WOW", "Woolworths Group Limited", 34.00, 1.30, 0.17},
    {"TCL", "Transurban Group", 13.50, 0.05, 0.16},
    {"ALL", "Aristocrat Leisure Limited", 45.00, 2.00, 0.24},
    {"QBE", "QBE Insurance Group Limited", 17.00, 1.30, 0.22},
    {"STO", "Santos Limited", 7.50, 0.65, 0.28},
    {"COL", "Coles Group Limited", 17.00, 0.80, 0.16},
    {"REA", "REA Group Ltd", 190.00, 3.50, 0.26},
    {"SUN", "Suncorp Group Limited", 15.00, 1.00, 0.20},
    {"ORG", "Origin Energy Limited", 9.00, 0.70, 0.24},
    {"AMC", "Amcor PLC", 15.00, 0.85, 0.18},
    {"BXB", "Brambles Limited", 14.50, 0.65, 0.20},
    {"IAG", "Insurance Australia Group Limited", 6.50, 0.35, 0.20},
    {"RMD", "ResMed Inc", 30.00, 0.95, 0.26},
    {"SHL", "Sonic Healthcare Limited", 29.00, 1.20, 0.20},
    {"CPU", "Computershare Limited", 27.00, 1.20, 0.22},
    {"NST", "Northern Star Resources Ltd", 14.00, 0.55, 0.33},
    {"XRO", "Xero Limited", 130.00, 0.80, 0.32},
    {"COH", "Cochlear Limited", 290.00, 5.00, 0.22},
    {"ASX", "ASX Limited", 62.00, 2.50, 0.19},
    {"MIN", "Mineral Resources Limited", 60.00, 3.00, 0.45},
    {"PLS", "Pilbara Minerals Limited", 3.50, 0.20, 0.55},
    {"S32", "South32 Limited", 3.30, 0.10, 0.32},
    {"TWE", "Treasury Wine Estates Limited", 11.50, 0.35, 0.26},
    {"JHX", "James Hardie Industries plc", 50.00, 1.60, 0.30},
    {"SCG", "Scentre Group", 3.10, 0.15, 0.20},
    {"SGP", "Stockland", 4.50, 0.30, 0.20},
    {"MPL", "Medibank Private Limited", 3.60, 0.20, 0.17},
    {"APA", "APA Group", 8.50, 0.15, 0.17},
    {"AGL", "AGL Energy Limited", 10.50, 0.80, 0.28},
    {"QAN", "Qantas Airways Limited", 6.20, 0.80, 0.30},
    {"CAR", "CAR Group Limited", 33.00, 0.75, 0.24},
    {"WTC", "WiseTech Global Limited", 90.00, 0.80, 0.34},
    {"SEK", "SEEK Limited", 24.00, 0.50, 0.26},
    {"EVN", "Evolution Mining Limited", 4.00, 0.20, 0.34},
    {"LYC", "Lynas Rare Earths Limited", 6.50, 0.20, 0.45},
    {"ORI", "Orica Limited", 17.00, 0.95, 0.22},
    {"BSL", "BlueScope Steel Limited", 21.00, 1.80, 0.30},
    {"ALX", "Atlas Arteria Limited", 5.20, 0.15, 0.18},
    {"AZJ", "Aurizon Holdings Limited", 3.70, 0.28, 0.19},
    {"BEN", "Bendigo and Adelaide Bank Limited", 10.00, 0.85, 0.22},
    {"BOQ", "Bank of Queensland Limited", 6.20, 0.55, 0.24},
    {"CWY", "Cleanaway Waste Management Limited", 2.70, 0.06, 0.22},
    {"DXS", "Dexus", 7.50, -0.90, 0.24},
    {"EDV", "Endeavour Group Limited", 5.20, 0.28, 0.18},
    {"FLT", "Flight Centre Travel Group Limited", 20.00, 0.85, 0.34},
    {"HVN", "Harvey Norman Holdings Limited", 4.60, 0.35, 0.26},
    {"IEL", "IDP Education Limited", 15.00, 0.55, 0.36},
    {"ILU", "Iluka Resources Limited", 6.50, 0.60, 0.34},
    {"IGO", "IGO Limited", 6.00, 0.40, 0.42},
    {"JBH", "JB Hi-Fi Limited", 65.00, 4.00, 0.26},
    {"LLC", "Lendlease Group", 6.00, -0.20, 0.30},
    {"MGR", "Mirvac Group", 2.10, -0.10, 0.22},
    {"NHF", "NIB Holdings Limited", 7.00, 0.35, 0.22},
    {"NXT", "NEXTDC Limited", 16.00, -0.05, 0.32},
    {"ORA", "Orora Limited", 2.40, 0.12, 0.24},
    {"PMV", "Premier Investments Limited", 30.00, 1.70, 0.26},
    {"QUB", "Qube Holdings Limited", 3.60, 0.14, 0.20},
    {"RHC", "Ramsay Health Care Limited", 45.00, 0.80, 0.24},
    {"SOL", "Washington H. Soul Pattinson and Company Limited", 34.00, 1.10, 0.18},
    {"TAH", "Tabcorp Holdings Limited", 0.70, -0.05, 0.34},
    {"VCX", "Vicinity Limited", 2.10, 0.10, 0.20},
    {"WHC", "Whitehaven Coal Limited", 7.00, 1.20, 0.40},
    {"WOR", "Worley Limited", 15.00, 0.50, 0.26},
    {"A2M", "The a2 Milk Company Limited", 6.00, 0.22, 0.36},
    {"ANN", "Ansell Limited", 27.00, 1.10, 0.24},
    {"BRG", "Breville Group Limited", 28.00, 0.80, 0.28},
    {"CGF", "Challenger Limited", 6.50, 0.60, 0.26},
    {"CHC", "Charter Hall Group", 12.00, 0.50, 0.28},
    {"CTD", "Corporate Travel Management Limited", 15.00, 0.50, 0.36},
    {"GPT", "GPT Group", 4.50, -0.10, 0.20},
    {"HUB", "HUB24 Limited", 40.00, 0.60, 0.34},
    {"NEC", "Nine Entertainment Co. Holdings Limited", 1.50, 0.10, 0.30},
    {"PDN", "Paladin Energy Ltd", 11.00, 0.05, 0.55},
    {"PME", "Pro Medicus Limited", 120.00, 0.80, 0.36},
    {"SFR", "Sandfire Resources Limited", 9.00, -0.03, 0.40},
    {"SGR", "The Star Entertainment Group Limited", 0.50, -0.60, 0.50},
    {"SVW", "Seven Group Holdings Limited", 38.00, 1.80, 0.24},
    {"TLC", "The Lottery Corporation Limited", 5.00, 0.18, 0.18},
    {"VEA", "Viva Energy Group Limited", 3.20, 0.30, 0.28},
    {"ZIP", "Zip Co Limited", 1.50, -0.05, 0.60},
    {"LTR", "Liontown Resources Limited", 0.90, -0.05, 0.60},
    {"CXO", "Core Lithium Ltd", 0.20, -0.10, 0.60},
    {"BPT", "Beach Energy Limited", 1.50, 0.12, 0.30},
    {"DEG", "De Grey Mining Limited", 1.20, 0.00, 0.48},
    {"BGL", "Bellevue Gold Limited", 1.60, 0.02, 0.45},
    {"TPG", "TPG Telecom Limited", 4.80, 0.05, 0.20},
    {"MTS", "Metcash Limited", 3.70, 0.27, 0.20},
}};

constexpr std::size_t kLargestCount = 20;
constexpr std::size_t kMiddleCount = 30;

constexpr std::array<const char*, 24> kNameStems = {
    "Aurora",   "Banksia", "Coral",    "Dampier", "Eyre",   "Flinders",  "Granite", "Harbour",
    "Ironbark", "Jarrah",  "Kestrel",  "Leeuwin", "Mallee", "Nullarbor", "Opal",    "Pilbara",
    "Quartz",   "Redgum",  "Saltbush", "Tasman",  "Umbra",  "Vantage",   "Wattle",  "Yarra"};
constexpr std::array<const char*, 16> kNameTrades = {
    "Resources", "Minerals",     "Energy",         "Holdings",      "Gold",   "Lithium",
    "Health",    "Technologies", "Property Group", "Industries",    "Metals", "Capital",
    "Logistics", "Agriculture",  "Retail Group",   "Infrastructure"};

std::string SyntheticCode(CMarketRandom& random, std::set<std::string>& used) {
    for (;;) {
        std::string code;
        for (int i = 0; i < 3; ++i) {
            code += static_cast<char>('A' + random.UniformInt(0, 25));
        }
        if (used.insert(code).second) {
            return code;
        }
    }
}

} // namespace

const std::vector<CListedCompany>& RealListedCompanies() {
    static const std::vector<CListedCompany> companies = [] {
        std::vector<CListedCompany> list;
        for (std::size_t i = 0; i < kRealCompanies.size(); ++i) {
            const CRealCompanyRow& row = kRealCompanies[i];
            const int tier = i < kLargestCount ? 1 : i < kLargestCount + kMiddleCount ? 2 : 3;
            list.push_back({row.code, row.name, row.price, row.eps, row.volatility, tier});
        }
        return list;
    }();
    return companies;
}

std::vector<CListedCompany> BuildListedCompanies(std::uint64_t seed, int scale) {
    const std::vector<CListedCompany>& real = RealListedCompanies();
    std::vector<CListedCompany> companies = real;
    std::set<std::string> used;
    for (const CListedCompany& company : real) {
        used.insert(company.m_Code);
    }
    CMarketRandom random(MixSeed(seed, 0x53594E54)); // one stream for all synthetic companies
    const std::size_t syntheticCount =
        real.size() * static_cast<std::size_t>(std::max(scale - 1, 0));
    for (std::size_t i = 0; i < syntheticCount; ++i) {
        const CListedCompany& model = real[i % real.size()];
        CListedCompany company;
        company.m_Code = SyntheticCode(random, used);
        company.m_Name =
            std::string(kNameStems[random.UniformInt(0, static_cast<int>(kNameStems.size()) - 1)]) +
            " " + kNameTrades[random.UniformInt(0, static_cast<int>(kNameTrades.size()) - 1)] +
            " Limited";
        company.m_Price = model.m_Price * std::exp(0.4 * random.Normal());
        const double earningsYield = model.m_Eps / model.m_Price;
        company.m_Eps = earningsYield * company.m_Price * random.Uniform(0.7, 1.3);
        company.m_Volatility =
            std::clamp(model.m_Volatility * random.Uniform(0.8, 1.25), 0.15, 0.60);
        company.m_Tier = model.m_Tier;
        companies.push_back(std::move(company));
    }
    return companies;
}

} // namespace strikeline
