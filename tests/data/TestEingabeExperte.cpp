#include "data/widgets/eingabeexperte.h"
#include "data/widgets/previewwindow.h"
#include "data/recordreader.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/numbers.h"
#include "printing/preview.h"
#include "printing/printjob.h"
#include "testpaths.h"
#include "printing/barcodecheck.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedmessages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using namespace qm;

namespace {

const QString HelpPath = QStringLiteral("/programm/QUILLMK.HLP");

StringTable gridWithFields(int count)
{
    StringTable grid(count + 1, 3);
    grid.setCell(0, 0, QString::number(count));
    for (int c = 1; c <= count; ++c) {
        grid.setCell(c, 0, QStringLiteral("Feld %1").arg(c));
        grid.setCell(c, 1, QStringLiteral("%1").arg(10 + c));
    }
    return grid;
}

// The dialog with its doubles, given the fields of a design.
struct Fixture
{
    explicit Fixture(int fields)
        : dialog(messages, help, HelpPath)
    {
        dialog.setFields(gridWithFields(fields));
    }
    // The dialog's own entry grid: the fields, then the records typed.
    const StringTable &grid() const { return dialog.core().entryGrid(); }

    template <typename T = QWidget> T *child(const char *name) const
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }
    QLineEdit *edit(const char *name) const { return child<QLineEdit>(name); }
    QScrollBar *bar(const char *name) const { return child<QScrollBar>(name); }
    bool shown(const char *name) const
    {
        const QWidget *w = child(name);
        return w && !w->isHidden();
    }

    ScriptedMessages messages;
    RecordingHelp help;
    TEingabeExperte dialog;
};

// The shipped address design on its 3 x 7 sheet: `labels` labels from
// `start` on, as the preview shows them.
struct PreviewJob
{
    PrintDesign design;
    SheetFormat format;

    PreviewJob()
    {
        StringTable labelList;
        FieldGrids grids;
        grids.labelList = &labelList;
        EtikettdateiLesen(test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"), design, grids);
        FormatdateiLesen(test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), format);
    }

    std::unique_ptr<PreviewPages> pages(int start, int labels) const
    {
        PrintJob job;
        job.design = &design;
        job.format = format;
        job.startPosition = start;
        QList<QStringList> records;
        for (int i = 1; i <= labels; ++i)
            records.append({ QStringLiteral("1"), QStringLiteral("Anna %1").arg(i), QString(), QString() });
        return std::make_unique<PreviewPages>(job, 20, std::make_unique<ListRecords>(std::move(records)));
    }
};

} // namespace

class TestEingabeExperte : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls();
    void visibility_data();
    void visibility();
    void showModalTypesAndPrints();
    void cancelClearsTheFlag_data();
    void cancelClearsTheFlag();
    void recordsThroughTheControls();
    void conversionErrorIsShownAndNothingLost();
    void startLabelAndOffsetsStayBetweenShowings();
    void startBeyondTheSheetIsRefusedWhereTyped();
    void help();
    void returnMovesToTheNextLineAndNeverPrints();
    void refusedValueKeepsTheCursorInItsLine();
    void checkDigitIsTypedAndChecked();
    void returnWalksThroughEveryFieldAndStartsTheNextRecord();
    void returnAfterTheLastRecordPrintsNoBlankLabel();
    void copiesRefuseWhatIsNotAPlainNumber_data();
    void copiesRefuseWhatIsNotAPlainNumber();
    void oneSizeForEveryShowing();
    void previewShowsThePagesWithoutClosing();
};

