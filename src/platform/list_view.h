// The few things the program, its tests and its benchmark do with a report
// list view, each a message to the list (so from a job thread each is a
// round trip to the UI thread).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace zrcc {

int ListRowCount(HWND listView);
// The list holds no texts of its own (owner data): it has a number of rows
// and asks its parent for a cell's text when it draws it or is asked for it.
// The count changes without a repaint of the rows already there or a scroll.
void SetListRowCount(HWND listView, int count);
// Draws a row again from its texts as they are now.
void RedrawListRow(HWND listView, int row);
void RedrawListRows(HWND listView, int first, int last);
// A cell's text as the list hands it over into `capacity` characters (a
// longer text arrives cut to capacity - 1).
std::wstring ListCellText(HWND listView, int row, int column, size_t capacity = 4096);
// The selected row, or -1.
int SelectedListRow(HWND listView);
// The row at a point of the list's client area (any column), or -1.
int ListRowAt(HWND listView, POINT client);
void DeleteListRow(HWND listView, int row);
void DeleteAllListRows(HWND listView);
void AddListColumn(HWND listView, int column, const wchar_t* title, int width);

}  // namespace zrcc
