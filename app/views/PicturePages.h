#pragma once
// A picture printed on as many pages as it needs. It is scaled to the page's width,
// never larger than a point for each of its pixels (so a map keeps its size on paper
// however long its legend), and smaller only where one of its bands would not fit on a
// page. Its bands (lines of text, a block of maps) then go onto the pages in order; a
// band that does not fit on a page any more begins the next one.

#include <QSizeF>
#include <vector>

struct PictureBand {
  double top, bottom;  // in the picture's units
};

struct PicturePages {
  double scale = 1;                // page units per picture unit
  std::vector<PictureBand> pages;  // the part of the picture on each page
};

PicturePages LayOutPages(const std::vector<PictureBand>& bands, const QSizeF& picture, const QSizeF& page, double largestScale);
