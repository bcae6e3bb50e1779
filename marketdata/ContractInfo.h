#pragma once

#include "storage/FileTime.h"

#include <string>

namespace strikeline {

class CCompanyInfo;

// One option series of a share. Numbers the data did not give hold UNSET_VALUE.
class CContractInfo {
public:
    // The share this series belongs to; set when the series is added to a share.
    const CCompanyInfo* Company() const { return m_Company; }

    const std::string& Code() const { return m_Code; }
    void SetCode(std::string code) { m_Code = std::move(code); }
    // Shares per contract.
    double ContractSize() const { return m_ContractSize; }
    void SetContractSize(double value) { m_ContractSize = value; }
    // The expiry day at 00:00, no time-zone conversion.
    FileTime Expiry() const { return m_Expiry; }
    void SetExpiry(FileTime value) { m_Expiry = value; }
    // Exercise (strike) price, dollars.
    double Exercise() const { return m_Exercise; }
    void SetExercise(double value) { m_Exercise = value; }
    // Last traded premium per share, dollars.
    double Last() const { return m_Last; }
    void SetLast(double value) { m_Last = value; }
    double Volume() const { return m_Volume; }
    void SetVolume(double value) { m_Volume = value; }
    double OpenInterest() const { return m_OpenInterest; }
    void SetOpenInterest(double value) { m_OpenInterest = value; }
    // The moment of the last trade in universal time; kNoDate when never traded.
    FileTime LastTraded() const { return m_LastTraded; }
    void SetLastTraded(FileTime value) { m_LastTraded = value; }

private:
    friend class CCompanyInfo; // keeps the back reference right through copies and moves

    const CCompanyInfo* m_Company = nullptr;
    std::string m_Code;
    double m_ContractSize = 0.0;
    FileTime m_Expiry = kNoDate;
    double m_Exercise = 0.0;
    double m_Last = 0.0;
    double m_Volume = 0.0;
    double m_OpenInterest = 0.0;
    FileTime m_LastTraded = kNoDate;
};

} // namespace strikeline