void TestEingabeExperte::controls()
{
    Fixture f(2);
    QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Eingabe-Experte"));

    const char *names[] = { "F1", "F2", "F3", "F4", "F5", "F6", "FName1", "FName6", "EtikettenAnzahl",
        "Startetikett", "Etikettenrahmen1", "Etikettenrahmen2", "Scroll_X", "Scroll_Y", "Xpos", "Ypos",
        "Scroll_Feld", "Scroll_Etiketten", "Button_Neu", "Button_Entfernen", "Button_Drucken",
        "Button_Abbrechen", "Button_Weiter", "Button_Zurueck", "Button_Hilfe", "Seiten", "Eingabe",
        "StartRahmen", "Ausrichtung", "Panel_Feld", "Panel1", "t1", "t2", "d1", "d2", "Label23", "Label2",
        "Label3", "Statuszeile", "B1", "B2", "B3" };
    for (const char *name : names)
        QVERIFY2(f.child(name), name);

    const QList<QPair<const char *, QString>> buttons { { "Button_Neu", "&Neu" },
        { "Button_Entfernen", "&Entfernen" }, { "Button_Drucken", "&Drucken" },
        { "Button_Abbrechen", "&Abbrechen" }, { "Button_Weiter", "&Weiter >>" },
        { "Button_Zurueck", "<< &Zurück" } };
    for (const auto &[name, text] : buttons)
        QCOMPARE(f.child<QPushButton>(name)->text(), text);
    // No default button: Return in an entry line must not print.
    for (QPushButton *button : f.dialog.findChildren<QPushButton *>())
        QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
    QVERIFY(!f.child<QPushButton>("Button_Drucken")->autoDefault());

    QCOMPARE(f.edit("Startetikett")->maxLength(), 2);
    QCOMPARE(f.edit("Startetikett")->text(), QStringLiteral("1"));
    QCOMPARE(f.child<QRadioButton>("Etikettenrahmen1")->text(),
        QStringLiteral("Ja, es soll ein Rahmen gedruckt werden."));
    QCOMPARE(f.child<QRadioButton>("Etikettenrahmen2")->text(),
        QStringLiteral("Nein, ein Rahmen wird nicht benötigt."));
    QVERIFY(f.child<QRadioButton>("Etikettenrahmen2")->isChecked());
    for (const char *name : { "Scroll_X", "Scroll_Y" }) {
        QCOMPARE(f.bar(name)->minimum(), 0);
        QCOMPARE(f.bar(name)->maximum(), 500);
        QCOMPARE(f.bar(name)->pageStep(), 10);
        QCOMPARE(f.bar(name)->value(), 250);
    }
    QCOMPARE(f.child<QLabel>("Xpos")->text(), QStringLiteral("0 mal 0,1 mm"));
    QVERIFY(!f.child<QLabel>("B1")->pixmap().isNull());

    auto *pages = f.child<QStackedWidget>("Seiten");
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("Eingabe"));
    QCOMPARE(pages->widget(2)->objectName(), QStringLiteral("Ausrichtung"));

    const QList<QLabel *> panels = f.child<QStatusBar>("Statuszeile")->findChildren<QLabel *>();
    QStringList texts;
    for (const QLabel *panel : panels)
        texts << panel->text();
    QCOMPARE(texts, (QStringList { "Etikett", "Format" }));
    f.dialog.setStatusText("Adresse", "Zweckform 3475");
    QCOMPARE(panels.first()->text(), QStringLiteral("Adresse"));
    QCOMPARE(panels.last()->text(), QStringLiteral("Zweckform 3475"));
}

void TestEingabeExperte::visibility_data()
{
    QTest::addColumn<QString>("modus");
    QTest::addColumn<int>("fields");
    QTest::addColumn<QStringList>("visible");
    QTest::addColumn<QStringList>("hidden");
    QTest::newRow("two fields") << "E" << 2
                                << QStringList { "Panel_Feld", "Panel1", "t1", "t2", "Button_Neu", "F2" }
                                << QStringList { "F3", "Scroll_Feld", "Scroll_Etiketten", "Button_Entfernen",
                                       "Label23", "d1", "d2" };
    QTest::newRow("seven fields") << "E" << 7 << QStringList { "F6", "Scroll_Feld" }
                                  << QStringList { "Scroll_Etiketten", "Label23" };
    QTest::newRow("no fields") << "E" << 0 << QStringList { "Panel1", "Label23", "Label2", "Label3" }
                               << QStringList { "Panel_Feld", "t1", "t2", "Button_Neu", "d1" };
    QTest::newRow("database") << "D" << 2 << QStringList { "d1", "d2" }
                              << QStringList { "Panel_Feld", "Panel1", "t1", "t2", "Button_Neu",
                                     "Button_Entfernen", "Scroll_Feld", "Scroll_Etiketten", "Label23" };
}

