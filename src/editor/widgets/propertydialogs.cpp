#include "propertydialogs.h"

#include "designs/barcode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {
namespace {

QLineEdit *edit(QWidget *parent, const char *name, int maxLength = 0)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0) {
        e->setMaxLength(maxLength);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QString(maxLength + 2, u'0')) + 8);
    }
    return e;
}

// The edit with its up-down beside it.
QWidget *withUpDown(QLineEdit *e, TUpDown *upDown, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(e);
    row->addWidget(upDown);
    row->addStretch();
    return box;
}

const char *const TakeCurrentText
    = QT_TRANSLATE_NOOP("qm::TEditorDialog", "Aktuelle Werte für Schriftart und Farbe übernehmen.");

} // namespace

// ---------------------------------------------------------------------------

TUpDown::TUpDown(QLineEdit *associate, int minimum, int maximum, QWidget *parent)
    : QWidget(parent)
    , m_edit(associate)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_position(minimum)
{
    auto *up = new QToolButton(this);
    auto *down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    const int h = std::max(10, associate->sizeHint().height() / 2);
    for (QToolButton *b : { up, down })
        b->setFixedSize(16, h);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(up);
    column->addWidget(down);
    connect(up, &QToolButton::clicked, this, &TUpDown::stepUp);
    connect(down, &QToolButton::clicked, this, &TUpDown::stepDown);
}

