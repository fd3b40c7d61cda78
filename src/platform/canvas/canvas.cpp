#include "canvas.h"

#include "platform/textfile.h"

#include "platform/errors.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <array>
#include <utility>

namespace qm {

CanvasBitmap readBitmapFile(const QString &path)
{
    // Read through the bounded reader: a pipe or a device named as a bitmap
    // must neither block the print nor fill the memory.
    QByteArray bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const IoError &e) {
        if (e.message().contains(path))
            throw; // a directory, a pipe, a file too large: the message says so
        throw Error(QCoreApplication::translate("qm", "Kann Datei %1 nicht öffnen").arg(path));
    }
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    // The picture's kind is read from its bytes, whatever its name says:
    // BMP, PNG, JPEG, GIF and what else the image plugins know.
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) {
        throw Error(QCoreApplication::translate("qm", "Bitmap ist ungültig"));
    }
    return CanvasBitmap{path, std::move(image)};
}

namespace {

// Arial's measures: a cell of 1.15 em, an ascent of 0.9 em, digits and most
// letters 0.56 em wide.
double estimatedEm(const CanvasFont &font)
{
    return font.height < 0 ? -font.height : (font.height == 0 ? 16 : font.height) / 1.15;
}

} // namespace

QSizeF ICanvas::textSize(const CanvasFont &font, const QString &text)
{
    const double em = estimatedEm(font);
    return { 0.56 * em * static_cast<double>(text.size()), 1.15 * em };
}

void ICanvas::textOnBaseline(const QPointF &at, Anchor anchor, const CanvasFont &font, const QString &text)
{
    setFont(font);
    const double em = estimatedEm(font);
    const double width = 0.56 * em * static_cast<double>(text.size());
    const double left
        = anchor == Anchor::Left ? at.x() : at.x() - (anchor == Anchor::Centre ? width / 2 : width);
    this->text(qRound(left), qRound(at.y() - 0.9 * em), text);
}

QString substituteFace(const QString &face)
{
    // Metric-compatible faces keep the layout of designs made with the
    // Windows fonts; "Small Fonts" has no counterpart and gets a plain sans.
    static const std::array<std::pair<QLatin1String, QLatin1String>, 4> table{{
        {QLatin1String("Arial"), QLatin1String("Liberation Sans")},
        {QLatin1String("Times New Roman"), QLatin1String("Liberation Serif")},
        {QLatin1String("Courier New"), QLatin1String("Liberation Mono")},
        {QLatin1String("Small Fonts"), QLatin1String("DejaVu Sans")},
    }};
    const QString trimmed = face.trimmed();
    for (const auto &[windowsFace, localFace] : table) {
        // Face names are matched without regard to case, as on Windows.
        if (trimmed.compare(windowsFace, Qt::CaseInsensitive) == 0) {
            return localFace;
        }
    }
    return trimmed;
}

} // namespace qm