void TestEingabeExperte::visibility()
{
    QFETCH(QString, modus);
    QFETCH(int, fields);
    QFETCH(QStringList, visible);
    QFETCH(QStringList, hidden);
    Fixture f(fields);
    f.dialog.setModus(modus);
    QVERIFY(f.dialog.FormShow());
    for (const QString &name : visible)
        QVERIFY2(f.shown(name.toLatin1().constData()), qPrintable(name));
    for (const QString &name : hidden)
        QVERIFY2(!f.shown(name.toLatin1().constData()), qPrintable(name));
    if (fields == 7)
        QCOMPARE(f.bar("Scroll_Feld")->maximum(), 2);
}

void TestEingabeExperte::showModalTypesAndPrints()
{
    Fixture f(2);
    f.dialog.setModus("E");
    f.dialog.setScrollPositions(240, 260);
    QString shownCaption;
    int shownMaxLength = 0;
    QTimer::singleShot(0, &f.dialog, [&f, &shownCaption, &shownMaxLength] {
        shownCaption = f.child<QLabel>("FName2")->text();
        shownMaxLength = f.edit("F2")->maxLength();
        QTest::keyClicks(f.edit("F1"), "Anna");
        QTest::keyClicks(f.edit("F2"), "Bonn am Rhein"); // 13 of 12 characters fit
        f.edit("EtikettenAnzahl")->setText("4");
        f.dialog.Button_WeiterClick();
        f.edit("Startetikett")->setText("3");
        f.child<QRadioButton>("Etikettenrahmen1")->setChecked(true);
        f.dialog.Button_WeiterClick();
        f.bar("Scroll_X")->setValue(220);
        f.bar("Scroll_Y")->setValue(f.bar("Scroll_Y")->value() + f.bar("Scroll_Y")->pageStep());
        f.child<QPushButton>("Button_Drucken")->click();
        if (f.dialog.isVisible())
            f.dialog.reject();
    });
    QVERIFY(f.dialog.showModal());

    QCOMPARE(shownCaption, QStringLiteral("Feld 2"));
    QCOMPARE(shownMaxLength, 12);
    QVERIFY(f.dialog.confirmed());
    // The records typed are handed back.
    QCOMPARE(f.dialog.records(), (QList<QStringList> { { "4", "Anna", "Bonn am Rhei" } }));
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.grid().rowCount(), 3);
    QCOMPARE(f.grid().row(2), (QStringList { "4", "Anna", "Bonn am Rhei" }));
    QCOMPARE(f.dialog.startLabelText(), QStringLiteral("3"));
    QVERIFY(f.dialog.frameChecked());
    QCOMPARE(f.dialog.scrollX(), 220);
    QCOMPARE(f.dialog.scrollY(), 270);
    QCOMPARE(f.child<QLabel>("Xpos")->text(), QStringLiteral("-30 mal 0,1 mm"));
    QCOMPARE(f.child<QLabel>("Ypos")->text(), QStringLiteral("20 mal 0,1 mm"));
    QVERIFY(f.messages.shown().isEmpty());
}

void TestEingabeExperte::cancelClearsTheFlag_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("button") << false;
    QTest::newRow("escape key") << true;
}

