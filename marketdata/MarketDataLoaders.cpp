#include "marketdata/MarketDataLoaders.h"

#include "marketdata/DividendsFileParser.h"
#include "marketdata/NameTableParser.h"
#include "marketdata/OptionFileParser.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"

namespace strikeline {

namespace {

void ReportParseError(CNotifier& notifier, bool csvText, const std::string& path,
                      const std::string& reason) {
    notifier.ShowMessage((csvText ? "Error when parsing .csv file " : "Error when parsing file ") +
                             path + ".\n\n" + reason,
                         MessageIcon::Exclamation);
}

bool LoadNameTable(const std::string& dataFolder, std::string_view fileName, bool csvText,
                   CSharedNameTable& table, CNotifier& notifier) {
    const std::string path = PathInFolder(dataFolder, fileName);
    if (!PathExists(path)) {
        return true;
    }
    CCompanyNameTable fresh;
    std::string error;
    const bool ok = ParseNameTable(fresh, path, error);
    table.Replace(std::move(fresh));
    if (!ok) {
        ReportParseError(notifier, csvText, path, error);
    }
    return ok;
}

} // namespace

bool LoadOptionFile(bool isCall, const std::string& dataFolder, CCompanyList& list,
                    CNotifier& notifier) {
    const std::string path = PathInFolder(dataFolder, isCall ? kCallFileName : kPutFileName);
    if (!PathExists(path)) {
        return true;
    }
    std::vector<CCompanyInfo> companies;
    std::string error;
    const bool ok = ParseOptionFile(companies, path, isCall, error);
    list.Replace(std::move(companies));
    if (!ok) {
        ReportParseError(notifier, true, path, error);
    }
    notifier.RequestRefresh(isCall ? RefreshKind::CallReport : RefreshKind::PutReport);
    return ok;
}

bool LoadDividendsFile(const std::string& dataFolder, CDividendList& list, CNotifier& notifier) {
    const std::string path = PathInFolder(dataFolder, kDividendsFileName);
    if (!PathExists(path)) {
        return true;
    }
    std::vector<CDailyOptionTradesEntry> entries;
    std::string error;
    const bool ok = ParseDividendsFile(entries, path, error);
    list.Replace(std::move(entries));
    if (!ok) {
        ReportParseError(notifier, true, path, error);
    }
    notifier.RequestRefresh(RefreshKind::Dividends);
    return ok;
}

bool LoadCompanyNamesFile(const std::string& dataFolder, CSharedNameTable& table,
                          CNotifier& notifier) {
    return LoadNameTable(dataFolder, kCompanyNamesFileName, true, table, notifier);
}

bool LoadTop20File(const std::string& dataFolder, CSharedNameTable& table, CNotifier& notifier) {
    return LoadNameTable(dataFolder, kTop20FileName, false, table, notifier);
}

} // namespace strikeline
