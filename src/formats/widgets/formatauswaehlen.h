#pragma once

#include "formats/formatselection.h"

#include <QDialog>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace qm {

class IFileDialogs;
class IHelp;
class IMessages;
class ProgramDirectory;
class StockSearchDialog;

// The format selection ("Format auswählen"): the format catalogue by area,
// with new, change and delete through the format expert and the import of
// label-stock template files, and the search of the label-stock index
// ("&Suchen ...", StockSearchDialog), whose sheet "Übernehmen" enters under
// "Individuelle Formate". The rules live in FormatSelectionCore.
//
// Two ways to open it, both modal:
// - manageFormats(): mode "N" from the main window, to manage the formats;
//   "OK" only closes.
// - chooseFormat(): mode "E" for a wizard that needs the format of a new
//   entry; "Übernehmen" hands over the file of the clicked format (as stored
//   in the catalogue: a full path or a plain file name in FORMATE), which
//   chooseFormat() returns; nothing when no format was clicked or the
//   dialog was cancelled. A sheet taken over from the label-stock search is
//   entered and handed over at once.
// The dialog confirmation flag is false afterwards in both modes.
class TFormatAuswaehlen : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 1;

    TFormatAuswaehlen(const ProgramDirectory &dir, bool &dialogConfirmed, IMessages &messages,
        IFileDialogs &fileDialogs, IHelp &help, QString helpFilePath, IFormatExpert &expert,
        QWidget *parent = nullptr);

    void manageFormats();
    std::optional<QString> chooseFormat();

    // The hidden label Modus: "N" or "E"; set before showing.
    void setModus(const QString &mode);
    QString modus() const { return m_mode; }
    // What "Übernehmen" handed over at the last showing in mode "E".
    std::optional<QString> chosenFormatFile() const { return m_chosen; }

    void FormShow();
    void ListBereichClick(int row);
    void ListFormatClick(int row);
    void Button_OkClick();
    void Button_NeuClick();
    void Button_AendernClick();
    void Button_LoeschenClick();
    void Button_ImportierenClick();
    void Button_SuchenClick();
    void Button_AbbrechenClick();
    void Button_HilfeClick();
    void reject() override;

    const FormatSelectionView &view() const { return m_view; }
    const FormatSelectionCore &core() const { return m_core; }
    QListWidget *areaList() const { return m_areas; }
    QListWidget *formatList() const { return m_formats; }
    QPushButton *okButton() const { return m_ok; }
    // The label-stock search; its index is read from the program's own at
    // its first showing unless sheets were given to its core before.
    StockSearchDialog *stockSearch() const { return m_stockSearch; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showView();

    bool &m_confirmed;
    IHelp &m_help;
    QString m_helpFilePath;
    FormatSelectionCore m_core;
    FormatSelectionView m_view;
    QString m_mode = QStringLiteral("N");
    std::optional<QString> m_chosen;
    bool m_showing = false;

    QListWidget *m_areas = nullptr;
    QListWidget *m_formats = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_search = nullptr;
    StockSearchDialog *m_stockSearch = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_helpButton = nullptr;
};

} // namespace qm