void TestEingabeExperte::cancelClearsTheFlag()
{
    QFETCH(bool, escape);
    Fixture f(1);
    f.dialog.setModus("E");
    QTimer::singleShot(0, &f.dialog, [&f, escape] {
        f.edit("F1")->setText("verworfen");
        if (escape)
            QTest::keyClick(&f.dialog, Qt::Key_Escape);
        else
            f.dialog.Button_AbbrechenClick();
        if (f.dialog.isVisible())
            f.dialog.accept();
    });
    QVERIFY(!f.dialog.showModal());
    QVERIFY(!f.dialog.confirmed());
    QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(f.grid().cell(1, 2), QString());
}

void TestEingabeExperte::recordsThroughTheControls()
{
    Fixture f(7);
    f.dialog.setModus("E");
    QVERIFY(f.dialog.FormShow());
    f.edit("F1")->setText("erster");
    f.edit("EtikettenAnzahl")->setText("2");
    f.bar("Scroll_Feld")->setValue(2); // through the signal, like the user
    QCOMPARE(f.child<QLabel>("FName6")->text(), QStringLiteral("Feld 7"));
    QCOMPARE(f.grid().cell(1, 2), QStringLiteral("erster"));

    f.dialog.Button_NeuClick();
    QVERIFY(f.shown("Scroll_Etiketten"));
    QVERIFY(f.shown("Button_Entfernen"));
    QCOMPARE(f.bar("Scroll_Feld")->value(), 1);
    QCOMPARE(f.bar("Scroll_Etiketten")->maximum(), 2);
    QCOMPARE(f.bar("Scroll_Etiketten")->value(), 2);
    QCOMPARE(f.edit("F1")->text(), QString());
    QCOMPARE(f.edit("EtikettenAnzahl")->text(), QStringLiteral("1"));
    f.edit("F1")->setText("zweiter");

    f.bar("Scroll_Etiketten")->setValue(1);
    QCOMPARE(f.edit("F1")->text(), QStringLiteral("erster"));
    QCOMPARE(f.edit("EtikettenAnzahl")->text(), QStringLiteral("2"));
    QCOMPARE(f.grid().cell(1, 3), QStringLiteral("zweiter"));

    f.dialog.Button_EntfernenClick();
    QCOMPARE(f.edit("F1")->text(), QStringLiteral("zweiter"));
    QVERIFY(!f.shown("Scroll_Etiketten"));
    QVERIFY(!f.shown("Button_Entfernen"));
    QCOMPARE(f.grid().rowCount(), 3);
}

void TestEingabeExperte::conversionErrorIsShownAndNothingLost()
{
    Fixture f(2);
    f.dialog.setModus("E");
        QVERIFY(f.dialog.FormShow());
    f.edit("F1")->setText("Anna");
    f.edit("EtikettenAnzahl")->setText("1x");

    f.dialog.Button_NeuClick();
    QCOMPARE(f.messages.shown().size(), 1);
    QCOMPARE(f.messages.shown().first().kind, MessageKind::Error);
    QCOMPARE(f.messages.lastText(), QStringLiteral("'1x' ist kein gültiger Integerwert"));
    QCOMPARE(f.edit("F1")->text(), QStringLiteral("Anna"));
    QCOMPARE(f.edit("EtikettenAnzahl")->text(), QStringLiteral("1x"));
    QVERIFY(!f.shown("Scroll_Etiketten"));
    QCOMPARE(f.grid().cell(1, 2), QString());

    f.dialog.Button_WeiterClick();
    f.edit("Startetikett")->setText("ab");
    f.edit("EtikettenAnzahl")->setText("2");
    f.dialog.Button_DruckenClick();
    QCOMPARE(f.messages.lastText(), QStringLiteral("'ab' ist kein gültiger Integerwert"));
    QVERIFY(!f.dialog.confirmed());
    QCOMPARE(f.child<QStackedWidget>("Seiten")->currentIndex(), 1);
    QCOMPARE(f.edit("F1")->text(), QStringLiteral("Anna"));

    f.edit("Startetikett")->setText("2");
    f.dialog.Button_DruckenClick();
    QVERIFY(f.dialog.confirmed());
    QCOMPARE(f.grid().row(2), (QStringList { "2", "Anna", "" }));
}

