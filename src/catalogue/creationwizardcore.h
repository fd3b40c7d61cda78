#pragma once

#include "programdir/programdirectory.h"

#include <QString>

#include <optional>

namespace qm {

class IMessages;
class WorksCatalogue;

// What the creation wizard "Erstellungs-Experte" shows: the hidden mode,
// the area, the four edits, the page of the step and the state of the two
// step buttons.
struct CreationWizardView
{
    enum class Focus { None, Name, Format, Design };

    QString modus = QStringLiteral("N"); // "N" new entry, "B" change an entry
    QString bereich = QStringLiteral("---");
    QString bezeichnung;
    QString formatDateiname;
    QString etikettenDateiname;
    QString datenbankDateiname;
    int step = 0; // 0 .. 4, the page shown
    bool backEnabled = false;
    bool nextEnabled = true;
    Focus focus = Focus::None;
};

// The rules of the creation wizard: five steps (name, sheet format, design,
// table, save) over a plain view, so that the window only copies texts in
// and out. Messages go to IMessages.
class CreationWizardCore
{
public:
    static constexpr int LastStep = 4;
    static constexpr int MaxNameLength = 75;

    CreationWizardCore(CreationWizardView &view, IMessages &messages);

    // FormShow: the first page; in mode "N" the four edits are emptied, in
    // mode "B" they keep what the caller put there.
    void show();
    // "&Weiter >>": the name, the format and the design must not be empty
    // before their step is left; the table may stay empty.
    void next();
    // "<< &Zurück".
    void back();

    // "Eintrag speichern": in mode "N" the entry is appended to the works
    // catalogue and the user is told; in mode "B" nothing is written (the
    // caller changes the entry). True when the wizard is to close confirmed;
    // a file error is thrown and leaves the wizard open.
    bool save(WorksCatalogue &catalogue);

    // "De&sign-Experte benutzen", first step: the label size of the format
    // in whole millimetres (the last label of the file), from the path or
    // else from FORMATE of the program directory, whose path then goes into
    // the view. Nothing, with "Formatdatei nicht gefunden !", when neither
    // exists.
    std::optional<std::pair<int, int>> labelSizeForDesign(const ProgramDirectory &dir);

private:
    void showStep(int step);

    CreationWizardView &m_view;
    IMessages &m_messages;
};

} // namespace qm
