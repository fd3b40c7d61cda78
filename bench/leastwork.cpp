// The least a Qt program does to write the address labels of print_labels.sh
// into a PDF file: the same CSV, font, page and positions as `quillmark
// print` of share/ETIKETT/adresse.eti on share/FORMATE/adressen_3x7.vrl, with
// both fonts and their ascent made once. The yardstick of compare_print.sh.
// Usage: leastwork RECORDS.csv OUT.pdf [PAGE_WIDTH_MM PAGE_LENGTH_MM]
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 5)
        return 2;
    QFile records(args[1]);
    if (!records.open(QIODevice::ReadOnly))
        return 1;
    const QPageSize page = args.size() == 5
        ? QPageSize(QSizeF(args[3].toDouble(), args[4].toDouble()), QPageSize::Millimeter)
        : QPageSize(QPageSize::A4);
    constexpr int dpi = 600;
    constexpr int unitsPerCm = 25; // the design's print scale
    const qreal scale = dpi / 2.54 / unitsPerCm; // device pixels per design unit
    QPdfWriter writer(args[2]);
    writer.setTitle(QStringLiteral("Quillmark 32"));
    writer.setCreator(QStringLiteral("Quillmark"));
    writer.setResolution(dpi);
    writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);

    // Arial of cell height 11 units, bold for the first line: the em height
    // follows from the face's ascent + descent, as the program makes it.
    QFont fonts[2];
    qreal ascent[2];
    for (int bold = 0; bold < 2; ++bold) {
        QFont font;
        font.setFamilies({ QStringLiteral("Liberation Sans") });
        font.setWeight(bold ? QFont::Bold : QFont::Normal);
        font.setKerning(false);
        font.setPixelSize(1000);
        const QFontMetricsF probe(font);
        font.setPixelSize(qRound(11 * scale * 1000 / (probe.ascent() + probe.descent())));
        fonts[bold] = font;
        ascent[bold] = QFontMetricsF(font, &writer).ascent();
    }
    painter.setPen(Qt::black);

    // The 3 x 7 positions in tenths of a millimetre; lines at y 15, 40, 65.
    const int columnX[3] = { 75, 735, 1395 };
    const int lineY[3] = { 15, 40, 65 };
    records.readLine(); // the header
    int onSheet = 0;
    while (!records.atEnd()) {
        const QList<QByteArray> values = records.readLine().trimmed().split(',');
        if (values.size() < 4)
            continue;
        if (onSheet == 21) {
            writer.newPage();
            onSheet = 0;
        }
        const int labelX = columnX[onSheet % 3] * unitsPerCm / 100;
        const int labelY = (150 + 380 * (onSheet / 3)) * unitsPerCm / 100;
        for (int line = 0; line < 3; ++line) {
            painter.setFont(fonts[line == 0 ? 1 : 0]);
            painter.drawText(
                QPointF((labelX + 10) * scale, (labelY + lineY[line]) * scale + ascent[line == 0]),
                QString::fromUtf8(values[line + 1]));
        }
        ++onSheet;
    }
    return 0;
}