void TestEingabeExperte::startLabelAndOffsetsStayBetweenShowings()
{
    Fixture f(1);
    f.dialog.setModus("E");
    QVERIFY(f.dialog.FormShow());
    f.edit("Startetikett")->setText("7");
    f.child<QRadioButton>("Etikettenrahmen1")->setChecked(true);
    f.bar("Scroll_Y")->setValue(300);
    f.dialog.Button_WeiterClick();
    f.dialog.Button_WeiterClick();
    QVERIFY(!f.child<QPushButton>("Button_Weiter")->isEnabled());

    f.dialog.setModus("D");
    QVERIFY(f.dialog.FormShow());
    QCOMPARE(f.child<QStackedWidget>("Seiten")->currentIndex(), 0);
    QVERIFY(!f.child<QPushButton>("Button_Zurueck")->isEnabled());
    QCOMPARE(f.dialog.startLabelText(), QStringLiteral("7"));
    QVERIFY(f.dialog.frameChecked());
    QCOMPARE(f.dialog.scrollY(), 300);
    QCOMPARE(f.child<QLabel>("Ypos")->text(), QStringLiteral("50 mal 0,1 mm"));
}

// The run's check of the start label against the sheet refuses "&Drucken"
// with its reason; the typed record stays.
void TestEingabeExperte::startBeyondTheSheetIsRefusedWhereTyped()
{
    Fixture f(1);
    f.dialog.setModus("E");
    f.dialog.setStartCheck(
        [](int start) { return start > 21 ? QStringLiteral("hinter Etikett 21") : QString(); });
    QVERIFY(f.dialog.FormShow());
        f.edit("F1")->setText("Anna");
    f.edit("Startetikett")->setText("22");
    f.dialog.Button_DruckenClick();
    QCOMPARE(f.messages.lastText(), QStringLiteral("hinter Etikett 21"));
    QVERIFY(!f.dialog.confirmed());
    QCOMPARE(f.child<QStackedWidget>("Seiten")->currentIndex(), 1);
    QCOMPARE(f.edit("F1")->text(), QStringLiteral("Anna"));

    f.edit("Startetikett")->setText("21");
    f.dialog.Button_DruckenClick();
    QVERIFY(f.dialog.confirmed());
    QCOMPARE(f.grid().row(2), (QStringList { "1", "Anna" }));
}

void TestEingabeExperte::help()
{
    Fixture f(1);
    f.child<QPushButton>("Button_Hilfe")->click();
    QCOMPARE(f.help.requests(), (QList<RecordingHelp::Request> { { HelpPath, 3 } }));
}

void TestEingabeExperte::returnMovesToTheNextLineAndNeverPrints()
{
    Fixture f(3);
    f.dialog.setModus("E");
    QStringList path;
    bool stillOpen = false;
    QTimer::singleShot(0, &f.dialog, [&f, &path, &stillOpen] {
        f.edit("F1")->setFocus();
        QTest::keyClicks(f.edit("F1"), "Anna");
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(f.dialog.focusWidget(), Qt::Key_Return);
            path << f.dialog.focusWidget()->objectName();
        }
        f.edit("F2")->setFocus();
        QTest::keyClick(f.edit("F2"), Qt::Key_Enter);
        path << f.dialog.focusWidget()->objectName();
        stillOpen = f.dialog.isVisible();
        f.dialog.reject();
    });
    f.dialog.showModal();
    // F1, F2, F3 shown; F4 to F6 hidden: on to the copies, then a new record.
    QCOMPARE(path, (QStringList { "F2", "F3", "EtikettenAnzahl", "F1", "F3" }));
    QVERIFY(stillOpen);
    QVERIFY(!f.dialog.confirmed());
    QCOMPARE(f.dialog.core().recordCount(), 2);
    QCOMPARE(f.grid().row(2), (QStringList { "1", "Anna", "", "" }));
}

