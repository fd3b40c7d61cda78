#pragma once

#include "catalogue/creationwizardcore.h"
#include "catalogue/worksfiles.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace qm {

class IFileDialogs;
class IHelp;
class IMessages;
class WorksCatalogue;
struct FileOpenSpec;

// The windows the wizard's three expert buttons open, each shown modally;
// each returns the file the user took over, or an empty text. A button
// whose window is not given stays disabled.
struct CreationWizardExperts
{
    // The format selection: the chosen format file.
    std::function<QString()> format;
    // The design editor for a new design of the label size in millimetres,
    // described by the entry's name: the path of the saved design.
    std::function<QString(int widthMm, int heightMm, const QString &name)> design;
    // The database expert for the design: the path of the table.
    std::function<QString(const QString &designFile)> database;
};

// "Erstellungs-Experte": names a new entry of the works catalogue and
// chooses its format, design and table in five steps, or changes an
// existing entry. The caller sets the mode and the values with prepare(),
// sets the confirmation flag to false and shows the dialog modally; the
// rules live in CreationWizardCore.
class TErstellungsExperte : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 5;

    TErstellungsExperte(bool &dialogConfirmed, WorksCatalogue &catalogue, IMessages &messages,
        IFileDialogs &fileDialogs, IHelp &help, ProgramDirectory dir, QWidget *parent = nullptr);

    void setExperts(CreationWizardExperts experts);

    // Mode "N" (new entry, the values are emptied when shown) or "B"
    // (change the entry whose values are given), with the area name.
    void prepare(const QString &modus, const QString &area, const WorksEntry &values = {});

    // The four values as they stand in the edits.
    WorksEntry values() const;
    int step() const { return m_view.step; }

    void FormShow();
    void Button_WeiterClick();
    void Button_ZurueckClick();
    void Button_FrDurchsuchenClick();
    void Button_FormatExperteClick();
    void Button1Click(); // "&Durchsuchen" for the design
    void Button2Click(); // "De&sign-Experte benutzen"
    void Button3Click(); // "&Durchsuchen" for the table
    void Button4Click(); // "Daten&bank-Experte benutzen"
    void Button_EintragSichernClick();
    void Button_AbbrechenClick();
    void Button_HilfeClick();

    // Escape and the close box cancel like "&Abbrechen".
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makePage(int step, const QString &heading, const QString &explanation);
    QPushButton *makeButton(const QString &caption, const char *name, void (TErstellungsExperte::*handler)());
    QLineEdit *makeEdit(const char *name);
    void browse(QLineEdit *edit, const FileOpenSpec &spec);
    void takeTypedTexts();
    void showView();
    void enableExperts();

    bool &m_confirmed;
    WorksCatalogue &m_catalogue;
    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    IHelp &m_help;
    ProgramDirectory m_dir;
    CreationWizardExperts m_experts;
    CreationWizardView m_view;
    CreationWizardCore m_core;

    QLabel *m_modus = nullptr;
    QLabel *m_bereich = nullptr;
    QLineEdit *m_bezeichnung = nullptr;
    QLineEdit *m_format = nullptr;
    QLineEdit *m_design = nullptr;
    QLineEdit *m_database = nullptr;
    QStackedWidget *m_pages = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_formatExpert = nullptr;
    QPushButton *m_designExpert = nullptr;
    QPushButton *m_databaseExpert = nullptr;
};

} // namespace qm
