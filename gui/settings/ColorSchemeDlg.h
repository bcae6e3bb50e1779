#pragma once

#include "gui/widgets/ComplexTableWnd.h"
#include "reports/ReportBuilder.h"
#include "storage/ColorScheme.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace strikeline {

class CUserMessenger;

class CColorButtonWnd;

// "Colour Scheme Settings": edits a copy of a colour scheme (the table font and the colours
// of every kind of table cell), loads and saves scheme files, and shows a sample report
// block in the edited scheme after every change. OK leaves the edited scheme in Scheme();
// nothing outside the dialog changes before the caller takes it.
class CColorSchemeDlg : public QDialog {
    Q_OBJECT

public:
    // Asks for a scheme file to read or to write; an empty path means the user cancelled.
    using CFileChooser = std::function<QString(QWidget* parent)>;
    // Asks for a colour starting from `initial`; nothing when the user cancelled.
    using CColorChooser =
        std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;

    static constexpr int kButtonCount = 7;
    static constexpr unsigned kSmallestListedSize = 7;
    static constexpr unsigned kLargestListedSize = 16;

    // `mouseButtonsSwapped`: the user's primary button is the right one; only the help
    // line's wording changes, the primary button still edits the background.
    CColorSchemeDlg(const CColorScheme& scheme, CUserMessenger& messages, QWidget* parent = nullptr,
                    bool mouseButtonsSwapped = false);

    const CColorScheme& Scheme() const { return m_Scheme; }
    // What "Restore Default" puts back: the built-in default the windows show, which is
    // the dark one on a dark desktop.
    void SetDefaultScheme(const CColorScheme& scheme) { m_DefaultScheme = scheme; }

    // The defaults are the desktop's file and colour dialogs.
    void SetOpenFileChooser(CFileChooser chooser) { m_OpenFile = std::move(chooser); }
    void SetSaveFileChooser(CFileChooser chooser) { m_SaveFile = std::move(chooser); }
    void SetColorChooser(CColorChooser chooser) { m_ChooseColor = std::move(chooser); }

    static QString HelpText(bool mouseButtonsSwapped);
    // The families offered in the font list: those that write Latin text, sorted.
    static QStringList FontFamilies();

    QLabel* HelpLabel() const { return m_Help; }
    // In caption order: "Normal Text", "Company Header", ..., "Leverage Cost".
    CColorButtonWnd* ColorButton(int index) const;
    QComboBox* FontList() const { return m_FontList; }
    QComboBox* SizeList() const { return m_SizeList; }
    QPushButton* RestoreDefaultButton() const { return m_RestoreDefault; }
    QPushButton* LoadButton() const { return m_Load; }
    QPushButton* SaveButton() const { return m_Save; }
    QWidget* PreviewArea() const { return m_PreviewArea; }
    // The sample block drawn in the edited scheme; a new one after every change.
    CComplexTableWnd* PreviewTable() const { return m_PreviewTable; }

    // "Restore Default", "Load Colors" and "Save Colors".
    void RestoreDefaults();
    void LoadColors();
    void SaveColors();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EditColor(int index, Qt::MouseButton button);
    void OnFontChosen(int index);
    void OnSizeChosen(int index);
    // Shows the scheme in the lists and on the buttons, then redraws the preview.
    void SchemeChanged();
    void RebuildPreview();
    void PlacePreviewTable();

    CColorScheme m_Scheme;
    CColorScheme m_DefaultScheme;
    CUserMessenger& m_Messages;
    // The sample share and its series; the preview table reads its figures from here.
    CReportBlock m_SampleBlock;
    CFileChooser m_OpenFile;
    CFileChooser m_SaveFile;
    CColorChooser m_ChooseColor;
    QLabel* m_Help;
    std::array<CColorButtonWnd*, kButtonCount> m_Buttons{};
    QComboBox* m_FontList;
    QComboBox* m_SizeList;
    QPushButton* m_RestoreDefault;
    QPushButton* m_Load;
    QPushButton* m_Save;
    QWidget* m_PreviewArea;
    QPointer<CComplexTableWnd> m_PreviewTable;
    bool m_ShowingScheme = false;
};

} // namespace strikeline
