// The few things the program, its tests and its benchmark do with a report
// list view, each a message to the list (so from a job thread each is a
// round trip to the UI thread).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace zrcc {

int ListRowCount(HWND listView);
// Inserts a row at `row` whose first cell is `firstCell`, carrying `data`
// (a value the list keeps for the row, shown nowhere).
void InsertListRow(HWND listView, int row, const std::wstring& firstCell, LPARAM data = 0);
void SetListRowData(HWND listView, int row, LPARAM data);
LPARAM ListRowData(HWND listView, int row);  // 0 for a row that does not exist
void SetListCell(HWND listView, int row, int column, const std::wstring& text);
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
