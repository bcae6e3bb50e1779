#pragma once

#include "marketdata/ContractInfo.h"
#include "storage/NumberText.h"

#include <functional>
#include <string>
#include <vector>

namespace strikeline {

// One underlying share with its price line and its option series in file order.
// Copies are deep: every series of a copy refers to the copy. A copy holds no
// at-the-money figures until ComputeNearest works them out for it.
class CCompanyInfo {
public:
    CCompanyInfo() = default;
    CCompanyInfo(const CCompanyInfo& other);
    CCompanyInfo(CCompanyInfo&& other) noexcept;
    CCompanyInfo& operator=(const CCompanyInfo& other);
    CCompanyInfo& operator=(CCompanyInfo&& other) noexcept;
    ~CCompanyInfo() = default;

    // Empty code, a call record, prices 0, no price/earnings, no series.
    void Reset();

    const std::string& Code() const { return m_Code; }
    void SetCode(std::string code) { m_Code = std::move(code); }
    // True for a record of the call file, false for the put file.
    bool IsCall() const { return m_IsCall; }
    void SetIsCall(bool value) { m_IsCall = value; }
    double Last() const { return m_Last; }
    void SetLast(double value) { m_Last = value; }
    // Change from the previous close, dollars.
    double Change() const { return m_Change; }
    void SetChange(double value) { m_Change = value; }
    double Bid() const { return m_Bid; }
    void SetBid(double value) { m_Bid = value; }
    double Offer() const { return m_Offer; }
    void SetOffer(double value) { m_Offer = value; }
    double Open() const { return m_Open; }
    void SetOpen(double value) { m_Open = value; }
    double High() const { return m_High; }
    void SetHigh(double value) { m_High = value; }
    double Low() const { return m_Low; }
    void SetLow(double value) { m_Low = value; }
    double Volume() const { return m_Volume; }
    void SetVolume(double value) { m_Volume = value; }
    // Last price over earnings per share; the file's earnings when they are 0.
    double PriceEarnings() const { return m_PriceEarnings; }
    void SetPriceEarnings(double value) { m_PriceEarnings = value; }

    // The at-the-money series of the qualifying ones (ComputeNearest).
    double AtTheMoneyYield() const { return m_AtTheMoneyYield; }
    double AtTheMoneyStrike() const { return m_AtTheMoneyStrike; }
    double AtTheMoneyOptionPrice() const { return m_AtTheMoneyOptionPrice; }

    const std::vector<CContractInfo>& Contracts() const { return m_Contracts; }
    // Appends a series, which then refers to this share.
    void AddContract(CContractInfo contract);
    // Moves every series of `contracts` to the end of this share's, leaving them empty shells.
    void AddContracts(std::vector<CContractInfo>& contracts);

    // Finds, among the series `accepts` takes, the one whose exercise price is closest to
    // the share's last price (the first of equally close ones), and keeps its premium as a
    // percentage of the share price, its exercise and its premium. Without such a series
    // the three figures hold no value.
    void ComputeNearest(const std::function<bool(const CContractInfo&)>& accepts);

private:
    void AdoptContracts();
    void CopyFields(const CCompanyInfo& other);

    std::string m_Code;
    bool m_IsCall = true;
    double m_Last = 0.0;
    double m_Change = 0.0;
    double m_Bid = 0.0;
    double m_Offer = 0.0;
    double m_Open = 0.0;
    double m_High = 0.0;
    double m_Low = 0.0;
    double m_Volume = 0.0;
    double m_PriceEarnings = UNSET_VALUE;
    double m_AtTheMoneyYield = UNSET_VALUE;
    double m_AtTheMoneyStrike = UNSET_VALUE;
    double m_AtTheMoneyOptionPrice = UNSET_VALUE;
    std::vector<CContractInfo> m_Contracts;
};

} // namespace strikeline
