#include "views/PicturePages.h"

#include <algorithm>

PicturePages LayOutPages(const std::vector<PictureBand>& bands, const QSizeF& picture, const QSizeF& page, double largestScale) {
  PicturePages layout;
  layout.scale = std::min(largestScale, page.width() / picture.width());
  // What lies outside the bands (the margins) belongs to the band it adjoins; the first
  // page starts at the top of the picture, the last ends at its bottom.
  double tallest = 0;
  for (std::size_t i = 0; i < bands.size(); ++i) {
    const double top = i == 0 ? 0 : bands[i].top;
    const double bottom = i + 1 == bands.size() ? picture.height() : bands[i].bottom;
    tallest = std::max(tallest, bottom - top);
  }
  if (tallest * layout.scale > page.height()) layout.scale = page.height() / tallest;
  const double pageHeight = page.height() / layout.scale;
  PictureBand current{0, 0};
  for (std::size_t i = 0; i < bands.size(); ++i) {
    const double bottom = i + 1 == bands.size() ? picture.height() : bands[i].bottom;
    if (bottom - current.top > pageHeight && current.bottom > current.top) {
      layout.pages.push_back(current);
      current = {bands[i].top, bands[i].top};
    }
    current.bottom = bottom;
  }
  if (bands.empty()) current.bottom = picture.height();
  layout.pages.push_back(current);
  return layout;
}
