#include "reports/ShortListRules.h"

#include "storage/NumberText.h"

#include <algorithm>

namespace strikeline {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string RemoveCompanyQuestion(std::string_view code) {
    return std::string(code) +
           " appears in the Trading Plan.\n\nAre you sure you want to remove it?";
}

PlanFamily PlanFamilyOfKind(ReportKind kind) {
    return kind == ReportKind::Call ? PlanFamily::Call : PlanFamily::Put;
}

bool ClearNeedsQuestion(const CShortListStore& store, const CTradingPlan* plan) {
    if (plan == nullptr) {
        return false;
    }
    return std::any_of(store.Entries().begin(), store.Entries().end(),
                       [plan](const CShortListEntry& entry) {
                           return plan->ContainsCompany(entry.code, PlanFamilyOfKind(entry.kind));
                       });
}

bool RemoveNeedsQuestion(std::string_view code, ReportKind kind, const CTradingPlan* plan) {
    return plan != nullptr && plan->ContainsCompany(code, PlanFamilyOfKind(kind));
}

CPlanSeriesSource MakeSeriesSource(const CCompanyInfo& company, const CContractInfo& series,
                                   ReportKind kind, std::string dividendValueText,
                                   std::string dividendDateText) {
    CPlanSeriesSource source;
    source.companyCode = company.Code();
    source.lastPrice = company.Last();
    source.contractCode = series.Code();
    source.expiry = series.Expiry();
    source.contractSize = series.ContractSize();
    source.strikePrice = series.Exercise();
    source.premium = series.Last();
    source.isCall = kind == ReportKind::Call;
    source.dividendValueText = std::move(dividendValueText);
    source.dividendDateText = std::move(dividendDateText);
    return source;
}

CTradingPlanEntry* AppendSeriesToPlan(CTradingPlan* plan, const CPlanSeriesSource& series,
                                      FileTime now) {
    if (plan == nullptr) {
        return nullptr;
    }
    return &plan->Append(MakePlanEntry(series, now));
}

std::optional<std::string> EditDividendValue(std::string_view typed) {
    std::string_view text = Trimmed(typed);
    if (text.empty()) {
        return std::string();
    }
    // The cell shows "$0.85"; editing that text must not be refused for its own sign.
    if (text.front() == '$') {
        text = Trimmed(text.substr(1));
    }
    // The plan row takes this text: "1,234" must not become 1 there, nor "12abc" 12.
    double value = 0.0;
    if (text.empty() || !ParseTypedNumber(text, value)) {
        return std::nullopt;
    }
    return "$" + std::string(text);
}

std::optional<std::string> EditDividendDate(std::string_view typed) {
    const std::string_view text = Trimmed(typed);
    if (text.empty()) {
        return std::string();
    }
    FileTime date = kNoDate;
    if (!ParseFileTime(text, TimeZoneMode::Local, date)) {
        return std::nullopt;
    }
    return std::string(text);
}

} // namespace strikeline
