#include "core/layout.h"

#include <algorithm>

#include "core/dpi_math.h"

namespace zrcc {

namespace {
int S(int value, int dpi) { return MulDivRound(value, dpi, 96); }
}  // namespace

int TopBandHeight(int dpi) { return S(80, dpi); }

TopBandLayout LayoutTopBandRects(int dpi) {
  const int band = TopBandHeight(dpi);
  const int margin = S(5, dpi);
  const int gap = S(8, dpi);
  const int row = S(25, dpi);
  const int y1 = (band - 2 * row - gap) / 2;
  const int y2 = y1 + row + gap;

  const int pathW = S(600, dpi);
  const int versionW = S(100, dpi);
  const int buildW = S(400, dpi);
  const int buttonW = S(130, dpi);

  TopBandLayout l;
  l.pathField = {margin, y1, pathW, row};
  l.setFolder = {margin + pathW + gap, y1, S(150, dpi), row};
  l.versionField = {margin, y2, versionW, row};
  l.buildField = {margin + versionW + gap, y2, buildW, row};
  const int xc = margin + versionW + gap + buildW + gap;
  l.copy = {xc, y2, buttonW, row};
  l.install = {xc + gap + buttonW, y2, buttonW, row};
  l.uninstall = {xc + 2 * (gap + buttonW), y2, buttonW, row};
  return l;
}

ClientLayout LayoutClient(int dpi, int clientW, int clientH, int statusBarH) {
  const int top = TopBandHeight(dpi);
  const int bar = S(45, dpi);
  const int bh = S(25, dpi);
  const int bw = S(90, dpi);
  const int g = S(8, dpi);

  const int barTop = clientH - statusBarH - bar;
  const int y = barTop + (bar - bh) / 2;

  ClientLayout l;
  l.listView = {0, top, clientW, std::max(0, barTop - top)};
  l.addDir = {g, y, bw, bh};
  l.openDir = {bw + 2 * g, y, bw, bh};
  l.delDir = {2 * bw + 3 * g, y, bw, bh};
  l.separator = {3 * bw + 4 * g, y, S(2, dpi), bh};
  l.refresh = {3 * bw + 5 * g + S(2, dpi), y, bw, bh};
  l.filterField = {l.refresh.x + bw + 2 * g, y, S(220, dpi), bh};
  l.filterKind = {l.filterField.x + l.filterField.w + g, y, S(190, dpi), S(160, dpi)};
  return l;
}

Size MinimumTrackSize(int dpi, int statusBarH, int frameW, int frameH, int workW, int workH) {
  const TopBandLayout band = LayoutTopBandRects(dpi);
  const int margin = band.pathField.x;
  int right = 0;
  for (const Rect& r : {band.pathField, band.setFolder, band.versionField, band.buildField, band.copy, band.install,
                        band.uninstall}) {
    right = std::max(right, r.x + r.w);
  }
  // Laid out in a tall client area, everything but the list takes the
  // height the list does not get.
  constexpr int kTall = 1 << 20;
  const ClientLayout tall = LayoutClient(dpi, 0, kTall, statusBarH);
  right = std::max(right, tall.filterKind.x + tall.filterKind.w);
  Size size{right + margin + frameW, kTall - tall.listView.h + frameH};
  if (workW > 0) size.w = std::min(size.w, workW);
  if (workH > 0) size.h = std::min(size.h, workH);
  return size;
}

Edges PathFieldTextRect(int l, int t, int r, int b, int charHeight, int dpi) {
  Edges e;
  e.left = l + S(10, dpi);
  e.right = r - S(10, dpi);
  e.top = (b - t - charHeight) / 2;
  e.bottom = e.top + charHeight;
  return e;
}

int FontHeight(int points, int dpi) { return -MulDivRound(points, dpi, 72); }

}  // namespace zrcc