// Eight fields typed as a user types them, each followed by Return, with
// every key going to whatever has the focus: the field list scrolls on to
// fields 7 and 8, Return on the copies starts the next record in its first
// field, and no typed character goes anywhere else.
// A value the check refuses is shown as the message where it is typed, and
// Return leaves the cursor in its line instead of moving on.
void TestEingabeExperte::refusedValueKeepsTheCursorInItsLine()
{
    Fixture f(3);
    f.dialog.setModus("E");
    f.dialog.setValueCheck([](int field, const QString &value, int record) {
        return field == 2 && value == u"12AB" ? QStringLiteral("Datensatz %1, Feld 2: nein").arg(record)
                                              : QString();
    });
    QStringList path;
    QTimer::singleShot(0, &f.dialog, [&f, &path] {
        f.edit("F2")->setFocus();
        QTest::keyClicks(f.edit("F2"), "12AB");
        QTest::keyClick(f.dialog.focusWidget(), Qt::Key_Return);
        path << f.dialog.focusWidget()->objectName() << f.edit("F2")->text();
        f.edit("F2")->setText("4711");
        QTest::keyClick(f.edit("F2"), Qt::Key_Return);
        path << f.dialog.focusWidget()->objectName();
        f.dialog.reject();
    });
    f.dialog.showModal();
    QCOMPARE(path, (QStringList { "F2", "12AB", "F3" }));
    QCOMPARE(f.messages.shown().size(), 1);
    QCOMPARE(f.messages.lastText(), QStringLiteral("Datensatz 1, Feld 2: nein"));
}

// An EAN-13 field stored with the size 12 takes the check digit as it is
// typed, and a wrong one is refused naming the right one.
void TestEingabeExperte::checkDigitIsTypedAndChecked()
{
    Fixture f(0);
    PrintDesign design;
    StringTable fields(1, 3);
    FieldGrids grids;
    grids.entryGrid = &fields;
    readPrintDesignLines({ "NA,Artikel", "GR,175,100,25", "BC,10,10,110,70,0,Artikel,12", "XF,12,0,0,0,Arial,0",
                             "EF,120,10,8,Preis" },
        QString(), design, grids);
    f.dialog.setFields(fields);
    f.dialog.setModus("E");
    f.dialog.setValueCheck([columns = barcodeColumns(design)](int field, const QString &value, int record) {
        return unprintableValue(columns, record, field, value);
    });
    QStringList seen;
    QTimer::singleShot(0, &f.dialog, [&f, &seen] {
        f.edit("F1")->setFocus();
        QTest::keyClicks(f.edit("F1"), "4006381333932");
        seen << f.edit("F1")->text();
        QTest::keyClick(f.edit("F1"), Qt::Key_Return);
        seen << f.dialog.focusWidget()->objectName();
        QTest::keyClick(f.edit("F1"), Qt::Key_Backspace);
        QTest::keyClicks(f.edit("F1"), "1");
        QTest::keyClick(f.edit("F1"), Qt::Key_Return);
        seen << f.dialog.focusWidget()->objectName();
        f.dialog.reject();
    });
    f.dialog.showModal();
    QCOMPARE(seen, (QStringList { "4006381333932", "F1", "F2" }));
    QCOMPARE(f.messages.shown().size(), 1);
    QCOMPARE(f.messages.lastText(),
        QStringLiteral("Datensatz 1, Feld Artikel: „4006381333932“ kann nicht als EAN-13 gedruckt werden, "
                       "die Prüfziffer müsste 1 sein."));
}

