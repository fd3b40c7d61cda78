#pragma once

#include "editor/propertydialogs.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace qm {

// An up-down spinner beside an edit (Windows' "up-down control"): its
// position moves by one per click between the bounds and is written into
// the edit. The edit itself takes any text; the position follows only the
// clicks and setPosition().
class TUpDown : public QWidget
{
    Q_OBJECT

public:
    TUpDown(QLineEdit *associate, int minimum, int maximum, QWidget *parent = nullptr);
    int position() const { return m_position; }
    void setPosition(int position);
    // Takes the edit's text as position when it is a whole number in range.
    void takeEditText();
    void stepUp() { step(1); }
    void stepDown() { step(-1); }

Q_SIGNALS:
    // Raised before each click changes the position.
    void changing();

private:
    void step(int by);
    QLineEdit *m_edit;
    int m_minimum;
    int m_maximum;
    int m_position;
};

// What the four property dialogs share: "&Übernehmen" (the default button,
// Enter) sets the confirmation flag and closes, "&Abbrechen" clears it and
// closes; the close box closes without touching it. A help button is there
// but hidden.
class TEditorDialog : public QDialog
{
    Q_OBJECT

public:
    TEditorDialog(bool &dialogConfirmed, const QString &caption, QWidget *parent);
    void Button_WeiterClick();
    void Button_AbbrechenClick();

protected:
    // The content above the buttons.
    void setContent(QLayout *content);
    void showEvent(QShowEvent *event) override;
    // The control that takes the focus on showing (none: the default).
    QWidget *m_focus = nullptr;

private:
    bool &m_confirmed;
};

// "Text bearbeiten": T, TA with TAToggler (0..360), TSF.
class TEditorText : public TEditorDialog
{
    Q_OBJECT

public:
    explicit TEditorText(bool &dialogConfirmed, QWidget *parent = nullptr);
    void setValues(const TextProperties &values);
    TextProperties values() const;

private:
    QLineEdit *m_text;
    QLineEdit *m_rotation;
    TUpDown *m_rotationUpDown;
    QCheckBox *m_takeCurrent;
};

// "Feld bearbeiten": F, FG with FGToggler (1..80), FA with UpDown1
// (0..360), FSF.
class TEditorFeld : public TEditorDialog
{
    Q_OBJECT

public:
    explicit TEditorFeld(bool &dialogConfirmed, QWidget *parent = nullptr);
    void setValues(const FieldProperties &values);
    FieldProperties values() const;
    // Either up-down is about to change: FG shows FGToggler's position.
    void FGTogglerChanging();

private:
    QLineEdit *m_name;
    QLineEdit *m_size;
    TUpDown *m_sizeUpDown;
    QLineEdit *m_rotation;
    TUpDown *m_rotationUpDown;
    QCheckBox *m_takeCurrent;
};

// "Sonderelement bearbeiten": M1 / M2, TV, TN, SA with TAToggler, SSF.
class TEditorSonder : public TEditorDialog
{
    Q_OBJECT

public:
    explicit TEditorSonder(bool &dialogConfirmed, QWidget *parent = nullptr);
    void setValues(const SerialProperties &values);
    SerialProperties values() const;

private:
    QRadioButton *m_serial;
    QRadioButton *m_date;
    QLineEdit *m_before;
    QLineEdit *m_after;
    QLineEdit *m_rotation;
    TUpDown *m_rotationUpDown;
    QCheckBox *m_takeCurrent;
};

// "Größe und Beschreibung": Breite, Hoehe (whole millimetres), Besch.
class TEditorGroesse : public TEditorDialog
{
    Q_OBJECT

public:
    explicit TEditorGroesse(bool &dialogConfirmed, QWidget *parent = nullptr);
    void setValues(const SizeProperties &values);
    SizeProperties values() const;

private:
    QLineEdit *m_width;
    QLineEdit *m_height;
    QLineEdit *m_description;
};

// "Barcode bearbeiten": Art (the kinds in the order of their numbers), BF
// the field name, BG the field size with BGToggler (1..500). Choosing
// another kind offers that kind's field size while the size is still the
// one offered for the kind before.
class TEditorBarcode : public TEditorDialog
{
    Q_OBJECT

public:
    explicit TEditorBarcode(bool &dialogConfirmed, QWidget *parent = nullptr);
    void setValues(const BarcodeProperties &values);
    BarcodeProperties values() const;
    void ArtChange(int kind);

private:
    QComboBox *m_kind;
    QLineEdit *m_name;
    QLineEdit *m_size;
    TUpDown *m_sizeUpDown;
    int m_shownKind = 0;
};

// The property dialogs shown modally for the editor core.
class WidgetPropertyDialogs : public IPropertyDialogs
{
public:
    WidgetPropertyDialogs(bool &dialogConfirmed, QWidget *parent);
    bool editText(TextProperties &values) override;
    bool editField(FieldProperties &values) override;
    bool editSerial(SerialProperties &values) override;
    bool editSize(SizeProperties &values) override;
    bool editBarcode(BarcodeProperties &values) override;

    TEditorText *textDialog() const { return m_text; }
    TEditorFeld *fieldDialog() const { return m_field; }
    TEditorSonder *serialDialog() const { return m_serial; }
    TEditorGroesse *sizeDialog() const { return m_size; }
    TEditorBarcode *barcodeDialog() const { return m_barcode; }

private:
    template <typename Dialog, typename Values> bool run(Dialog *dialog, Values &values);
    bool &m_confirmed;
    TEditorText *m_text;
    TEditorFeld *m_field;
    TEditorSonder *m_serial;
    TEditorGroesse *m_size;
    TEditorBarcode *m_barcode;
};

} // namespace qm
