#pragma once

#include "formats/formatselection.h"
#include "formats/sheetformat.h"
#include "printing/printers/printerchoice.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTreeWidget;

namespace qm {

class IFileDialogs;
class IMessages;
class IWaiter;
class QtPrinterAccess;

// "Ausrichtung prüfen": what the user reads off the calibration sheet, in
// tenths of a millimetre: the cross-hair's deviation at the first label and
// the measured length of the two 100 mm rulers.
class TAusrichtung : public QDialog
{
public:
    explicit TAusrichtung(QWidget *parent = nullptr);
    CalibrationReading reading() const;
    void setReading(const CalibrationReading &reading);

private:
    QSpinBox *m_deviationX;
    QSpinBox *m_deviationY;
    QSpinBox *m_rulerX;
    QSpinBox *m_rulerY;
};

// "&Druckparameter ...": the printers of the system (name, location, state,
// correction), the choice of the one Quillmark prints to, its page set-up,
// its calibration, and "Ohne Wartezeiten drucken" (kept as soon as it is
// changed, as a calibration is). The rules are PrinterChoiceCore's and
// PrinterSettings'; the handlers are public for the tests.
class TDruckparameter : public QDialog
{
public:
    // Asks for the reading once the calibration sheet is printed; nothing
    // when cancelled. A TAusrichtung by default.
    using ReadingQuestion = std::function<std::optional<CalibrationReading>(QWidget *parent)>;

    TDruckparameter(QtPrinterAccess &printers, ISettings &settings, IMessages &messages,
        IFileDialogs &fileDialogs, IWaiter &waiter, QString formatFolder, QWidget *parent = nullptr);

    QTreeWidget *list() const { return m_list; }
    // The format of the calibration sheet: the first item asks for a file,
    // the others are the formats of the catalogue by description.
    QComboBox *formatBox() const { return m_formatBox; }
    // "Ohne Wartezeiten drucken".
    QCheckBox *withoutWaitsBox() const { return m_withoutWaits; }
    PrinterChoiceCore &core() { return m_core; }
    void setReadingQuestion(ReadingQuestion question) { m_askReading = std::move(question); }

    // "&Einrichten ...": the system's dialog for the selected printer.
    void EinrichtenClick();
    // "Ausrichtung prüfen ...": the format chosen beside it (or one asked
    // for with the file dialog), the sheet on the selected printer (or into
    // a PDF file), then the reading and its correction.
    void AusrichtungClick();
    // "&Übernehmen": the selected printer is the one Quillmark prints to.
    void UebernehmenClick();
    // "Ohne Wartezeiten drucken" changed: kept in the settings; a setting
    // that cannot be written is named and the box shows the stored state.
    void OhneWartezeitenClick();

private:
    void fill();
    int selectedRow() const;

    QtPrinterAccess &m_printers;
    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    IWaiter &m_waiter;
    ISettings &m_settings;
    QString m_formatFolder;
    PrinterChoiceCore m_core;
    QTreeWidget *m_list;
    QComboBox *m_formatBox;
    QCheckBox *m_withoutWaits;
    QList<FormatChoice> m_formatChoices;
    ReadingQuestion m_askReading;
};

} // namespace qm