void TestEingabeExperte::returnWalksThroughEveryFieldAndStartsTheNextRecord()
{
    Fixture f(8);
    f.dialog.setModus("E");
    const QStringList first { "Anna Berg", "Firma", "Hauptstr. 1", "Postfach", "z. Hd.", "Etage 3",
        "51147 Köln", "Deutschland" };
    QStringList focusPath;
    QTimer::singleShot(0, &f.dialog, [&] {
        // Key by key to whatever has the focus; QTest spells only ASCII.
        auto type = [&f](const QString &text) {
            for (const QChar ch : text) {
                QWidget *target = f.dialog.focusWidget();
                if (ch.unicode() < 128) {
                    QTest::keyClick(target, char(ch.unicode()));
                } else {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
                    QApplication::sendEvent(target, &press);
                    QApplication::sendEvent(target, &release);
                }
            }
            QTest::keyClick(f.dialog.focusWidget(), Qt::Key_Return);
        };
        f.edit("F1")->setFocus();
        for (const QString &value : first) {
            type(value);
            focusPath << f.dialog.focusWidget()->objectName();
        }
        type("2");
        focusPath << f.dialog.focusWidget()->objectName();
        type("Bea Krause");
        f.child<QPushButton>("Button_Drucken")->click();
        if (f.dialog.isVisible())
            f.dialog.reject();
    });
    f.dialog.showModal();

    QCOMPARE(focusPath, (QStringList { "F2", "F3", "F4", "F5", "F6", "F6", "F6", "EtikettenAnzahl", "F1" }));
    QVERIFY(f.dialog.confirmed());
    QCOMPARE(f.grid().rowCount(), 4);
    QCOMPARE(f.grid().row(2), QStringList { "2" } + first);
    QCOMPARE(f.grid().row(3), (QStringList { "1", "Bea Krause", "", "", "", "", "", "", "" }));
    QVERIFY(f.messages.shown().isEmpty());
}

// Return after the last record's copies, then "&Drucken": the empty record
// Return started is not printed.
void TestEingabeExperte::returnAfterTheLastRecordPrintsNoBlankLabel()
{
    Fixture f(2);
    f.dialog.setModus("E");
    QTimer::singleShot(0, &f.dialog, [&f] {
        f.edit("F1")->setFocus();
        QTest::keyClicks(f.edit("F1"), "Anna");
        for (int i = 0; i < 3; ++i) // to F2, to the copies, on to a new record
            QTest::keyClick(f.dialog.focusWidget(), Qt::Key_Return);
        f.child<QPushButton>("Button_Drucken")->click();
        if (f.dialog.isVisible())
            f.dialog.reject();
    });
    f.dialog.showModal();
    QVERIFY(f.dialog.confirmed());
    QCOMPARE(f.grid().rowCount(), 3);
    QCOMPARE(f.grid().row(2), (QStringList { "1", "Anna", "" }));
}

void TestEingabeExperte::copiesRefuseWhatIsNotAPlainNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("number") << "12"
                            << ""
                            << "12";
    QTest::newRow("fourth digit refused") << "5114"
                                          << ""
                                          << "511";
    QTest::newRow("letters refused") << "2x-"
                                     << ""
                                     << "2";
    QTest::newRow("longer paste refused whole") << ""
                                                << "51147 Köln"
                                                << "";
    QTest::newRow("paste of four digits refused whole") << ""
                                                        << "1000"
                                                        << "";
    QTest::newRow("paste of a number") << ""
                                       << "250"
                                       << "250";
}

void TestEingabeExperte::copiesRefuseWhatIsNotAPlainNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    Fixture f(1);
    f.dialog.setModus("E");
    QVERIFY(f.dialog.FormShow());
    QLineEdit *copies = f.edit("EtikettenAnzahl");
    copies->clear();
    QTest::keyClicks(copies, typed);
    if (!pasted.isEmpty())
        copies->insert(pasted);
    QCOMPARE(copies->text(), shown);
}

