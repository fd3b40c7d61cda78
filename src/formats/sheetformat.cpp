#include "sheetformat.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {


qint32 clampToInt32(qint64 value)
{
    if (value > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    if (value < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(value);
}

// The whole part of an offset, toward zero. Beyond the 32-bit range it only
// has to stay large enough for the sum to be held to that range.
qint64 wholeOffset(double offset)
{
    if (std::isnan(offset))
        return 0;
    constexpr double bound = 1e15;
    return static_cast<qint64>(std::trunc(std::clamp(offset, -bound, bound)));
}

} // namespace

void readSheetFormatLines(const QStringList &lines, const QString &path, SheetFormat &format,
                          QString *statusPanelText)
{
    SheetFormat read = format; // description, extent and last size stay unless replaced
    read.positions.clear();
    QString description;

    for (const QString &line : lines) {
        QString text = line + u',';
        QStringView rest(text);
        QString field;
        // The next field; once the line is used up, the last field again.
        // The appended comma ends every line, so a comma is always found.
        auto next = [&]() -> const QString & {
            if (!rest.isEmpty()) {
                const qsizetype comma = rest.indexOf(u',');
                field = rest.left(comma).toString();
                rest = rest.sliced(comma + 1);
            }
            return field;
        };
        auto nextNumber = [&] { return lenientToInt(next()); };

        const QString key = next().left(2);
        if (key.size() < 2)
            continue;
        if (key == u"NA") {
            description = next().left(MaxDescriptionLength);
            read.description = description;
        } else if (key == u"GR") {
            read.extentWidth = nextNumber();
            read.extentHeight = nextNumber();
        } else if (key == u"PO") {
            if (read.positionCount() >= MaxLabelPositions)
                throw Error(tooManyLabelsMessage(path));
            LabelPosition p;
            p.x = nextNumber();
            p.y = nextNumber();
            p.width = nextNumber();
            p.height = nextNumber();
            read.positions.push_back(p);
            read.lastLabelWidth = p.width;
            read.lastLabelHeight = p.height;
        }
    }

    format = std::move(read);
    if (statusPanelText)
        *statusPanelText = description;
}

bool FormatdateiLesen(const QString &path, SheetFormat &format, QString *statusPanelText)
{
    const std::optional<QStringList> lines = readTextLinesIfOpenable(path);
    if (!lines)
        return false;
    readSheetFormatLines(*lines, path, format, statusPanelText);
    return true;
}

bool HolePosition(const SheetFormat &format, int i, double offsetX, double offsetY, int &x, int &y,
                  int &width, int &height)
{
    if (i < 1 || i > format.positionCount())
        return false;
    const LabelPosition &p = format.positions[static_cast<size_t>(i - 1)];
    x = clampToInt32(wholeOffset(offsetX) + p.x);
    y = clampToInt32(wholeOffset(offsetY) + p.y);
    width = p.width;
    height = p.height;
    return true;
}

QString tooManyLabelsMessage(const QString &path)
{
    return QCoreApplication::translate("qm",
                                       "Die Formatdatei %1 beschreibt mehr als %2 Etiketten auf "
                                       "einem Bogen. Es sind höchstens %2 möglich.")
        .arg(path)
        .arg(MaxLabelPositions);
}

} // namespace qm
