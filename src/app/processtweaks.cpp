#include "processtweaks.h"

#include <zlib.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace qm {

void applyProcessTweaks()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, MmapThresholdBytes);
    mallopt(M_TRIM_THRESHOLD, TrimThresholdBytes);
#endif
}

} // namespace qm

// zlib's deflateInit_, taking the program's level for the default one (see
// processtweaks.h).
extern "C" int deflateInit_(z_streamp stream, int level, const char *version, int streamSize)
{
    if (level == Z_DEFAULT_COMPRESSION)
        level = qm::PdfCompressionLevel;
    constexpr int DefaultMemoryLevel = 8; // what deflateInit gives
    return deflateInit2_(
        stream, level, Z_DEFLATED, MAX_WBITS, DefaultMemoryLevel, Z_DEFAULT_STRATEGY, version, streamSize);
}