void TestEingabeExperte::oneSizeForEveryShowing()
{
    Fixture none(0);
    Fixture many(12);
    QList<QSize> sizes;
    for (Fixture *f : { &none, &many }) {
        for (const char *modus : { "E", "D", "E" }) {
            f->dialog.setModus(QString::fromLatin1(modus));
            QVERIFY(f->dialog.FormShow());
            f->dialog.show();
            QApplication::processEvents();
            sizes << f->dialog.size();
            f->dialog.Button_WeiterClick();
            QApplication::processEvents();
            sizes << f->dialog.size();
            f->dialog.hide();
        }
    }
    for (const QSize &size : sizes)
        QCOMPARE(size, sizes.first());
}

void TestEingabeExperte::previewShowsThePagesWithoutClosing()
{
    Fixture f(2);
    QVERIFY(f.child<QPushButton>("Button_Vorschau")->isHidden()); // no source, no button
    struct Asked
    {
        QString start;
        bool frame = false;
        int x = 0, y = 0;
        QStringList record;
    } asked;
    const PreviewJob job;
    f.dialog.setPreviewSource([&f, &asked, &job](const QString &start, bool frame, int x, int y) {
        asked = { start, frame, x, y, f.grid().row(2) };
        return job.pages(strToInt(start), 20);
    });
    QCOMPARE(f.child<QPushButton>("Button_Vorschau")->text(), QStringLiteral("&Vorschau"));
    f.dialog.setModus("E");
    int pages = 0;
    int shownFirst = 0, shownAfterNext = 0;
    int heldFirst = 0, heldAfterNext = 0;
    QImage firstImage, secondImage;
    bool stillOpen = false;
    QString lineAfter, captionAfter;
    QTimer::singleShot(0, &f.dialog, [&] {
        QVERIFY(!f.child<QPushButton>("Button_Vorschau")->isHidden());
        f.edit("F1")->setText("Anna");
        f.edit("EtikettenAnzahl")->setText("3");
        f.dialog.Button_WeiterClick();
        f.edit("Startetikett")->setText("7");
        f.child<QRadioButton>("Etikettenrahmen1")->setChecked(true);
        QTimer::singleShot(0, &f.dialog, [&] {
            PreviewWindow *preview = f.dialog.previewWindow();
            QVERIFY(preview && preview->isVisible());
            pages = preview->pageCount();
            shownFirst = preview->currentPage();
            heldFirst = preview->pages()->pagesHeld();
            firstImage = preview->shownImage();
            preview->Button_WeiterClick();
            shownAfterNext = preview->currentPage();
            heldAfterNext = preview->pages()->pagesHeld();
            secondImage = preview->shownImage();
            preview->accept();
        });
        f.child<QPushButton>("Button_Vorschau")->click();
        stillOpen = f.dialog.isVisible();
        // The record is still on screen, and printing it afterwards stores it.
        f.dialog.Button_ZurueckClick();
        lineAfter = f.edit("F1")->text();
        captionAfter = f.child<QLabel>("FName1")->text();
        f.child<QPushButton>("Button_Drucken")->click();
        if (f.dialog.isVisible())
            f.dialog.reject();
    });
    f.dialog.showModal();
    QCOMPARE(asked.start, QStringLiteral("7"));
    QVERIFY(asked.frame);
    QCOMPARE(asked.x, 250);
    QCOMPARE(asked.record, (QStringList { "3", "Anna", "" }));
    QCOMPARE(pages, 2);
    QCOMPARE(shownFirst, 1);
    QCOMPARE(shownAfterNext, 2);
    // Each page is drawn when it is shown.
    QCOMPARE(heldFirst, 1);
    QCOMPARE(heldAfterNext, 2);
    QVERIFY(!firstImage.isNull() && !secondImage.isNull());
    QVERIFY(firstImage != secondImage);
    QVERIFY(stillOpen);
    QCOMPARE(lineAfter, QStringLiteral("Anna"));
    QCOMPARE(captionAfter, QStringLiteral("Feld 1"));
    QVERIFY(f.dialog.confirmed());
    QCOMPARE(f.grid().row(2), (QStringList { "3", "Anna", "" }));
}

QTEST_MAIN(TestEingabeExperte)
#include "TestEingabeExperte.moc"
