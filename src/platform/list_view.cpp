#include "platform/list_view.h"

#include <commctrl.h>

namespace zrcc {

int ListRowCount(HWND listView) { return static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0)); }

void SetListRowCount(HWND listView, int count) {
  SendMessageW(listView, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void RedrawListRow(HWND listView, int row) {
  SendMessageW(listView, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

void RedrawListRows(HWND listView, int first, int last) {
  SendMessageW(listView, LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

std::wstring ListCellText(HWND listView, int row, int column, size_t capacity) {
  std::wstring buffer(capacity, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(capacity);
  SendMessageW(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return std::wstring(buffer.c_str());
}

int SelectedListRow(HWND listView) {
  return static_cast<int>(SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListRowAt(HWND listView, POINT client) {
  LVHITTESTINFO hit{};
  hit.pt = client;
  SendMessageW(listView, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return hit.iItem;
}

void DeleteListRow(HWND listView, int row) { SendMessageW(listView, LVM_DELETEITEM, static_cast<WPARAM>(row), 0); }

void DeleteAllListRows(HWND listView) { SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0); }

void AddListColumn(HWND listView, int column, const wchar_t* title, int width) {
  LVCOLUMNW spec{};
  spec.mask = LVCF_WIDTH | LVCF_TEXT;
  spec.cx = width;
  spec.pszText = const_cast<wchar_t*>(title);
  SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&spec));
}

}  // namespace zrcc
