#include "editor/widgets/propertydialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace qm;

namespace {

template <typename T = QWidget> T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

} // namespace

class TestPropertyDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captionsAndControls_data();
    void captionsAndControls();
    void enterConfirmsEscapeAndCloseBoxCancel_data();
    void enterConfirmsEscapeAndCloseBoxCancel();
    void focusOnShowing();
    void valuesRoundTrip();
    void upDownChangingResetsFieldSize();
    void barcodeKindOffersItsFieldSize();
};

void TestPropertyDialogs::captionsAndControls_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("text") << 0 << "Text bearbeiten" << QStringList { "T", "TA", "TAToggler", "TSF" };
    QTest::newRow("field") << 1 << "Feld bearbeiten"
                           << QStringList { "F", "FG", "FGToggler", "FA", "UpDown1", "FSF" };
    QTest::newRow("serial") << 2 << "Sonderelement bearbeiten"
                            << QStringList { "M1", "M2", "TV", "TN", "SA", "TAToggler", "SSF" };
    QTest::newRow("size") << 3 << "Größe und Beschreibung" << QStringList { "Breite", "Hoehe", "Besch" };
    QTest::newRow("barcode") << 4 << "Barcode bearbeiten" << QStringList { "Art", "BF", "BG", "BGToggler" };
}

void TestPropertyDialogs::captionsAndControls()
{
    QFETCH(int, which);
    QFETCH(QStringList, controls);
    bool confirmed = false;
    WidgetPropertyDialogs dialogs(confirmed, nullptr);
    QDialog *dialogList[] = { dialogs.textDialog(), dialogs.fieldDialog(), dialogs.serialDialog(),
        dialogs.sizeDialog(), dialogs.barcodeDialog() };
    QDialog *d = dialogList[which];
    QTEST(d->windowTitle(), "caption");
    for (const QString &name : controls)
        QVERIFY2(d->findChild<QWidget *>(name), qPrintable(name));
    auto *weiter = child<QPushButton>(d, "Button_Weiter");
    QCOMPARE(weiter->text(), QStringLiteral("&Übernehmen"));
    QVERIFY(weiter->isDefault());
    QCOMPARE(child<QPushButton>(d, "Button_Abbrechen")->text(), QStringLiteral("&Abbrechen"));
    QVERIFY(child<QPushButton>(d, "Button_Hilfe")->isHidden());
    if (which == 3) {
        QCOMPARE(child<QLineEdit>(d, "Breite")->maxLength(), 5); // "38,1"
        QCOMPARE(child<QLineEdit>(d, "Besch")->maxLength(), 75);
    } else if (which == 1) {
        QCOMPARE(child<QLineEdit>(d, "FG")->maxLength(), 2);
        QCOMPARE(child<QLineEdit>(d, "FG")->text(), QStringLiteral("1"));
        QCOMPARE(child<QCheckBox>(d, "FSF")->text(),
            QStringLiteral("Aktuelle Werte für Schriftart und Farbe übernehmen."));
    }
}

void TestPropertyDialogs::enterConfirmsEscapeAndCloseBoxCancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("enter") << "enter" << true;
    QTest::newRow("weiter") << "weiter" << true;
    QTest::newRow("abbrechen") << "abbrechen" << false;
    QTest::newRow("escape") << "escape" << false;
    QTest::newRow("close box") << "close" << false;
}

void TestPropertyDialogs::enterConfirmsEscapeAndCloseBoxCancel()
{
    QFETCH(QString, how);
    bool confirmed = true;
    WidgetPropertyDialogs dialogs(confirmed, nullptr);
    for (TEditorDialog *d : std::initializer_list<TEditorDialog *> { dialogs.textDialog(),
             dialogs.fieldDialog(), dialogs.serialDialog(), dialogs.sizeDialog(), dialogs.barcodeDialog() }) {
        confirmed = false;
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        if (how == "enter")
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d, Qt::Key_Return);
        else if (how == "weiter")
            child<QPushButton>(d, "Button_Weiter")->click();
        else if (how == "abbrechen")
            child<QPushButton>(d, "Button_Abbrechen")->click();
        else if (how == "escape")
            QTest::keyClick(d, Qt::Key_Escape);
        else
            d->close();
        QVERIFY2(!d->isVisible(), qPrintable(d->windowTitle()));
        QTEST(confirmed, "confirmed");
    }
}

void TestPropertyDialogs::focusOnShowing()
{
    bool confirmed = false;
    WidgetPropertyDialogs dialogs(confirmed, nullptr);
    const std::pair<QDialog *, const char *> cases[] = { { dialogs.textDialog(), "T" },
        { dialogs.fieldDialog(), "F" }, { dialogs.sizeDialog(), "Breite" } };
    for (const auto &[d, name] : cases) {
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QCOMPARE(d->focusWidget(), child(d, name));
        d->hide();
    }
}

