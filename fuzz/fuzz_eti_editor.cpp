// The editor's design reader and writer on arbitrary bytes: a file that reads
// must also write, and reading what was written must give the same elements
// and the same size.
#include "designs/design.h"
#include "designs/etifile.h"
#include "fuzzinput.h"
#include "platform/errors.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const FuzzInputFile file(data, size);
    qm::Design design;
    try {
        qm::Eladen(file.path(), design);
    } catch (const qm::Error &) {
        return 0;
    }
    QStringList lines;
    try {
        lines = qm::etiFileLines(design, QStringLiteral("01.01.2026"));
    } catch (const qm::Error &) {
        return 0; // a size that is not a number refuses the save
    }
    qm::Design again;
    try {
        qm::loadEtiLines(lines, again);
    } catch (const qm::Error &) {
        std::abort(); // what the writer wrote must read back
    }
    int written = 0;
    for (const qm::Element &e : design.elements) {
        if (QStringLiteral("LROBTFSC").contains(e.kind))
            ++written;
    }
    if (again.count() != written)
        std::abort();
    // Saving never changes the size.
    if (again.widthMm != design.widthMm || again.heightMm != design.heightMm)
        std::abort();
    return 0;
}
