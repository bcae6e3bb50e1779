#include "marketdata/DividendList.h"

#include "marketdata/CompanyList.h"

#include <algorithm>

namespace strikeline {

std::optional<CDailyOptionTradesEntry> CDividendList::Find(std::string_view code) const {
    const auto lock = Lock();
    const auto it =
        std::find_if(m_Entries.begin(), m_Entries.end(), [&](const CDailyOptionTradesEntry& entry) {
            return SameCode(entry.code, code);
        });
    if (it == m_Entries.end()) {
        return std::nullopt;
    }
    return *it;
}

std::vector<CDailyOptionTradesEntry> CDividendList::Copy() const {
    const auto lock = Lock();
    return m_Entries;
}

void CDividendList::Replace(std::vector<CDailyOptionTradesEntry> entries) {
    const auto lock = Lock();
    m_Entries = std::move(entries);
}

CDividendList& GetDividends() {
    static CDividendList list;
    return list;
}

} // namespace strikeline
