#pragma once

#include "platform/services.h"
#include "platform/stringtable.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qm {

class ITableEngine;

// "Neue Datenbank erstellen": creates an empty table with one character
// field per data field of the design shown in the database expert (its
// field list), and opens it.
class TDBerstellen : public QDialog
{
    Q_OBJECT

public:
    TDBerstellen(ITableEngine &table, const StringTable &fieldList, IMessages &messages,
        IFileDialogs &fileDialogs, QWidget *parent = nullptr);

    void showModal();
    void FormShow();
    void Button_DurchsuchenClick();
    // "Datenbank &anlegen"
    void Button_WeiterClick();
    void Button_AbbrechenClick();

    QLineEdit *dbname() const { return m_dbname; }
    // Where a table typed by a plain name is created and where
    // "&Durchsuchen" starts: the program's table folder.
    void setTableFolder(const QString &folder) { m_tableFolder = folder; }

Q_SIGNALS:
    // The new table is open.
    void tableCreated(const QString &path);

private:
    ITableEngine &m_table;
    const StringTable &m_fieldList;
    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    QLineEdit *m_dbname = nullptr;
    QString m_tableFolder;
};

// "Import von Daten im Text-Format": appends records to the open table from
// a text file with one value per line.
class TImportText : public QDialog
{
    Q_OBJECT

public:
    TImportText(ITableEngine &table, IMessages &messages, IFileDialogs &fileDialogs, IHelp &help,
        QString helpFilePath, QWidget *parent = nullptr);

    void showModal();
    void FormShow();
    void Button_DurchsuchenClick();
    void DateinameExit();
    void AnzahlChange();
    void AnzahlExit();
    void LEW16Click();
    // "&Importieren"
    void Button_WeiterClick();
    void Button_HilfeClick();

    QLineEdit *dateiname() const { return m_dateiname; }
    QLineEdit *anzahl() const { return m_anzahl; }
    QCheckBox *lew16() const { return m_lew16; }
    QPlainTextEdit *dateiinhalt() const { return m_inhalt; }
    QPlainTextEdit *datensatz() const { return m_datensatz; }

Q_SIGNALS:
    // Records were appended.
    void imported();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadFile();
    void showPreview(bool fromLineZero);
    // Checks Anzahl against the field count; false after a conversion error.
    bool checkAnzahl();

    ITableEngine &m_table;
    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    IHelp &m_help;
    QString m_helpPath;
    QStringList m_fieldNames;
    QStringList m_lines;

    QLineEdit *m_dateiname = nullptr;
    QPushButton *m_browse = nullptr;
    QLineEdit *m_anzahl = nullptr;
    QCheckBox *m_lew16 = nullptr;
    QPlainTextEdit *m_inhalt = nullptr;
    QPlainTextEdit *m_datensatz = nullptr;
};

} // namespace qm
