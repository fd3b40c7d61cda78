#pragma once

#include "formats/formatselection.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qm {

class IFileDialogs;
class IHelp;
class IMessages;
struct FileOpenSpec;

// "Schnellauswahl-Experte": takes a format, a design and an optional table
// without creating an entry of the works catalogue. The caller sets the
// confirmation flag to false, shows the dialog modally and, when the flag is
// true, runs the three files. The edits keep their texts from one use to the
// next.
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

    // "&Benutzen": without a design or a format a message, and the dialog
    // stays open; otherwise confirms and closes.
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
    QComboBox *m_formatChoice;
    QList<FormatChoice> m_formatChoices;
};

} // namespace qm
