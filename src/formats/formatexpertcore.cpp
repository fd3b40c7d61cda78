#include "formatexpertcore.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "programdir/filelookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

void zeroIfEmpty(QString &text)
{
    if (text.isEmpty())
        text = QStringLiteral("0");
}

// Trunc(mm × 0.5) of a length typed in millimetres: the length in tenths,
// halved and divided by ten, toward zero (whole numbers only, so no float
// rounding lands one below).
int halfPixels(const QString &text)
{
    return int(qint64(mmTextToTenths(text)) / 20);
}

// The offsets (origin + i·step, i from 0) of the cells of one direction
// that reach into the area; the others cannot be seen. The fields take at
// most three digits, so no more than 999 cells are looked at.
QList<int> visibleOffsets(int count, int origin, int size, int step, int areaSize)
{
    QList<int> offsets;
    const int cells = std::min(count, 999);
    for (int i = 0; i < cells; ++i) {
        const qint64 start = origin + qint64(i) * step;
        if (start < areaSize && start + std::max(size, 1) > 0)
            offsets.append(int(start));
        if (step == 0)
            break; // every further cell lies on the first one
    }
    return offsets;
}

} // namespace

FormatExpertCore::FormatExpertCore(IMessages &messages, QString formatDir)
    : m_messages(messages)
    , m_formatDir(std::move(formatDir))
{ }

QString FormatExpertCore::FormShow(FormatExpertView &view, const QString &mode, const QString &path)
{
    view.page = 1;
    view.backEnabled = false;
    view.nextEnabled = true;
    if (mode == QLatin1String("N")) {
        view.grid
            = GridTexts { QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1"),
                  QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0") };
        view.beschreibung.clear();
        view.status.clear();
        return path;
    }
    if (fileExists(path)) {
        Vorlageladen(view, path);
        return path;
    }
    const QString name = DateinameHolen(path);
    QString moved = QDir(m_formatDir).filePath(name);
    if (!fileExists(moved) && !name.isEmpty()) {
        const QString other = findFileCaseInsensitive(m_formatDir, name);
        if (!other.isEmpty())
            moved = other;
    }
    if (fileExists(moved)) {
        Vorlageladen(view, moved);
        return moved;
    }
    m_messages.show(MessageKind::Warning, tr("Formatdatei nicht gefunden !"), MessageButton::Ok);
    return moved;
}

bool FormatExpertCore::Vorlageladen(FormatExpertView &view, const QString &path)
{
    SheetFormat format;
    QString status;
    try {
        if (!FormatdateiLesen(path, format, &status))
            return false;
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return false;
    }
    view.grid = gridTexts(deriveSheetGrid(format));
    view.beschreibung = format.description;
    view.status = format.description;
    return true;
}

FormatPreview FormatExpertCore::Button_WeiterClick(FormatExpertView &view)
{
    ++view.page;
    view.backEnabled = true;
    view.nextEnabled = true;
    if (view.page >= 3) {
        view.page = 3;
        view.nextEnabled = false;
    }
    return previewOrReport(view);
}

FormatPreview FormatExpertCore::Button_ZurueckClick(FormatExpertView &view)
{
    --view.page;
    view.backEnabled = true;
    view.nextEnabled = true;
    if (view.page <= 1) {
        view.page = 1;
        view.backEnabled = false;
    }
    return previewOrReport(view);
}

void FormatExpertCore::BeschreibungExit(FormatExpertView &view)
{
    view.status = view.beschreibung;
}

FormatPreview FormatExpertCore::preview(FormatExpertView &view)
{
    GridTexts &g = view.grid;
    for (QString *text : { &g.grx, &g.gry, &g.neben, &g.unter, &g.startx, &g.starty, &g.vorX, &g.vorY })
        zeroIfEmpty(*text);
    const int sx = halfPixels(g.startx);
    const int sy = halfPixels(g.starty);
    const int gx = halfPixels(g.vorX);
    const int gy = halfPixels(g.vorY);
    const int w = halfPixels(g.grx);
    const int h = halfPixels(g.gry);
    const int across = strToInt(g.neben);
    const int down = strToInt(g.unter);

    // Column by column, and within a column from the top.
    FormatPreview picture;
    const QList<int> xs = visibleOffsets(across, sx, w, w + gx, PreviewWidth);
    const QList<int> ys = visibleOffsets(down, sy, h, h + gy, PreviewHeight);
    for (const int x : xs)
        for (const int y : ys)
            picture.labels.append(QRect(x, y, w, h));
    return picture;
}

FormatPreview FormatExpertCore::previewOrReport(FormatExpertView &view)
{
    try {
        return preview(view);
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return {};
    }
}

bool FormatExpertCore::BitBtn2Click(FormatExpertView &view, const QString &path)
{
    if (view.beschreibung.isEmpty()) {
        m_messages.show(MessageKind::Warning, tr("Bitte geben Sie eine Beschreibung das Format ein !"),
            MessageButton::Ok);
        return false;
    }
    try {
        saveCheckedTemplate(path, view.beschreibung, view.grid);
    } catch (const Error &e) {
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
        return false;
    }
    return true;
}

void checkLengthText(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+[.,]?\\d*|[.,]\\d+)\\s*$"));
    if (text.trimmed().isEmpty() || number.match(text).hasMatch())
        return;
    throw Error(tr("'%1' ist kein gültiger Gleitkommawert").arg(shortenedValue(text)));
}

void saveCheckedTemplate(const QString &path, const QString &description, const GridTexts &texts)
{
    // The counts first, as the writer reads them, then the lengths.
    strToInt(texts.neben);
    strToInt(texts.unter);
    for (const QString *text :
        { &texts.grx, &texts.gry, &texts.startx, &texts.starty, &texts.vorX, &texts.vorY })
        checkLengthText(*text);
    VorlageSichern(path, description, texts);
}

} // namespace qm
