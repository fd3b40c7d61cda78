#pragma once

namespace qm {

// What the program changes for the whole process, in this one file, which
// is linked only into the executable and into the test that checks it:
// every other test runs with the libraries as they come.
//
// - zlib: this file defines zlib's deflateInit_ (what the deflateInit macro
//   calls). The executable's definition comes before the library's for
//   every caller in the process, Qt's PDF engine among them; a caller that
//   asks for zlib's default level gets PdfCompressionLevel, one that names a
//   level gets that level. Being a definition, it holds as soon as the file
//   is linked.
// - glibc's allocator: applyProcessTweaks() keeps large buffers in the heap.

// The zlib level PDF pages are compressed with. Qt's PDF engine compresses
// every page at zlib's default level, 6, and offers no other. Pages of
// barcodes are short rectangle operators of few kinds, on which level 6
// walks long chains of earlier matches for little gain: it took more time
// than everything else of a run of 10,000 QR-code labels. Level 4
// compresses such a page nearly as small (a fifth more bytes; text pages a
// sixth) in less than a third of the time.
inline constexpr int PdfCompressionLevel = 4;

// The allocator's thresholds: blocks of up to 32 MiB come from the heap,
// and the heap is given back to the system only when 64 MiB at its top are
// free. Qt's PDF engine compresses every page through two buffers of 16 MiB,
// of which a page touches a few kilobytes. By default glibc hands them back
// to the system after each page and maps them in again for the next one: a
// page fault for every touched page of memory, a tenth of a long run's
// time. Kept in the heap, the untouched part stays virtual and costs
// nothing.
inline constexpr int MmapThresholdBytes = 32 * 1024 * 1024;
inline constexpr int TrimThresholdBytes = 64 * 1024 * 1024;

// Sets the allocator's thresholds (with glibc; elsewhere nothing). Called
// once, first thing in main().
void applyProcessTweaks();

} // namespace qm
