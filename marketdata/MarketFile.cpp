#include "marketdata/MarketFile.h"

#include "marketdata/DividendsFileParser.h"
#include "marketdata/NameTableParser.h"
#include "marketdata/OptionFileParser.h"

namespace strikeline {

bool ReadMarketFile(MarketFile kind, const std::string& path, CMarketFileContents& contents,
                    std::string& error) {
    contents = CMarketFileContents();
    bool empty = false;
    const char* nothing = "";
    switch (kind) {
    case MarketFile::Calls:
    case MarketFile::Puts:
        if (!ParseOptionFile(contents.companies, path, kind == MarketFile::Calls, error)) {
            return false;
        }
        empty = contents.companies.empty();
        nothing = "it holds no prices";
        break;
    case MarketFile::Dividends:
        if (!ParseDividendsFile(contents.dividends, path, error)) {
            return false;
        }
        empty = contents.dividends.empty();
        nothing = "it holds no dividends";
        break;
    case MarketFile::CompanyNames:
    case MarketFile::Top20:
        if (!ParseNameTable(contents.names, path, error)) {
            return false;
        }
        empty = contents.names.GetCount() == 0;
        nothing = "it holds no names";
        break;
    }
    if (empty) {
        error = nothing;
        return false;
    }
    return true;
}

} // namespace strikeline
