#include "data/recordreader.h"
#include "data/widgets/previewwindow.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "printing/preview.h"
#include "printing/printjob.h"
#include "testpaths.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace qm;

namespace {

// The shipped address design on its 3 x 7 sheet, one label per record.
struct Job
{
    PrintDesign design;
    SheetFormat format;
    QList<QStringList> records;
    ListRecords reader { records };

    explicit Job(int labels)
    {
        StringTable labelList;
        FieldGrids grids;
        grids.labelList = &labelList;
        EtikettdateiLesen(test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"), design, grids);
        FormatdateiLesen(test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), format);
        for (int i = 1; i <= labels; ++i)
            records.append({ QStringLiteral("1"), QStringLiteral("Anna %1").arg(i), QString(), QString() });
    }

    std::unique_ptr<PreviewPages> pages()
    {
        PrintJob job;
        job.design = &design;
        job.format = format;
        job.records = &reader;
        return std::make_unique<PreviewPages>(job, 20);
    }
};

} // namespace

// The preview window over PreviewPages: a page is drawn when it is shown,
// and a page that cannot be drawn shows why.
class TestPreviewWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagesAreDrawnWhenShown();
    void pageThatCannotBeDrawnShowsItsMessage();
    void withoutPages();
};

void TestPreviewWindow::pagesAreDrawnWhenShown()
{
    Job job(100); // 5 pages
    PreviewWindow window;
    window.setPages(job.pages());
    auto *text = window.findChild<QLabel *>(QStringLiteral("Seitenzahl"));
    auto *back = window.findChild<QPushButton *>(QStringLiteral("Button_Zurueck"));
    auto *next = window.findChild<QPushButton *>(QStringLiteral("Button_Weiter"));
    QCOMPARE(window.pageCount(), 5);
    QCOMPARE(window.currentPage(), 1);
    QCOMPARE(text->text(), QStringLiteral("Seite 1 von 5"));
    QCOMPARE(window.pages()->pagesHeld(), 1);
    QVERIFY(!back->isEnabled());
    QVERIFY(next->isEnabled());
    const QImage first = window.shownImage();
    QVERIFY(!first.isNull());

    for (int page = 2; page <= 5; ++page) {
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(window.currentPage(), page);
        QCOMPARE(text->text(), QStringLiteral("Seite %1 von 5").arg(page));
        QCOMPARE(window.pages()->pagesHeld(), std::min(page, PreviewPages::HeldPages));
        QVERIFY(!window.shownImage().isNull());
    }
    QVERIFY(!next->isEnabled());
    window.Button_WeiterClick(); // stays on the last
    QCOMPARE(window.currentPage(), 5);
    for (int page = 4; page >= 1; --page)
        QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(window.currentPage(), 1);
    QVERIFY(window.shownImage() == first);
    QVERIFY(window.pageError().isEmpty());
}

// Records that changed after the check: the page says so in the window, the
// others can still be shown.
void TestPreviewWindow::pageThatCannotBeDrawnShowsItsMessage()
{
    Job job(50);
    PreviewWindow window;
    window.setPages(job.pages());
    const QImage first = window.shownImage();
    job.records[30][1] = QStringLiteral("Bert");
    window.Button_WeiterClick();
    const QString message = QStringLiteral(
        "Die Datensätze haben sich während des Drucks geändert; der Druck wurde abgebrochen.");
    QCOMPARE(window.currentPage(), 2);
    QCOMPARE(window.pageError(), message);
    QVERIFY(window.shownImage().isNull());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Seitenbild"))->text(), message);
    QCOMPARE(
        window.findChild<QLabel *>(QStringLiteral("Seitenzahl"))->text(), QStringLiteral("Seite 2 von 3"));
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("Button_Weiter"))->isEnabled());
    window.Button_ZurueckClick();
    QVERIFY(window.pageError().isEmpty());
    QVERIFY(window.shownImage() == first);
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("Seitenbild"))->text().isEmpty());
}

void TestPreviewWindow::withoutPages()
{
    PreviewWindow window;
    QCOMPARE(window.pageCount(), 0);
    QCOMPARE(window.currentPage(), 0);
    QCOMPARE(
        window.findChild<QLabel *>(QStringLiteral("Seitenzahl"))->text(), QStringLiteral("Seite 0 von 0"));
    window.Button_WeiterClick();
    QCOMPARE(window.currentPage(), 0);
    window.setPages(nullptr);
    QCOMPARE(window.pageCount(), 0);
}

QTEST_MAIN(TestPreviewWindow)
#include "TestPreviewWindow.moc"
