#include "marketdata/CompanyInfo.h"

#include <cmath>

namespace strikeline {

CCompanyInfo::CCompanyInfo(const CCompanyInfo& other) {
    CopyFields(other);
}

CCompanyInfo::CCompanyInfo(CCompanyInfo&& other) noexcept
    : m_Code(std::move(other.m_Code)), m_IsCall(other.m_IsCall), m_Last(other.m_Last),
      m_Change(other.m_Change), m_Bid(other.m_Bid), m_Offer(other.m_Offer), m_Open(other.m_Open),
      m_High(other.m_High), m_Low(other.m_Low), m_Volume(other.m_Volume),
      m_PriceEarnings(other.m_PriceEarnings), m_AtTheMoneyYield(other.m_AtTheMoneyYield),
      m_AtTheMoneyStrike(other.m_AtTheMoneyStrike),
      m_AtTheMoneyOptionPrice(other.m_AtTheMoneyOptionPrice),
      m_Contracts(std::move(other.m_Contracts)) {
    AdoptContracts();
}

CCompanyInfo& CCompanyInfo::operator=(const CCompanyInfo& other) {
    if (this != &other) {
        CopyFields(other);
    }
    return *this;
}

CCompanyInfo& CCompanyInfo::operator=(CCompanyInfo&& other) noexcept {
    if (this != &other) {
        m_Code = std::move(other.m_Code);
        m_IsCall = other.m_IsCall;
        m_Last = other.m_Last;
        m_Change = other.m_Change;
        m_Bid = other.m_Bid;
        m_Offer = other.m_Offer;
        m_Open = other.m_Open;
        m_High = other.m_High;
        m_Low = other.m_Low;
        m_Volume = other.m_Volume;
        m_PriceEarnings = other.m_PriceEarnings;
        m_AtTheMoneyYield = other.m_AtTheMoneyYield;
        m_AtTheMoneyStrike = other.m_AtTheMoneyStrike;
        m_AtTheMoneyOptionPrice = other.m_AtTheMoneyOptionPrice;
        m_Contracts = std::move(other.m_Contracts);
        AdoptContracts();
    }
    return *this;
}

void CCompanyInfo::CopyFields(const CCompanyInfo& other) {
    m_Code = other.m_Code;
    m_IsCall = other.m_IsCall;
    m_Last = other.m_Last;
    m_Change = other.m_Change;
    m_Bid = other.m_Bid;
    m_Offer = other.m_Offer;
    m_Open = other.m_Open;
    m_High = other.m_High;
    m_Low = other.m_Low;
    m_Volume = other.m_Volume;
    m_PriceEarnings = other.m_PriceEarnings;
    m_AtTheMoneyYield = UNSET_VALUE;
    m_AtTheMoneyStrike = UNSET_VALUE;
    m_AtTheMoneyOptionPrice = UNSET_VALUE;
    m_Contracts = other.m_Contracts;
    AdoptContracts();
}

void CCompanyInfo::Reset() {
    m_Code.clear();
    m_IsCall = true;
    m_Last = m_Change = m_Bid = m_Offer = m_Open = m_High = m_Low = m_Volume = 0.0;
    m_PriceEarnings = UNSET_VALUE;
    m_Contracts.clear();
}

void CCompanyInfo::AdoptContracts() {
    for (CContractInfo& contract : m_Contracts) {
        contract.m_Company = this;
    }
}

void CCompanyInfo::AddContract(CContractInfo contract) {
    contract.m_Company = this;
    m_Contracts.push_back(std::move(contract));
}

void CCompanyInfo::AddContracts(std::vector<CContractInfo>& contracts) {
    m_Contracts.reserve(m_Contracts.size() + contracts.size());
    for (CContractInfo& contract : contracts) {
        contract.m_Company = this;
        m_Contracts.push_back(std::move(contract));
    }
}

void CCompanyInfo::ComputeNearest(const std::function<bool(const CContractInfo&)>& accepts) {
    const CContractInfo* nearest = nullptr;
    double nearestDistance = 0.0;
    for (const CContractInfo& contract : m_Contracts) {
        if (!accepts(contract)) {
            continue;
        }
        const double distance = std::fabs(contract.Exercise() - m_Last);
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = &contract;
            nearestDistance = distance;
        }
    }
    if (nearest == nullptr) {
        m_AtTheMoneyYield = m_AtTheMoneyStrike = m_AtTheMoneyOptionPrice = UNSET_VALUE;
        return;
    }
    // A missing premium or share price, or a price of 0, gives no yield rather than a
    // marker or an infinity dressed up as one.
    const bool computable = IsValue(nearest->Last()) && IsValue(m_Last) && m_Last != 0.0;
    m_AtTheMoneyYield = computable ? nearest->Last() / m_Last * 100.0 : UNSET_VALUE;
    m_AtTheMoneyStrike = nearest->Exercise();
    m_AtTheMoneyOptionPrice = nearest->Last();
}

} // namespace strikeline
