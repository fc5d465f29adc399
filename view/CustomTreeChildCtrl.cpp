#include "view/CustomTreeChildCtrl.h"

#include <windowsx.h>

#include <algorithm>
#include <string_view>

#include "res/Messages.h"
#include "view/ColumnTreeCtrl.h"
#include "win/Handles.h"

int CCustomTreeChildCtrl::FirstPieceWidth(HTREEITEM item) const {
    std::wstring first = CColumnTreeCtrl::Piece(CColumnTreeCtrl::ReadLabel(hwnd_, item), 0);
    win::WindowDC dc(hwnd_);
    win::SelectObjectScope font(dc.get(), GetFont());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), first.c_str(), static_cast<int>(first.size()), &size);
    return size.cx;
}

bool CCustomTreeChildCtrl::CheckHit(POINT pt) const {
    TVHITTESTINFO ht{};
    ht.pt = pt;
    HTREEITEM item = TreeView_HitTest(hwnd_, &ht);
    if (ht.flags & (TVHT_ONITEMICON | TVHT_ONITEMBUTTON | TVHT_ONITEMSTATEICON)) return true;
    if (!item) return false;
    RECT label{};
    if (!CColumnTreeCtrl::LabelRect(hwnd_, item, label)) return false;
    if (GetStyle() & TVS_FULLROWSELECT) {
        label.right = GetClientRect().right;
        return PtInRect(&label, pt) != 0;
    }
    return (ht.flags & TVHT_ONITEMLABEL) && pt.x < firstColumnWidth &&
           pt.x <= label.left + FirstPieceWidth(item) + 6;
}

void CCustomTreeChildCtrl::Paint() {
    win::PaintDC paint(hwnd_);
    RECT rc = GetClientRect();
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return;
    win::MemoryDC mem(paint.get());
    win::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(paint.get(), w, h));
    if (!mem.get() || !bitmap) return;
    win::SelectObjectScope keep(mem.get(), bitmap.get());
    // The tree paints the whole client area into the given context, background included.
    Default(WM_PAINT, reinterpret_cast<WPARAM>(mem.get()), 0);
    BitBlt(paint.get(), 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

void CCustomTreeChildCtrl::PutLateCount(TVITEMW& item) const {
    ILateRows* late = lateRows_;
    std::wstring count;
    if (!late || !(item.mask & TVIF_TEXT) || !item.pszText || item.cchTextMax <= 0 ||
        item.pszText == LPSTR_TEXTCALLBACKW || !late->LateCount(item.hItem, count))
        return;
    const size_t max = static_cast<size_t>(item.cchTextMax);
    const std::wstring_view shown(item.pszText, wcsnlen(item.pszText, max));
    const size_t tab = shown.find(L'\t');
    std::wstring label = count;
    if (tab != std::wstring_view::npos) label.append(shown.substr(tab));
    // Cut to the caller's room as the tree cuts: a reader that finds it full asks again.
    const size_t n = std::min(label.size(), max - 1);
    wmemcpy(item.pszText, label.data(), n);
    item.pszText[n] = L'\0';
}

LRESULT CCustomTreeChildCtrl::OnClick(UINT msg, WPARAM wp, LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (!CheckHit(pt)) {
        SetFocus(hwnd_);
        return 0;
    }
    TVHITTESTINFO ht{};
    ht.pt = pt;
    if (HTREEITEM item = TreeView_HitTest(hwnd_, &ht)) TreeView_SelectItem(hwnd_, item);
    return Default(msg, wp, lp);
}

LRESULT CCustomTreeChildCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_MOUSEMOVE: {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (!CheckHit(pt)) return 0;
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnClick(msg, wp, lp);
    case WM_KEYDOWN:
        if (wp == VK_SPACE && (GetStyle() & TVS_CHECKBOXES)) {
            if (ITickRows* ticks = tickRows_) {
                if (HTREEITEM row = TreeView_GetSelection(hwnd_)) ticks->TickKey(row);
                return 0;
            }
        }
        Invalidate(false);
        break;
    case WM_CHAR:
        // The space's character would start the tree's search by typing.
        if (wp == L' ' && tickRows_ && (GetStyle() & TVS_CHECKBOXES)) return 0;
        break;
    case WM_TIMER:
        return 0;
    case TVM_GETITEMW: {
        LRESULT r = Default(msg, wp, lp);
        if (r && lp) PutLateCount(*reinterpret_cast<TVITEMW*>(lp));
        return r;
    }
    case TVM_SETITEMW: {
        if (!lp) break;
        const TVITEMW item = *reinterpret_cast<const TVITEMW*>(lp);
        if (ILateRows* late = lateRows_; late && (item.mask & TVIF_TEXT)) late->DropLateCount(item.hItem);
        LRESULT r = Default(msg, wp, lp);
        if (ITickRows* ticks = tickRows_;
            r && ticks && (item.mask & TVIF_STATE) && (item.stateMask & TVIS_STATEIMAGEMASK))
            ticks->RowTickSet(item.hItem, (item.state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
        return r;
    }
    case TVM_GETNEXTITEM:
        // Every reader of a group's files (the passes, the tick clicks, the export)
        // comes here first, from whichever thread it asks.
        if (wp == TVGN_CHILD) MakeLateRows(reinterpret_cast<HTREEITEM>(lp));
        break;
    case WM_SIZE: {
        LRESULT r = Default(msg, wp, lp);
        // The vertical scroll bar came or went: the columns' layout depends on it.
        PostMessageW(GetParent(), WM_COLUMNTREE_RELAYOUT, 0, 0);
        return r;
    }
    default:
        break;
    }
    return Default(msg, wp, lp);
}
