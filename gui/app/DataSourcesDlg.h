#pragma once

#include <QDialog>

class QLineEdit;
class QSpinBox;

namespace strikeline {

class CUserMessenger;

class CDataSources;

// "Data Sources": the addresses of the market data feed and of the web site, and the time
// and size limits of one file's download. OK refuses an address that is not an http or
// https address, with the focus left on it; the addresses are stored without a trailing
// "/".
class CDataSourcesDlg : public QDialog {
    Q_OBJECT

public:
    CDataSourcesDlg(CDataSources& sources, CUserMessenger& messages, QWidget* parent = nullptr);

    QLineEdit* FeedEdit() const { return m_Feed; }
    QLineEdit* SiteEdit() const { return m_Site; }
    QSpinBox* TimeLimitBox() const { return m_TimeLimit; }
    QSpinBox* SizeLimitBox() const { return m_SizeLimit; }

    void accept() override;

    // The address as stored, or an empty text when it is not a usable web address.
    static QString CleanAddress(const QString& text);

private:
    CDataSources& m_Sources;
    CUserMessenger& m_Messages;
    QLineEdit* m_Feed;
    QLineEdit* m_Site;
    QSpinBox* m_TimeLimit;
    QSpinBox* m_SizeLimit;
};

} // namespace strikeline
