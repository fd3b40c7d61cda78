// The label-stock template reader on arbitrary bytes, followed by the
// resolution of equivalents, the conversion into sheet formats and, for
// every format made, the position lookups and the written VRL lines.
#include "formats/labeltemplates.h"
#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "platform/errors.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QList<qm::LabelTemplate> templates;
    try {
        templates = qm::parseLabelTemplates(
            QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const qm::Error &) {
        return 0;
    }
    qm::resolveEquivalents(templates);
    for (const bool withBrand : { false, true }) {
        const qm::TemplateConversion conversion = qm::convertTemplates(templates, withBrand);
        for (const qm::ConvertedFormat &converted : conversion.formats) {
            const qm::SheetFormat &format = converted.format;
            for (int i = 0; i <= format.positionCount() + 1; ++i) {
                int x = 0, y = 0, w = 0, h = 0;
                qm::HolePosition(format, i, 0.0, 250.0, x, y, w, h);
            }
            if (format.positionCount() > 0)
                (void)qm::gridTexts(qm::deriveSheetGrid(format));
        }
    }
    return 0;
}
