// The print preview of a long run: the shipped design ETIKETT/adresse.eti on
// the sheet FORMATE/adressen_3x7.vrl, LABELS different addresses (one label
// each) as the input expert hands them over. Reports how long opening the
// preview takes (the check of every record and the first page), then the
// last page and one in the middle, how many pages are held, and the peak
// memory (RSS) of the process after building the records and at the end.
// Offscreen, at the windows' preview resolution (90 dots per inch).
//
//   cmake --build build --target bench_preview_pages
//   QT_QPA_PLATFORM=offscreen build/bench/bench_preview_pages [LABELS [DPI]]
//                                              (default 100000 labels, 90 dpi)
//
// Aims: the first page shown within a second, the process under 150 MB.

#include "data/recordreader.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/stringtable.h"
#include "printing/preview.h"
#include "printing/printjob.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>
#include <sys/resource.h>

using namespace qm;

namespace {

long peakRssKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const int labels = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int dpi = argc > 2 ? std::max(1, atoi(argv[2])) : 90;
    const QString share = QStringLiteral(QM_SHARE_DIR);

    PrintDesign design;
    SheetFormat format;
    StringTable labelList;
    FieldGrids grids;
    grids.labelList = &labelList;
    if (!EtikettdateiLesen(share + QStringLiteral("/ETIKETT/adresse.eti"), design, grids)
        || !FormatdateiLesen(share + QStringLiteral("/FORMATE/adressen_3x7.vrl"), format)) {
        std::fprintf(stderr, "design or format not found under %s\n", qPrintable(share));
        return 1;
    }
    QList<QStringList> records;
    records.reserve(labels);
    for (int i = 1; i <= labels; ++i)
        records.append({ QStringLiteral("1"), QStringLiteral("Erika Mustermann %1").arg(i),
            QStringLiteral("Heidestraße %1").arg(i % 500 + 1),
            QStringLiteral("%1 Köln").arg(50667 + i % 300) });
    const long recordsKb = peakRssKb();

    PrintJob job;
    job.design = &design;
    job.format = format;
    job.dateText = QStringLiteral("11.12.2026");
    QElapsedTimer clock;
    clock.start();
    PreviewPages preview(job, dpi, std::make_unique<ListRecords>(std::move(records)));
    const qint64 checked = clock.elapsed();
    const QImage first = preview.page(0);
    const qint64 opened = clock.elapsed();
    clock.restart();
    const QImage last = preview.page(preview.pageCount() - 1);
    const qint64 lastMs = clock.elapsed();
    clock.restart();
    const QImage middle = preview.page(preview.pageCount() / 2);
    const qint64 middleMs = clock.elapsed();

    std::printf("labels %d, pages %d, %d dpi (%dx%d px a page)\n", labels, preview.pageCount(), dpi,
        first.width(), first.height());
    std::printf("opening the preview: %lld ms (check %lld ms, first page %lld ms)\n",
        static_cast<long long>(opened), static_cast<long long>(checked),
        static_cast<long long>(opened - checked));
    std::printf("last page: %lld ms, middle page: %lld ms\n", static_cast<long long>(lastMs),
        static_cast<long long>(middleMs));
    std::printf("pages held: %d\n", preview.pagesHeld());
    std::printf("peak RSS: %ld KB with the records built, %ld KB at the end\n", recordsKb, peakRssKb());
    return first.isNull() || last.isNull() || middle.isNull() ? 1 : 0;
}
