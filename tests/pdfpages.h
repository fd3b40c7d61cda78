#pragma once

// What a printed PDF shows, read back with poppler's tools: the words with
// their places (pdftotext -bbox) and a page as a grey image (pdftoppm).

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qm::test {

struct PdfWord
{
    QString text;
    double xMin = 0; // millimetres from the page's top-left corner
    double yMin = 0;
    int page = 0; // from 1
};

// The words of a PDF in the order pdftotext gives them; `pages` (if given)
// receives the number of pages. Empty when pdftotext cannot run.
inline QList<PdfWord> pdfWords(const QString &pdf, int *pages = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    if (!p.waitForFinished(30000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QList<PdfWord> words;
    int page = 0;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.append({ m.captured(3), m.captured(1).toDouble() * 25.4 / 72,
            m.captured(2).toDouble() * 25.4 / 72, page });
    }
    if (pages)
        *pages = page;
    return words;
}

// The first word whose text is `text`; page 0 when there is none.
inline PdfWord pdfWord(const QList<PdfWord> &words, const QString &text)
{
    for (const PdfWord &w : words) {
        if (w.text == text)
            return w;
    }
    return {};
}

// Page `page` (from 1) of a PDF rendered in grey at `dpi`; null when it
// cannot be rendered.
inline QImage pdfPageImage(const QString &pdf, int page, int dpi)
{
    QTemporaryDir dir;
    QProcess p;
    const QString number = QString::number(page);
    p.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-f"), number,
            QStringLiteral("-l"), number, QStringLiteral("-singlefile"), pdf,
            dir.filePath(QStringLiteral("page")) });
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QImage(dir.filePath(QStringLiteral("page.pgm")));
}

// The darkest grey (0 black .. 255 white) on the row `yMm` of a page
// rendered at `dpi`, between `fromXmm` and `toXmm` (millimetres from the
// page's top-left corner).
inline int darkestGrey(const QImage &page, int dpi, double fromXmm, double toXmm, double yMm)
{
    const auto dots = [dpi](double mm) { return qRound(mm * dpi / 25.4); };
    int darkest = 255;
    for (int x = dots(fromXmm); x <= dots(toXmm); ++x)
        darkest = qMin(darkest, qGray(page.pixel(x, dots(yMm))));
    return darkest;
}

} // namespace qm::test
