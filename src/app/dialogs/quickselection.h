#pragma once

#include "formats/formatselection.h"

#include <QDialog>

class QLabel;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace qm {

class IFileDialogs;
class IHelp;
class IMessages;
struct FileOpenSpec;

// "Schnellauswahl-Experte": takes a format, a design and a table without
// creating an entry of the works catalogue. The caller sets the working mode
// and the confirmation flag to false, shows the dialog modally and, when the
// flag is true, runs the three files in that mode. Only the files the mode
// reads are checked (QuickSelectionCheck). The edits keep their texts from
// one use to the next.
class TSchnellauswahlExperte : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 9;

    // programDir: the program directory, whose FORMATE, ETIKETT and DBANKEN
    // folders the file dialogs start in; helpFile: the program's help file.
    TSchnellauswahlExperte(bool &dialogConfirmed, IMessages &messages, IFileDialogs &fileDialogs, IHelp &help,
        QString programDir, QString helpFile, QWidget *parent = nullptr);

    // The texts of the edits `f`, `e` and `d`.
    QString formatFile() const;
    QString designFile() const;
    QString databaseFile() const;
    void setFormatFile(const QString &path);
    void setDesignFile(const QString &path);
    // The working mode the files are used in (1 .. 4; "Eingeben und
    // Drucken" until set); the window names what it reads.
    void setWorkingMode(int mode);
    int workingMode() const { return m_mode; }

    // "Durchsuchen" beside `f`, `e` and `d`: the chosen file replaces the
    // edit's text; cancelling keeps it.
    void Button_DForClick();
    void Button_DEtiClick();
    void Button_DDbfClick();
    // The formats of the catalogue by description (Formatkatalog, beside
    // `f`): read again each time the dialog is shown, the one whose file
    // `f` names shown; choosing one puts its file into `f`.
    void fillFormatChoices();
    void FormatkatalogChange(int index);
    QComboBox *formatChoiceBox() const { return m_formatChoice; }
    const QList<FormatChoice> &formatChoices() const { return m_formatChoices; }

    // "&Benutzen": a file the working mode reads that is not given or not
    // found gives a message, and the dialog stays open with the cursor in
    // its edit; otherwise the files found replace the names typed, and the
    // dialog confirms and closes.
    void Button_WeiterClick();
    // "&Abbrechen": closes unconfirmed.
    void Button_AbbrechenClick();
    // Help topic 9 of the program's help file.
    void Button_HilfeClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void browse(QLineEdit *edit, const FileOpenSpec &spec);

    bool &m_confirmed;
    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    IHelp &m_help;
    QString m_programDir;
    QString m_helpFile;
    QLineEdit *m_f;
    QLineEdit *m_e;
    QLineEdit *m_d;
    QLabel *m_modeText;
    int m_mode = 1;
    QComboBox *m_formatChoice;
    QList<FormatChoice> m_formatChoices;
};

} // namespace qm
