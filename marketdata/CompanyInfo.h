#pragma once

#include "marketdata/ContractInfo.h"
#include "storage/NumberText.h"

#include <string>
#include <vector>

namespace strikeline {

// One underlying share with its price line and its option series in file order.
// Copies are deep: every series of a copy refers to the copy. A copy holds no
// at-the-money figures until SetAtTheMoney is given its at-the-money series.
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

    const std::string& Code() const { return m_Line.code; }
    void SetCode(std::string code) { m_Line.code = std::move(code); }
    // True for a record of the call file, false for the put file.
    bool IsCall() const { return m_Line.isCall; }
    void SetIsCall(bool value) { m_Line.isCall = value; }
    double Last() const { return m_Line.last; }
    void SetLast(double value) { m_Line.last = value; }
    // Change from the previous close, dollars.
    double Change() const { return m_Line.change; }
    void SetChange(double value) { m_Line.change = value; }
    double Bid() const { return m_Line.bid; }
    void SetBid(double value) { m_Line.bid = value; }
    double Offer() const { return m_Line.offer; }
    void SetOffer(double value) { m_Line.offer = value; }
    double Open() const { return m_Line.open; }
    void SetOpen(double value) { m_Line.open = value; }
    double High() const { return m_Line.high; }
    void SetHigh(double value) { m_Line.high = value; }
    double Low() const { return m_Line.low; }
    void SetLow(double value) { m_Line.low = value; }
    double Volume() const { return m_Line.volume; }
    void SetVolume(double value) { m_Line.volume = value; }
    // Last price over earnings per share; the file's earnings when they are 0.
    double PriceEarnings() const { return m_Line.priceEarnings; }
    void SetPriceEarnings(double value) { m_Line.priceEarnings = value; }

    // The figures a report orders its companies by, of the series it marks at the money.
    struct CAtTheMoney {
        double yield = UNSET_VALUE; // the premium as a percentage of the share price
        double strike = UNSET_VALUE;
        double optionPrice = UNSET_VALUE;
    };
    // Those of `nearest` for a share whose last sale is `last`; none of the three holds a
    // value with no series (nullptr).
    static CAtTheMoney AtTheMoneyOf(const CContractInfo* nearest, double last);

    // Figures of the at-the-money series (SetAtTheMoney).
    const CAtTheMoney& AtTheMoney() const { return m_AtTheMoney; }
    double AtTheMoneyYield() const { return m_AtTheMoney.yield; }
    double AtTheMoneyStrike() const { return m_AtTheMoney.strike; }
    double AtTheMoneyOptionPrice() const { return m_AtTheMoney.optionPrice; }

    const std::vector<CContractInfo>& Contracts() const { return m_Contracts; }
    // Appends a series, which then refers to this share.
    void AddContract(CContractInfo contract);
    // Moves every series of `contracts` to the end of this share's, leaving them empty shells.
    void AddContracts(std::vector<CContractInfo>& contracts);
    // Takes a share's whole list of series, which then refer to it; a share that has series
    // already adds them as AddContracts does.
    void TakeContracts(std::vector<CContractInfo>&& contracts);

    // Keeps the premium of `nearest` as a percentage of the share price, its exercise and its
    // premium as the at-the-money figures; with no series (nullptr) the three hold no value.
    // Which series is at the money is the report's choice.
    void SetAtTheMoney(const CContractInfo* nearest);

private:
    // The share's line of the file; a reset record holds these defaults.
    struct CPriceLine {
        std::string code;
        bool isCall = true;
        double last = 0.0;
        double change = 0.0;
        double bid = 0.0;
        double offer = 0.0;
        double open = 0.0;
        double high = 0.0;
        double low = 0.0;
        double volume = 0.0;
        double priceEarnings = UNSET_VALUE;
    };
    void AdoptContracts();

    CPriceLine m_Line;
    CAtTheMoney m_AtTheMoney;
    std::vector<CContractInfo> m_Contracts;
};

} // namespace strikeline
