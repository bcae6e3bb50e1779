#include "journal/AverageTradesDatabase.h"

#include "marketdata/FieldScan.h"
#include "storage/NumberText.h"
#include "storage/RecordListFile.h"
#include "storage/XmlRecords.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace strikeline {

namespace {

constexpr const char* kCompanyID = "CompanyID";
constexpr const char* kValue = "Value";

std::string UpperCode(std::string_view code) {
    std::string upper(code);
    std::transform(upper.begin(), upper.end(), upper.begin(), FoldAsciiCase);
    return upper;
}

bool IsStorable(double value) {
    return value >= CAverageTradesDatabase::kMinimum && value <= CAverageTradesDatabase::kMaximum;
}

} // namespace

bool CAverageTradesDatabase::Load(const std::string& path, std::string& error) {
    Clear();
    return LoadRecordListFile(
        path,
        [this](pugi::xml_node element, std::string& fault) {
            std::string code;
            double value = 0.0;
            if (!GetText(element, kCompanyID, code, &fault)) {
                return false;
            }
            if (IsBlank(code)) {
                fault = "<" + std::string(kCompanyID) + "> element holds no company code";
                return false;
            }
            if (!GetDouble(element, kValue, kMinimum, kMaximum, value, &fault)) {
                return false;
            }
            m_Items[UpperCode(code)] = value;
            return true;
        },
        error);
}

bool CAverageTradesDatabase::Save(const std::string& path, std::string* error) const {
    std::vector<std::pair<std::string, double>> kept;
    std::copy_if(m_Items.begin(), m_Items.end(), std::back_inserter(kept),
                 [](const auto& item) { return IsStorable(item.second); });
    return SaveRecordListFile(
        path, kept.size(),
        [&kept](pugi::xml_node element, std::size_t index) {
            AddTextElement(element, kCompanyID, kept[index].first);
            AddDouble(element, kValue, kept[index].second);
        },
        error);
}

std::optional<double> CAverageTradesDatabase::Lookup(std::string_view code) const {
    const auto it = m_Items.find(UpperCode(code));
    if (it == m_Items.end()) {
        return std::nullopt;
    }
    return it->second;
}

void CAverageTradesDatabase::Set(std::string_view code, double value) {
    m_Items[UpperCode(code)] = value;
}

} // namespace strikeline