void TestPropertyDialogs::valuesRoundTrip()
{
    bool confirmed = false;
    TEditorSonder serial(confirmed);
    serial.setValues({ false, "vom ", "!", "45", false, true });
    QVERIFY(child<QRadioButton>(&serial, "M2")->isChecked());
    child<QLineEdit>(&serial, "TV")->setText("Nr. ");
    child<QRadioButton>(&serial, "M1")->setChecked(true);
    const SerialProperties v = serial.values();
    QVERIFY(v.serialNumber);
    QCOMPARE(v.before, QStringLiteral("Nr. "));
    QCOMPARE(v.after, QStringLiteral("!"));
    QCOMPARE(v.rotation, QStringLiteral("45"));

    TEditorText text(confirmed);
    text.setValues({ "Hallo", "9x", true, false });
    QVERIFY(!child<QCheckBox>(&text, "TSF")->isEnabled());
    QVERIFY(child<QCheckBox>(&text, "TSF")->isChecked());
    QCOMPARE(text.values().rotation, QStringLiteral("9x")); // passed on unchecked
    // The up-down starts from 0 when the text is no number, and stops at 360.
    auto *upDown = child<TUpDown>(&text, "TAToggler");
    upDown->stepDown();
    QCOMPARE(child<QLineEdit>(&text, "TA")->text(), QStringLiteral("0"));
    child<QLineEdit>(&text, "TA")->setText("360");
    upDown->stepUp();
    QCOMPARE(child<QLineEdit>(&text, "TA")->text(), QStringLiteral("360"));
}

void TestPropertyDialogs::upDownChangingResetsFieldSize()
{
    bool confirmed = false;
    TEditorFeld field(confirmed);
    field.setValues({ "Name", "12", "0", false, true });
    auto *size = child<QLineEdit>(&field, "FG");
    auto *rotation = child<QLineEdit>(&field, "FA");
    // The arrows count from what the edits show, typed or not, and a typed
    // size is not reset by the rotation's arrows.
    size->setText("30");
    rotation->setText("90");
    child<QToolButton>(child(&field, "UpDown1"), "up")->click();
    QCOMPARE(size->text(), QStringLiteral("30"));
    QCOMPARE(rotation->text(), QStringLiteral("91"));
    child<QToolButton>(child(&field, "FGToggler"), "up")->click();
    QCOMPARE(size->text(), QStringLiteral("31"));
    size->setText("7");
    child<QToolButton>(child(&field, "FGToggler"), "down")->click();
    QCOMPARE(size->text(), QStringLiteral("6"));
    size->setText("kein"); // no number: the arrows go on from the last one
    child<QToolButton>(child(&field, "FGToggler"), "up")->click();
    QCOMPARE(size->text(), QStringLiteral("7"));

    TEditorText text(confirmed);
    text.setValues({ "Hallo", "0", false, true });
    child<QLineEdit>(&text, "TA")->setText("90");
    child<QToolButton>(child(&text, "TAToggler"), "up")->click();
    QCOMPARE(child<QLineEdit>(&text, "TA")->text(), QStringLiteral("91"));
}

void TestPropertyDialogs::barcodeKindOffersItsFieldSize()
{
    bool confirmed = false;
    TEditorBarcode barcode(confirmed);
    barcode.setValues({ 0, "Artikel", "12" });
    auto *kind = child<QComboBox>(&barcode, "Art");
    auto *size = child<QLineEdit>(&barcode, "BG");
    QCOMPARE(kind->count(), 8);
    QCOMPARE(kind->itemText(0), QStringLiteral("EAN-13"));
    // The offered size follows the kind until the user types another one.
    kind->setCurrentIndex(2);
    barcode.ArtChange(2);
    QCOMPARE(size->text(), QStringLiteral("80"));
    size->setText("150");
    kind->setCurrentIndex(1);
    barcode.ArtChange(1);
    QCOMPARE(size->text(), QStringLiteral("150"));
    child<QLineEdit>(&barcode, "BF")->setText("Nummer");
    QCOMPARE(barcode.values(), (BarcodeProperties { 1, "Nummer", "150" }));
    // The arrows reach 500.
    size->setText("500");
    child<QToolButton>(child(&barcode, "BGToggler"), "up")->click();
    QCOMPARE(size->text(), QStringLiteral("500"));
    // A kind no one knows shows the first.
    barcode.setValues({ 9, "X", "12" });
    QCOMPARE(kind->currentIndex(), 0);
}

QTEST_MAIN(TestPropertyDialogs)
#include "TestPropertyDialogs.moc"
