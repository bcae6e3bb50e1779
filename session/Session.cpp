#include "session/Session.h"

#include <iostream>

namespace strikeline {

CSession::CSession(std::string dataFolder, CUserMessenger* messenger)
    : m_DataFolder(std::move(dataFolder)), m_ErrorStream(std::cerr),
      m_Messenger(messenger != nullptr ? messenger : &m_ErrorStream) {}

CColorScheme CSession::ColorScheme() {
    const CApplicationStateLock lock(m_State);
    return m_State.ColorScheme();
}

} // namespace strikeline
