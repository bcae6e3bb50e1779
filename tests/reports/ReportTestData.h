#pragma once

#include "marketdata/CompanyInfo.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>
#include <string>

namespace strikeline::test {

// A series expiring on `expiry`, last traded at `traded` ("" for never), 100 shares.
inline CContractInfo Series(const std::string& code, double strike, double premium,
                            const std::string& expiry,
                            const std::string& traded = "2010-06-23 01:00:00", double size = 100) {
    CContractInfo contract;
    contract.SetCode(code);
    contract.SetExercise(strike);
    contract.SetLast(premium);
    contract.SetExpiry(Utc(expiry));
    contract.SetLastTraded(traded.empty() ? kNoDate : Utc(traded));
    contract.SetContractSize(size);
    contract.SetOpenInterest(10);
    return contract;
}

inline CCompanyInfo Share(const std::string& code, double last, std::vector<CContractInfo> series,
                          bool call = true) {
    CCompanyInfo company;
    company.SetCode(code);
    company.SetLast(last);
    company.SetIsCall(call);
    for (CContractInfo& contract : series) {
        company.AddContract(std::move(contract));
    }
    return company;
}

} // namespace strikeline::test
