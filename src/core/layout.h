// Pixel positions of the main window's controls for a DPI and a client size.
// Pure arithmetic: the window applies the rectangles with SetWindowPos.
// All constants are in 96-DPI units and scaled with MulDiv rounding.
#pragma once

namespace zrcc {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// Edges of a rectangle, as EM_SETRECT takes them.
struct Edges {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The top band: the package path row and, below it, the version fields and
// the deployment buttons.
struct TopBandLayout {
  Rect pathField;     // 2000
  Rect setFolder;     // 2001 "Set ZandRivell Path"
  Rect versionField;  // 2002, narrow
  Rect buildField;    // 2003, wide
  Rect copy;          // 2004
  Rect install;       // 2005
  Rect uninstall;     // 2006
};

// Everything below the top band except the status bar, which docks itself.
struct ClientLayout {
  Rect listView;
  Rect addDir;     // 1001
  Rect openDir;    // 1002
  Rect delDir;     // 1003
  Rect separator;  // the etched line
  Rect refresh;    // 1004
  // The filter field and its drop-down, after the buttons; the drop-down's
  // height is that of its open list, the field it shows is the bar's row.
  Rect filterField;  // 4001
  Rect filterKind;   // 4002
};

// Height of the top band at `dpi` (where the list view starts).
int TopBandHeight(int dpi);

TopBandLayout LayoutTopBandRects(int dpi);

// `clientW` × `clientH` is the main window's client size, `statusBarH` the
// height of the status bar's client area. The list view fills the space
// between the top band and the bottom bar; its height is never negative,
// even when the window is shorter than the band and the bar together.
ClientLayout LayoutClient(int dpi, int clientW, int clientH, int statusBarH);

struct Size {
  int w = 0, h = 0;
};

// The smallest outer window size that shows every button whole: the top
// band's widest row with its left margin on the right too, the bottom bar
// and a status bar `statusBarH` high, plus the window's frame (`frameW`,
// `frameH`: outer less client size). Never more than the work area
// (`workW` x `workH`, ignored when not positive): on a screen too small for
// the band the window still fits the screen.
Size MinimumTrackSize(int dpi, int statusBarH, int frameW, int frameH, int workW, int workH);

// The path field's text rectangle: its client rectangle (l, t, r, b) less a
// margin of s(10) on the left and right, one line of `charHeight` centred
// vertically. For the fixed unscaled margin used at creation pass dpi 96.
Edges PathFieldTextRect(int l, int t, int r, int b, int charHeight, int dpi);

// LOGFONT-style height (negative: character height) of a font of `points`.
int FontHeight(int points, int dpi);

}  // namespace zrcc
