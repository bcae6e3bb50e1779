#pragma once

#include "gui/app/Application.h"
#include "gui/app/MainFrame.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

namespace strikeline::test {

// The real program on folders of its own, with no feed or site to reach: its messages are
// kept in Messages(), and Start() shows its main window. Closing it at the end writes the
// settings into its own folder, as quitting does.
class CProgramUnderTest {
public:
    CProgramUnderTest()
        : m_Feed("STRIKELINE_FEED_URL", "http://127.0.0.1:9"),
          m_Site("STRIKELINE_SITE_URL", "http://127.0.0.1:9"),
          m_App(CStartOptions{m_Folder.File("data"), m_Folder.File("settings.reg"),
                              QString::fromStdString(m_Folder.File("instance")), false,
                              &m_Messages}) {}
    ~CProgramUnderTest() {
        if (m_Started) {
            m_App.MainFrame()->close();
            m_App.ExitInstance(0);
        }
    }
    CProgramUnderTest(const CProgramUnderTest&) = delete;
    CProgramUnderTest& operator=(const CProgramUnderTest&) = delete;

    bool Start() {
        m_Started = m_App.InitInstance();
        return m_Started;
    }
    CMainFrame& Frame() { return *m_App.MainFrame(); }
    CSession& Session() { return m_App.Session(); }
    CUserMessageLog& Messages() { return m_Messages; }

private:
    CTempFolder m_Folder;
    CScopedEnv m_Feed;
    CScopedEnv m_Site;
    CUserMessageLog m_Messages;
    CApplication m_App;
    bool m_Started = false;
};

} // namespace strikeline::test
