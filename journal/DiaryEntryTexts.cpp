#include "journal/DiaryEntryTexts.h"

#include <array>
#include <string_view>

namespace strikeline {

namespace {

constexpr int kDecimals = 5;

// The dialog's figure fields, in the order of kDiaryNumberFields.
struct CNumberControl {
    std::string CDiaryEntryTexts::*text;
    DiaryEntryField field;
    std::string_view message;
};
constexpr std::array<CNumberControl, kDiaryNumberFields.size()> kNumberControls = {{
    {&CDiaryEntryTexts::shares, DiaryEntryField::Shares, "Invalid shares"},
    {&CDiaryEntryTexts::contracts, DiaryEntryField::Contracts, "Invalid contracts"},
    {&CDiaryEntryTexts::sharePrice, DiaryEntryField::SharePrice, "Invalid share price"},
    {&CDiaryEntryTexts::cost, DiaryEntryField::Cost, "Invalid cost"},
    {&CDiaryEntryTexts::brokerage, DiaryEntryField::Brokerage, "Invalid brokerage"},
    {&CDiaryEntryTexts::strikePrice, DiaryEntryField::StrikePrice, "Invalid strike price"},
    {&CDiaryEntryTexts::premium, DiaryEntryField::Premium, "Invalid premium"},
    {&CDiaryEntryTexts::neBrokerage, DiaryEntryField::NEBrokerage,
     "Invalid Not-Exercised brokerage"},
    {&CDiaryEntryTexts::neProfit, DiaryEntryField::NEProfit, "Invalid Not-Exercised profit"},
    {&CDiaryEntryTexts::neReturn, DiaryEntryField::NEReturn, "Invalid Not-Exercised return"},
    {&CDiaryEntryTexts::eBrokerage, DiaryEntryField::EBrokerage, "Invalid Exercised brokerage"},
    {&CDiaryEntryTexts::eProfit, DiaryEntryField::EProfit, "Invalid Exercised profit"},
    {&CDiaryEntryTexts::eReturn, DiaryEntryField::EReturn, "Invalid Exercised return"},
    {&CDiaryEntryTexts::dividendsValue, DiaryEntryField::DividendsValue, "Invalid dividends"},
}};

std::string DateText(FileTime value) {
    return value == kNoDate ? std::string()
                            : FormatFileTime(value, TimeZoneMode::Local, FileTimeStyle::DateTime);
}

// A typed figure the entry can hold. A marker value would read back as "nothing entered"
// or "N/A", and a figure outside the file's range would make the diary unreadable at the
// next start, so both are refused like any other text that is no number. Dollar signs
// are passed over, as the plan's cells do; words may follow the number ("0.87 per share"),
// but a number cut short ("1,23") is no number.
bool ParseFigure(std::string_view text, double& value) {
    std::string number(text);
    std::erase(number, '$');
    return ParseTypedNumber(number, value, TypedNumberEnd::WordsMayFollow) && IsValue(value) &&
           value >= kDiaryNumberMinimum && value <= kDiaryNumberMaximum;
}

} // namespace

CDiaryEntryTexts DiaryEntryToTexts(const CDiaryEntry& entry) {
    CDiaryEntryTexts texts;
    texts.contractCode = entry.m_ContractID;
    texts.expiryDate = DateText(entry.m_DateExpiry);
    for (std::size_t i = 0; i < kNumberControls.size(); ++i) {
        texts.*kNumberControls[i].text =
            FormatNumber(entry.*kDiaryNumberFields[i].member, kDecimals);
    }
    texts.dividendsDate = DateText(entry.m_DividendsDate);
    return texts;
}

bool TakeDiaryEntryTexts(const CDiaryEntryTexts& texts, CDiaryEntry& entry,
                         CDiaryEntryTextError& error) {
    CDiaryEntry taken = entry;
    if (!ParseFileTime(texts.expiryDate, TimeZoneMode::Local, taken.m_DateExpiry)) {
        error = {DiaryEntryField::ExpiryDate, "Invalid expiry date"};
        return false;
    }
    for (std::size_t i = 0; i < kNumberControls.size(); ++i) {
        const CNumberControl& control = kNumberControls[i];
        const std::string& text = texts.*control.text;
        double& value = taken.*kDiaryNumberFields[i].member;
        if (IsBlank(text)) {
            value = UNSET_VALUE;
        } else if (!ParseFigure(text, value)) {
            error = {control.field, std::string(control.message)};
            return false;
        }
    }
    if (IsBlank(texts.dividendsDate)) {
        taken.m_DividendsDate = kNoDate;
    } else if (!ParseFileTime(texts.dividendsDate, TimeZoneMode::Local, taken.m_DividendsDate)) {
        error = {DiaryEntryField::DividendsDate, "Invalid dividends date"};
        return false;
    }
    entry = std::move(taken);
    return true;
}

} // namespace strikeline
