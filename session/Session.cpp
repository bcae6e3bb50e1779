#include "session/Session.h"

#include "storage/BuiltInSchemes.h"

#include <iostream>

namespace strikeline {

CSession::CSession(std::string dataFolder, CUserMessenger* messenger)
    : m_DataFolder(std::move(dataFolder)), m_ErrorStream(std::cerr),
      m_Messenger(messenger != nullptr ? messenger : &m_ErrorStream) {}

CColorScheme CSession::ColorScheme() {
    const CApplicationStateLock lock(m_State);
    return SchemeForDesktop(m_State.ColorScheme(), m_DarkDesktop);
}

CColorScheme CSession::StoredColorScheme() {
    const CApplicationStateLock lock(m_State);
    return m_State.ColorScheme();
}

std::shared_ptr<const CMarketAnalytics> CSession::Analytics() const {
    const std::shared_ptr<const CMarketSnapshot> current = m_Market.Current();
    const std::lock_guard lock(m_AnalyticsMutex);
    return m_AnalyticsMarket && m_AnalyticsMarket->SharesPricesWith(*current) ? m_Analytics
                                                                              : nullptr;
}

void CSession::PublishAnalytics(std::shared_ptr<const CMarketAnalytics> analytics,
                                const std::shared_ptr<const CMarketSnapshot>& market) {
    const std::lock_guard lock(m_AnalyticsMutex);
    m_Analytics = std::move(analytics);
    m_AnalyticsMarket = market;
}

} // namespace strikeline