void TUpDown::setPosition(int position)
{
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void TUpDown::takeEditText()
{
    bool ok = false;
    const int value = m_edit->text().trimmed().toInt(&ok);
    if (ok && value >= m_minimum && value <= m_maximum)
        m_position = value;
}

void TUpDown::step(int by)
{
    // From the number the edit shows, typed or not.
    takeEditText();
    Q_EMIT changing();
    m_position = std::clamp(m_position + by, m_minimum, m_maximum);
    m_edit->setText(QString::number(m_position));
}

// ---------------------------------------------------------------------------

TEditorDialog::TEditorDialog(bool &dialogConfirmed, const QString &caption, QWidget *parent)
    : QDialog(parent)
    , m_confirmed(dialogConfirmed)
{
    setWindowTitle(caption);
    setModal(true);
}

void TEditorDialog::setContent(QLayout *content)
{
    auto *weiter = new QPushButton(tr("&Übernehmen"), this);
    weiter->setObjectName(QStringLiteral("Button_Weiter"));
    weiter->setDefault(true);
    weiter->setAutoDefault(true);
    auto *abbrechen = new QPushButton(tr("&Abbrechen"), this);
    abbrechen->setObjectName(QStringLiteral("Button_Abbrechen"));
    abbrechen->setAutoDefault(false);
    auto *hilfe = new QPushButton(tr("&Hilfe"), this);
    hilfe->setObjectName(QStringLiteral("Button_Hilfe"));
    hilfe->setVisible(false);
    connect(weiter, &QPushButton::clicked, this, &TEditorDialog::Button_WeiterClick);
    connect(abbrechen, &QPushButton::clicked, this, &TEditorDialog::Button_AbbrechenClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(weiter);
    buttons->addWidget(abbrechen);
    buttons->addWidget(hilfe);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TEditorDialog::Button_WeiterClick()
{
    m_confirmed = true;
    accept();
}

void TEditorDialog::Button_AbbrechenClick()
{
    m_confirmed = false;
    reject();
}

void TEditorDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_focus)
        m_focus->setFocus();
}

// ---------------------------------------------------------------------------

TEditorText::TEditorText(bool &dialogConfirmed, QWidget *parent)
    : TEditorDialog(dialogConfirmed, tr("Text bearbeiten"), parent)
    , m_text(edit(this, "T"))
    , m_rotation(edit(this, "TA", 3))
    , m_rotationUpDown(new TUpDown(m_rotation, 0, 360, this))
    , m_takeCurrent(new QCheckBox(QCoreApplication::translate("qm::TEditorDialog", TakeCurrentText), this))
{
    setObjectName(QStringLiteral("TEditorText"));
    m_rotationUpDown->setObjectName(QStringLiteral("TAToggler"));
    m_takeCurrent->setObjectName(QStringLiteral("TSF"));
    m_text->setMinimumWidth(320);
    m_rotation->setText(QStringLiteral("0"));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Textzeile"), this), 0, 0);
    grid->addWidget(m_text, 0, 1);
    grid->addWidget(new QLabel(tr("Drehung"), this), 1, 0);
    grid->addWidget(withUpDown(m_rotation, m_rotationUpDown, this), 1, 1);
    grid->addWidget(m_takeCurrent, 2, 0, 1, 2);
    setContent(grid);
    m_focus = m_text;
}

void TEditorText::setValues(const TextProperties &v)
{
    m_text->setText(v.text);
    m_rotation->setText(v.rotation);
    m_rotationUpDown->takeEditText();
    m_takeCurrent->setChecked(v.takeCurrent);
    m_takeCurrent->setEnabled(v.takeCurrentEnabled);
}

TextProperties TEditorText::values() const
{
    return { m_text->text(), m_rotation->text(), m_takeCurrent->isChecked(), m_takeCurrent->isEnabled() };
}

// ---------------------------------------------------------------------------

TEditorFeld::TEditorFeld(bool &dialogConfirmed, QWidget *parent)
    : TEditorDialog(dialogConfirmed, tr("Feld bearbeiten"), parent)
    , m_name(edit(this, "F"))
    , m_size(edit(this, "FG", 2))
    , m_sizeUpDown(new TUpDown(m_size, 1, 80, this))
    , m_rotation(edit(this, "FA", 3))
    , m_rotationUpDown(new TUpDown(m_rotation, 0, 360, this))
    , m_takeCurrent(new QCheckBox(QCoreApplication::translate("qm::TEditorDialog", TakeCurrentText), this))
{
    setObjectName(QStringLiteral("TEditorFeld"));
    m_sizeUpDown->setObjectName(QStringLiteral("FGToggler"));
    m_rotationUpDown->setObjectName(QStringLiteral("UpDown1"));
    m_takeCurrent->setObjectName(QStringLiteral("FSF"));
    m_name->setMinimumWidth(240);
    m_size->setText(QStringLiteral("1"));
    m_rotation->setText(QStringLiteral("0"));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Feldname"), this), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(tr("Feldgröße"), this), 1, 0);
    grid->addWidget(withUpDown(m_size, m_sizeUpDown, this), 1, 1);
    grid->addWidget(new QLabel(tr("Drehung"), this), 2, 0);
    grid->addWidget(withUpDown(m_rotation, m_rotationUpDown, this), 2, 1);
    grid->addWidget(m_takeCurrent, 3, 0, 1, 2);
    setContent(grid);
    m_focus = m_name;
    connect(m_sizeUpDown, &TUpDown::changing, this, &TEditorFeld::FGTogglerChanging);
    connect(m_rotationUpDown, &TUpDown::changing, this, &TEditorFeld::FGTogglerChanging);
}

void TEditorFeld::FGTogglerChanging()
{
    m_sizeUpDown->takeEditText(); // a typed size is kept, not reset
    m_size->setText(QString::number(m_sizeUpDown->position()));
}

void TEditorFeld::setValues(const FieldProperties &v)
{
    m_name->setText(v.name);
    m_size->setText(v.size);
    m_sizeUpDown->takeEditText();
    m_rotation->setText(v.rotation);
    m_rotationUpDown->takeEditText();
    m_takeCurrent->setChecked(v.takeCurrent);
    m_takeCurrent->setEnabled(v.takeCurrentEnabled);
}

FieldProperties TEditorFeld::values() const
{
    return { m_name->text(), m_size->text(), m_rotation->text(), m_takeCurrent->isChecked(),
        m_takeCurrent->isEnabled() };
}

// ---------------------------------------------------------------------------

TEditorSonder::TEditorSonder(bool &dialogConfirmed, QWidget *parent)
    : TEditorDialog(dialogConfirmed, tr("Sonderelement bearbeiten"), parent)
    , m_serial(new QRadioButton(tr("Seriennummer"), this))
    , m_date(new QRadioButton(tr("Aktuelles Datum eintragen"), this))
    , m_before(edit(this, "TV"))
    , m_after(edit(this, "TN"))
    , m_rotation(edit(this, "SA", 3))
    , m_rotationUpDown(new TUpDown(m_rotation, 0, 360, this))
    , m_takeCurrent(new QCheckBox(QCoreApplication::translate("qm::TEditorDialog", TakeCurrentText), this))
{
    setObjectName(QStringLiteral("TEditorSonder"));
    m_serial->setObjectName(QStringLiteral("M1"));
    m_date->setObjectName(QStringLiteral("M2"));
    m_rotationUpDown->setObjectName(QStringLiteral("TAToggler"));
    m_takeCurrent->setObjectName(QStringLiteral("SSF"));
    m_serial->setChecked(true);
    m_rotation->setText(QStringLiteral("0"));
    auto *grid = new QGridLayout;
    grid->addWidget(m_serial, 0, 0, 1, 2);
    grid->addWidget(m_date, 1, 0, 1, 2);
    grid->addWidget(new QLabel(tr("Text vorstellen"), this), 2, 0);
    grid->addWidget(m_before, 2, 1);
    grid->addWidget(new QLabel(tr("Text anhängen"), this), 3, 0);
    grid->addWidget(m_after, 3, 1);
    grid->addWidget(new QLabel(tr("Drehung"), this), 4, 0);
    grid->addWidget(withUpDown(m_rotation, m_rotationUpDown, this), 4, 1);
    grid->addWidget(m_takeCurrent, 5, 0, 1, 2);
    setContent(grid);
}

void TEditorSonder::setValues(const SerialProperties &v)
{
    m_serial->setChecked(v.serialNumber);
    m_date->setChecked(!v.serialNumber);
    m_before->setText(v.before);
    m_after->setText(v.after);
    m_rotation->setText(v.rotation);
    m_rotationUpDown->takeEditText();
    m_takeCurrent->setChecked(v.takeCurrent);
    m_takeCurrent->setEnabled(v.takeCurrentEnabled);
}

SerialProperties TEditorSonder::values() const
{
    return { m_serial->isChecked(), m_before->text(), m_after->text(), m_rotation->text(),
        m_takeCurrent->isChecked(), m_takeCurrent->isEnabled() };
}

// ---------------------------------------------------------------------------

TEditorGroesse::TEditorGroesse(bool &dialogConfirmed, QWidget *parent)
    : TEditorDialog(dialogConfirmed, tr("Größe und Beschreibung"), parent)
    , m_width(edit(this, "Breite", 5)) // "38,1": tenths of a millimetre
    , m_height(edit(this, "Hoehe", 5))
    , m_description(edit(this, "Besch"))
{
    setObjectName(QStringLiteral("TEditorGroesse"));
    m_description->setMaxLength(75);
    m_description->setMinimumWidth(m_description->fontMetrics().averageCharWidth() * 60);

    auto *sizeBox = new QGroupBox(tr("Größe bestimmen"), this);
    auto *sizeText = new QLabel(
        tr("Bitte bestimmen Sie die Breite und Höhe des Etiketts bzw. Formulars in mm."), sizeBox);
    sizeText->setWordWrap(true);
    auto *sizeGrid = new QGridLayout(sizeBox);
    sizeGrid->addWidget(sizeText, 0, 0, 1, 4);
    sizeGrid->addWidget(new QLabel(tr("Breite"), sizeBox), 1, 0);
    sizeGrid->addWidget(m_width, 1, 1);
    sizeGrid->addWidget(new QLabel(tr("mm"), sizeBox), 1, 2);
    sizeGrid->addWidget(new QLabel(tr("Höhe"), sizeBox), 2, 0);
    sizeGrid->addWidget(m_height, 2, 1);
    sizeGrid->addWidget(new QLabel(tr("mm"), sizeBox), 2, 2);
    sizeGrid->setColumnStretch(3, 1);

    auto *descBox = new QGroupBox(tr("Beschreibung festlegen"), this);
    auto *descText = new QLabel(tr("Sie können zur genaueren Beschreibung des Etiketts bzw Formulars eine "
                                   "Beschreibungszeile festlegen, die im Programm verwendet wird."),
        descBox);
    descText->setWordWrap(true);
    auto *descLayout = new QVBoxLayout(descBox);
    descLayout->addWidget(descText);
    descLayout->addWidget(m_description);

    auto *layout = new QVBoxLayout;
    layout->addWidget(sizeBox);
    layout->addWidget(descBox);
    setContent(layout);
    m_focus = m_width;
}

void TEditorGroesse::setValues(const SizeProperties &v)
{
    m_width->setText(v.width);
    m_height->setText(v.height);
    m_description->setText(v.description);
}

SizeProperties TEditorGroesse::values() const
{
    return { m_width->text(), m_height->text(), m_description->text() };
}

// ---------------------------------------------------------------------------

TEditorBarcode::TEditorBarcode(bool &dialogConfirmed, QWidget *parent)
    : TEditorDialog(dialogConfirmed, tr("Barcode bearbeiten"), parent)
    , m_kind(new QComboBox(this))
    , m_name(edit(this, "BF"))
    , m_size(edit(this, "BG", 3))
    , m_sizeUpDown(new TUpDown(m_size, 1, 500, this))
{
    setObjectName(QStringLiteral("TEditorBarcode"));
    m_kind->setObjectName(QStringLiteral("Art"));
    m_sizeUpDown->setObjectName(QStringLiteral("BGToggler"));
    for (int number = 0;; ++number) {
        const std::optional<Symbology> kind = symbologyOf(number);
        if (!kind)
            break;
        m_kind->addItem(symbologyName(*kind));
    }
    m_name->setMinimumWidth(240);
    m_size->setText(QString::number(defaultBarcodeFieldSize(Symbology::Ean13)));
    auto *hint = new QLabel(tr("Strichcodes drucken ihre Ziffern in Klarschrift unter die Striche."), this);
    hint->setWordWrap(true);
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Art"), this), 0, 0);
    grid->addWidget(m_kind, 0, 1);
    grid->addWidget(new QLabel(tr("Feldname"), this), 1, 0);
    grid->addWidget(m_name, 1, 1);
    grid->addWidget(new QLabel(tr("Feldgröße"), this), 2, 0);
    grid->addWidget(withUpDown(m_size, m_sizeUpDown, this), 2, 1);
    grid->addWidget(hint, 3, 0, 1, 2);
    setContent(grid);
    m_focus = m_name;
    connect(m_kind, &QComboBox::activated, this, &TEditorBarcode::ArtChange);
}

void TEditorBarcode::ArtChange(int kind)
{
    const auto sizeOf = [](int number) {
        return QString::number(defaultBarcodeFieldSize(symbologyOf(number).value_or(Symbology::Ean13)));
    };
    if (m_size->text().trimmed() == sizeOf(m_shownKind)) {
        m_size->setText(sizeOf(kind));
        m_sizeUpDown->takeEditText();
    }
    m_shownKind = kind;
}

void TEditorBarcode::setValues(const BarcodeProperties &v)
{
    m_kind->setCurrentIndex(v.kind >= 0 && v.kind < m_kind->count() ? v.kind : 0);
    m_shownKind = m_kind->currentIndex();
    m_name->setText(v.name);
    m_size->setText(v.size);
    m_sizeUpDown->takeEditText();
}

BarcodeProperties TEditorBarcode::values() const
{
    return { m_kind->currentIndex(), m_name->text(), m_size->text() };
}

// ---------------------------------------------------------------------------

WidgetPropertyDialogs::WidgetPropertyDialogs(bool &dialogConfirmed, QWidget *parent)
    : m_confirmed(dialogConfirmed)
    , m_text(new TEditorText(dialogConfirmed, parent))
    , m_field(new TEditorFeld(dialogConfirmed, parent))
    , m_serial(new TEditorSonder(dialogConfirmed, parent))
    , m_size(new TEditorGroesse(dialogConfirmed, parent))
    , m_barcode(new TEditorBarcode(dialogConfirmed, parent))
{ }

template <typename Dialog, typename Values> bool WidgetPropertyDialogs::run(Dialog *dialog, Values &values)
{
    dialog->setValues(values);
    m_confirmed = false;
    dialog->exec();
    if (m_confirmed)
        values = dialog->values();
    return m_confirmed;
}

bool WidgetPropertyDialogs::editText(TextProperties &values)
{
    return run(m_text, values);
}

bool WidgetPropertyDialogs::editField(FieldProperties &values)
{
    return run(m_field, values);
}

bool WidgetPropertyDialogs::editSerial(SerialProperties &values)
{
    return run(m_serial, values);
}

bool WidgetPropertyDialogs::editSize(SizeProperties &values)
{
    return run(m_size, values);
}

bool WidgetPropertyDialogs::editBarcode(BarcodeProperties &values)
{
    return run(m_barcode, values);
}

} // namespace qm
