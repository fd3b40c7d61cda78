#pragma once

#include <QString>

namespace qm {

// What the editor shows in its property dialogs and reads back from them.
// The texts are passed on as typed; numbers are only converted when the
// element is used.
//
// takeCurrent is the check box "Aktuelle Werte für Schriftart und Farbe
// übernehmen.": checked and disabled when an element is created, unchecked
// and enabled when an existing one is changed.

struct TextProperties // TEditorText
{
    QString text; // T
    QString rotation = QStringLiteral("0"); // TA
    bool takeCurrent = false; // TSF
    bool takeCurrentEnabled = true;
};

struct FieldProperties // TEditorFeld
{
    QString name; // F
    QString size = QStringLiteral("1"); // FG
    QString rotation = QStringLiteral("0"); // FA
    bool takeCurrent = false; // FSF
    bool takeCurrentEnabled = true;
};

struct SerialProperties // TEditorSonder
{
    bool serialNumber = true; // M1 "Seriennummer", else M2 the date
    QString before; // TV
    QString after; // TN
    QString rotation = QStringLiteral("0"); // SA
    bool takeCurrent = false; // SSF
    bool takeCurrentEnabled = true;
};

// A barcode: its kind (the number of the BC record, 0 EAN-13 ... 7
// ITF-14), the data field it prints and the field's size (1 to 500).
struct BarcodeProperties // TEditorBarcode
{
    int kind = 0;
    QString name;
    QString size = QStringLiteral("12");
    bool operator==(const BarcodeProperties &) const = default;
};

struct SizeProperties // TEditorGroesse
{
    QString width; // Breite, whole millimetres
    QString height; // Hoehe
    QString description; // Besch
};

// The modal dialogs as the editor uses them: each call fills the
// dialog from the values, shows it modally and, when the user confirms,
// copies what the dialog holds back. Returns whether it was confirmed; a
// cancelled dialog leaves the values alone.
class IPropertyDialogs
{
public:
    virtual ~IPropertyDialogs() = default;
    virtual bool editText(TextProperties &values) = 0;
    virtual bool editField(FieldProperties &values) = 0;
    virtual bool editSerial(SerialProperties &values) = 0;
    virtual bool editSize(SizeProperties &values) = 0;
    virtual bool editBarcode(BarcodeProperties &values) = 0;
};

} // namespace qm
