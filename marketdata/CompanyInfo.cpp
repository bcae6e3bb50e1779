#include "marketdata/CompanyInfo.h"

namespace strikeline {

CCompanyInfo::CCompanyInfo(const CCompanyInfo& other)
    : m_Line(other.m_Line), m_Contracts(other.m_Contracts) {
    AdoptContracts();
}

CCompanyInfo::CCompanyInfo(CCompanyInfo&& other) noexcept
    : m_Line(std::move(other.m_Line)), m_AtTheMoney(other.m_AtTheMoney),
      m_Contracts(std::move(other.m_Contracts)) {
    AdoptContracts();
}

CCompanyInfo& CCompanyInfo::operator=(const CCompanyInfo& other) {
    if (this != &other) {
        m_Line = other.m_Line;
        m_AtTheMoney = {};
        m_Contracts = other.m_Contracts;
        AdoptContracts();
    }
    return *this;
}

CCompanyInfo& CCompanyInfo::operator=(CCompanyInfo&& other) noexcept {
    if (this != &other) {
        m_Line = std::move(other.m_Line);
        m_AtTheMoney = other.m_AtTheMoney;
        m_Contracts = std::move(other.m_Contracts);
        AdoptContracts();
    }
    return *this;
}

void CCompanyInfo::Reset() {
    m_Line = {};
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

void CCompanyInfo::TakeContracts(std::vector<CContractInfo>&& contracts) {
    if (!m_Contracts.empty()) {
        AddContracts(contracts);
        return;
    }
    m_Contracts = std::move(contracts);
    AdoptContracts();
}

CCompanyInfo::CAtTheMoney CCompanyInfo::AtTheMoneyOf(const CContractInfo* nearest, double last) {
    if (nearest == nullptr) {
        return {};
    }
    // A missing premium or share price, or a price of 0, gives no yield rather than a
    // marker or an infinity dressed up as one.
    const bool computable = IsValue(nearest->Last()) && IsValue(last) && last != 0.0;
    return {computable ? nearest->Last() / last * 100.0 : UNSET_VALUE, nearest->Exercise(),
            nearest->Last()};
}

void CCompanyInfo::SetAtTheMoney(const CContractInfo* nearest) {
    m_AtTheMoney = AtTheMoneyOf(nearest, m_Line.last);
}

} // namespace strikeline
