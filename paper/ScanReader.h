#pragma once
// Reads scanned answer sheets: PNG, JPEG and TIFF pictures and scanner PDFs
// (every page), in any of the four orientations, skewed, scaled or with the
// mild perspective of a phone photo. Each page becomes one reading: the
// sheet's code, every box decided (marked, empty or doubtful) and the
// candidate ID, or a failure with a reason a teacher can act on, naming the
// file and the page. Nothing is scored or saved here.
//
// Memory stays bounded whatever the file: pictures above kMaxScanPixels are
// refused from their header before decoding, PDF pages are rendered at a
// capped size, and one page is held at a time.

#include <QImage>
#include <string>
#include <vector>

#include "paper/core/PageReading.h"
#include "paper/core/PaperJob.h"

namespace proctorium {

// One reading per page of `file`, in page order. A page whose code names no
// job in `jobs` fails as WrongSet; a version or sheet the job lacks fails as
// UnknownVersion. A file that cannot be opened at all gives one failed
// reading for its first page.
std::vector<TPageReading> ReadScanFile(const std::string& file, const std::vector<TPaperJob>& jobs);

// One page already in memory (any QImage format), as ReadScanFile reads each
// page; `source` and `page` only name it in the reading.
TPageReading ReadScanImage(const QImage& image, const std::vector<TPaperJob>& jobs, const std::string& source = {},
                           int page = 0);

// The page as the reader saw it (grey, at the resolution its PageToImage maps
// into), for the review to draw the boxes over. A null image when the page
// cannot be loaded.
QImage LoadScanPage(const std::string& file, int page);

// The pages in a file: a PDF's pages, a TIFF's pictures, 1 for any other
// picture; 0 when the file cannot be opened.
int ScanPageCount(const std::string& file);

}  // namespace proctorium
