#include "view/ColumnTreeCtrl.h"


#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwchar>
#include <vector>

#include "res/Messages.h"
#include "win/CommonControls.h"
#include "win/Dpi.h"
#include "win/Handles.h"

namespace {

constexpr UINT kTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

bool IsHeaderChanging(UINT code) { return code == HDN_ITEMCHANGINGW || code == HDN_ITEMCHANGINGA; }
bool IsHeaderChanged(UINT code) { return code == HDN_ITEMCHANGEDW || code == HDN_ITEMCHANGEDA; }
bool IsItemExpanded(UINT code) { return code == TVN_ITEMEXPANDEDW || code == TVN_ITEMEXPANDEDA; }
bool IsItemExpanding(UINT code) { return code == TVN_ITEMEXPANDINGW || code == TVN_ITEMEXPANDINGA; }
bool IsGetDispInfo(UINT code) { return code == TVN_GETDISPINFOW || code == TVN_GETDISPINFOA; }

// Pieces of a label: every TAB ends one; text after the last TAB is a piece too.
int PieceCount(const std::wstring& label) {
    int n = static_cast<int>(std::count(label.begin(), label.end(), L'\t'));
    if (!label.empty() && label.back() != L'\t') ++n;
    return n;
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    win::GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &r, brush.get());
}


}  // namespace

std::wstring CColumnTreeCtrl::ReadLabel(HWND tree, HTREEITEM item) {
    if (!tree || !item) return {};
    std::vector<wchar_t> buf(512);
    for (;;) {
        buf[0] = L'\0';
        TVITEMW it{};
        it.mask = TVIF_TEXT | TVIF_HANDLE;
        it.hItem = item;
        it.pszText = buf.data();
        it.cchTextMax = static_cast<int>(buf.size());
        if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it)) || !it.pszText) return {};
        size_t len = wcsnlen(it.pszText, buf.size());
        // A text that filled the buffer may have been cut: ask again with more room.
        if (len + 1 < buf.size() || buf.size() >= (1u << 17)) return std::wstring(it.pszText, len);
        buf.assign(buf.size() * 4, L'\0');
    }
}

std::wstring CColumnTreeCtrl::Piece(const std::wstring& label, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        size_t tab = label.find(L'\t', start);
        if (tab == std::wstring::npos) return {};
        start = tab + 1;
    }
    size_t end = label.find(L'\t', start);
    return label.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

bool CColumnTreeCtrl::LabelRect(HWND tree, HTREEITEM item, RECT& rect) {
    // TVM_GETITEMRECT takes the item handle in the rectangle it fills.
    std::memcpy(&rect, &item, sizeof item);
    return SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) != 0;
}

bool CColumnTreeCtrl::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) {
    // What reaches the dialog from this window was forwarded on purpose.
    return false;
}

void CColumnTreeCtrl::Initialize() {
    if (tree_.IsAttached()) return;
    // The children cover the placeholder; keep its own painting off them.
    ModifyStyle(0, WS_CLIPCHILDREN);
    RECT rc = GetClientRect();
    HINSTANCE inst = GetModuleHandleW(nullptr);
    auto make = [&](const wchar_t* cls, DWORD style, int id) {
        return CreateWindowExW(0, cls, L"", style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                               hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
    };
    HWND tree = make(WC_TREEVIEWW, WS_CHILD | WS_VISIBLE | TVS_NOHSCROLL | TVS_NOTOOLTIPS, kTreeId);
    if (!tree) return;
    tree_.SubclassWindow(tree);
    header_ = make(WC_HEADERW, WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_FULLDRAG, kHeaderId);
    filler_ = make(WC_HEADERW, WS_CHILD, kFillerId);
    hScroll_ = make(WC_SCROLLBARW, WS_CHILD | SBS_HORZ | SBS_BOTTOMALIGN, kScrollId);

    HFONT font = tree_.GetFont();
    header_.SetFont(font, false);
    filler_.SetFont(font, false);

    // Lengths for 96 DPI, at the window's.
    dpi_ = win::DpiOf(hwnd_);
    textIndent_ = win::Scaled(win::CommonControlsMajorVersion() >= 6 ? 9 : 6, dpi_);
    headerHeight_ = LayoutHeaderHeight();
    scrollX_ = 0;
    UpdateColumns();
}

void CColumnTreeCtrl::ReplaceTree() {
    const HWND old = tree_.GetHwnd();
    if (!old) return;
    // The scroll bars are the tree's own business: the new one has none yet.
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE)) & ~(WS_VSCROLL | WS_HSCROLL);
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_EXSTYLE));
    RECT rc{};
    ::GetWindowRect(old, &rc);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rc), 2);
    // Check boxes are asked for after creation, as the tree wants it.
    const HWND tree = CreateWindowExW(exStyle, WC_TREEVIEWW, L"", (style & ~TVS_CHECKBOXES) | WS_VISIBLE, rc.left,
                                      rc.top, rc.right - rc.left, rc.bottom - rc.top, hwnd_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeId)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (!tree) {
        TreeView_DeleteAllItems(old);   // no room for another window: the slow way
        return;
    }
    SetWindowLongPtrW(old, GWLP_ID, 0);
    ShowWindow(old, SW_HIDE);
    EnableWindow(old, FALSE);
    tree_.UnsubclassWindow();
    retired_.push_back(old);

    SetWindowLongPtrW(tree, GWL_STYLE, static_cast<LONG_PTR>(style | WS_VISIBLE));
    SetWindowPos(tree, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SendMessageW(tree, WM_SETFONT, SendMessageW(old, WM_GETFONT, 0, 0), FALSE);
    TreeView_SetImageList(tree, TreeView_GetImageList(old, TVSIL_NORMAL), TVSIL_NORMAL);
    tree_.SubclassWindow(tree);
    RepositionControls();
    SetTimer(hwnd_, kDisposeTimer, 10, nullptr);
}

bool CColumnTreeCtrl::Retired(HWND tree) const {
    return std::find(retired_.begin(), retired_.end(), tree) != retired_.end();
}

bool CColumnTreeCtrl::DisposeStep() {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(40);
    while (!retired_.empty() && Clock::now() < until) {
        const HWND old = retired_.front();
        // Wine's tree keeps its rows in one array, searched and closed up on every
        // free: from the front, each free closes the array up, the cheaper half.
        if (HTREEITEM first = TreeView_GetRoot(old)) {
            TreeView_DeleteItem(old, first);
            continue;
        }
        // The tree made its check boxes' images itself; they are not freed with it.
        HIMAGELIST checks = TreeView_SetImageList(old, nullptr, TVSIL_STATE);
        DestroyWindow(old);
        if (checks) ImageList_Destroy(checks);
        retired_.erase(retired_.begin());
    }
    return !retired_.empty();
}

int CColumnTreeCtrl::LayoutHeaderHeight() const {
    RECT rc = GetClientRect();
    WINDOWPOS wp{};
    HDLAYOUT layout{&rc, &wp};
    Header_Layout(header_, &layout);
    return wp.cy;
}

int CColumnTreeCtrl::GetColumnCount() const {
    int n = header_ ? Header_GetItemCount(header_) : 0;
    return std::clamp(n, 0, kMaxColumns);
}

int CColumnTreeCtrl::InsertColumn(int index, const std::wstring& text, int format, int width, int) {
    if (index < 0 || index >= kMaxColumns || !header_) return -1;
    columnFormats_[index] = format;
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH;
    item.cxy = width < 0 ? 100 : width;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.fmt = format | HDF_STRING;
    int result = static_cast<int>(Header_InsertItem(header_, index, &item));
    // One item fills the filler header; it only has to look like header background.
    if (Header_GetItemCount(header_) > 0 && Header_GetItemCount(filler_) == 0) {
        HDITEMW fill{};
        fill.mask = HDI_WIDTH | HDI_FORMAT;
        fill.cxy = GetSystemMetrics(SM_CXVSCROLL) + 5;
        fill.fmt = format;
        Header_InsertItem(filler_, 0, &fill);
    }
    UpdateColumns();
    return result;
}

void CColumnTreeCtrl::ScaleLengths(UINT to, UINT from) {
    if (!to || !from || to == from || !header_) return;
    const int n = GetColumnCount();
    for (int i = 0; i < n; ++i) {
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        Header_GetItem(header_, i, &item);
        item.cxy = MulDiv(item.cxy, static_cast<int>(to), static_cast<int>(from));
        // Each change relays the columns, which holds back the next change: not this one.
        blockNextHeaderChange_ = false;
        Header_SetItem(header_, i, &item);
    }
    textIndent_ = MulDiv(textIndent_, static_cast<int>(to), static_cast<int>(from));
    dpi_ = to;
    headerHeight_ = LayoutHeaderHeight();
    UpdateColumns();
}

void CColumnTreeCtrl::UpdateColumns() {
    totalWidth_ = 0;
    int n = GetColumnCount();
    for (int i = 0; i < n; ++i) {
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        Header_GetItem(header_, i, &item);
        columnWidths_[i] = item.cxy;
        totalWidth_ += item.cxy;
        if (i == 0) tree_.firstColumnWidth = item.cxy;
    }
    blockNextHeaderChange_ = true;
    RepositionControls();
}

bool CColumnTreeCtrl::TreeHasVScroll() const {
    HWND tree = tree_.GetHwnd();
    if (!tree || !(GetWindowLongPtrW(tree, GWL_STYLE) & WS_VSCROLL)) return false;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    if (!GetScrollInfo(tree, SB_VERT, &si)) return false;
    return si.nMin != si.nMax;
}

int CColumnTreeCtrl::ContentWidth() const {
    return totalWidth_ + (TreeHasVScroll() ? GetSystemMetrics(SM_CXVSCROLL) : 0);
}

void CColumnTreeCtrl::RepositionControls() {
    HWND tree = tree_.GetHwnd();
    if (!tree) return;
    RECT rc = GetClientRect();
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    int cx = width;
    const int h = GetSystemMetrics(SM_CYHSCROLL), v = GetSystemMetrics(SM_CXVSCROLL);
    const bool V = TreeHasVScroll();
    laidOutWithVScroll_ = V;

    const int content = totalWidth_ + (V ? v : 0);
    scrollX_ = std::max(std::min(scrollX_, content - cx), 0);

    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = content;
    si.nPage = static_cast<UINT>(std::max(cx, 0));
    si.nPos = scrollX_;
    SetScrollInfo(hScroll_, SB_CTL, &si, TRUE);

    int offset = 0;
    if (cx < content) {
        offset = GetScrollPos(hScroll_, SB_CTL);
        cx += offset;
    }
    const bool H = !(width >= content || height < h + headerHeight_);

    MoveWindow(header_, -offset, 0, cx - (V ? v : 0), headerHeight_, TRUE);
    MoveWindow(filler_, width - v, 0, v, headerHeight_, TRUE);
    MoveWindow(tree, -offset, headerHeight_, cx, height - headerHeight_ - (H ? h : 0), TRUE);
    MoveWindow(hScroll_, 0, height - h, width - (V ? v : 0), h, TRUE);
    ShowWindow(hScroll_, H ? SW_SHOW : SW_HIDE);
    ShowWindow(filler_, V ? SW_SHOW : SW_HIDE);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void CColumnTreeCtrl::SetItemText(HTREEITEM item, int column, const std::wstring& text) {
    HWND tree = tree_.GetHwnd();
    if (!tree || !item) return;
    std::wstring label = ReadLabel(tree, item), out;
    int n = GetColumnCount();
    for (int i = 0; i < n; ++i) {
        out += i == column ? text : Piece(label, i);
        out += L'\t';
    }
    TVITEMW it{};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = item;
    it.pszText = out.data();
    if (SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it)))
        if (IColumnTreeObserver* o = observer_) o->OnRowTextChanged(item, column, text);
}

std::wstring CColumnTreeCtrl::GetItemText(HTREEITEM item, int column) const {
    return Piece(ReadLabel(tree_.GetHwnd(), item), column);
}

int CColumnTreeCtrl::GetChildCount(HTREEITEM item) const {
    HWND tree = tree_.GetHwnd();
    if (!tree || !item) return 0;
    int n = 0;
    for (HTREEITEM c = TreeView_GetChild(tree, item); c; c = TreeView_GetNextSibling(tree, c)) ++n;
    return n;
}

HTREEITEM CColumnTreeCtrl::HitTest(ColumnTreeHitInfo& info) const {
    TVHITTESTINFO ht{};
    ht.pt.x = info.pt.x + scrollX_;
    ht.pt.y = info.pt.y - headerHeight_;
    HTREEITEM item = TreeView_HitTest(tree_.GetHwnd(), &ht);
    info.hItem = item;
    info.flags = ht.flags;
    info.iSubItem = 0;
    if (!(ht.flags & (TVHT_ONITEMLABEL | TVHT_ONITEMRIGHT))) return item;
    int x = 0;
    int n = GetColumnCount();
    for (int i = 0; i < n; ++i) {
        // A point on a shared border belongs to the left column.
        if (ht.pt.x >= x && ht.pt.x <= x + columnWidths_[i]) {
            info.iSubItem = i;
            info.flags = TVHT_ONITEMLABEL;
            return item;
        }
        x += columnWidths_[i];
    }
    info.hItem = nullptr;
    info.flags = TVHT_NOWHERE;
    return nullptr;
}

LRESULT CColumnTreeCtrl::ForwardToOwner(WPARAM wp, NMHDR* hdr) {
    HWND from = hdr->hwndFrom;
    UINT_PTR id = hdr->idFrom;
    hdr->hwndFrom = hwnd_;
    hdr->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    LRESULT r = SendMessageW(::GetParent(hwnd_), WM_NOTIFY, wp, reinterpret_cast<LPARAM>(hdr));
    hdr->hwndFrom = from;
    hdr->idFrom = id;
    return r;
}

LRESULT CColumnTreeCtrl::OnNotify(WPARAM wp, NMHDR* hdr) {
    if (Retired(hdr->hwndFrom)) return 0;
    if (hdr->hwndFrom == header_.GetHwnd()) {
        if (IsHeaderChanging(hdr->code)) {
            if (blockNextHeaderChange_) {
                blockNextHeaderChange_ = false;
                return TRUE;
            }
            auto* nm = reinterpret_cast<NMHEADERW*>(hdr);
            if (nm->iItem == 0 && nm->pitem && (nm->pitem->mask & HDI_WIDTH) &&
                nm->pitem->cxy < minFirstColumnWidth_)
                return TRUE;
            return FALSE;
        }
        if (IsHeaderChanged(hdr->code)) {
            UpdateColumns();
            tree_.Invalidate(true);
            return 0;
        }
    } else if (hdr->hwndFrom == tree_.GetHwnd()) {
        if (hdr->code == NM_CUSTOMDRAW) return OnCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(hdr));
        // The tree checks for children after this notification: rows made here show.
        // The item handle sits at the same place in both character sets' structures.
        // Group rows ask whether to show an expand button (I_CHILDRENCALLBACK): a row
        // whose files are held back has none in the tree yet, and one whose files were
        // all deleted has none left. Answered without reaching its children.
        if (IsGetDispInfo(hdr->code)) {
            auto* di = reinterpret_cast<NMTVDISPINFOW*>(hdr);
            if (di->item.mask & TVIF_CHILDREN) di->item.cChildren = tree_.HasFileRows(di->item.hItem) ? 1 : 0;
        }
        if (IsItemExpanding(hdr->code)) {
            auto* nm = reinterpret_cast<NMTREEVIEWW*>(hdr);
            if (nm->action & TVE_EXPAND) tree_.MakeLateRows(nm->itemNew.hItem);
        }
        // The tree's scroll bar may have come or gone. Laid out once the expanding is
        // over: expanding all would otherwise repaint the whole control per row.
        if (IsItemExpanded(hdr->code) && !relayoutPosted_) {
            relayoutPosted_ = true;
            PostMessageW(hwnd_, WM_COLUMNTREE_RELAYOUT, 0, 0);
        }
        if (hdr->code == TVN_DELETEITEMW || hdr->code == TVN_DELETEITEMA)
            if (IColumnTreeObserver* o = observer_) o->OnRowDeleted(reinterpret_cast<NMTREEVIEWW*>(hdr)->itemOld.hItem);
    }
    return ForwardToOwner(wp, hdr);
}

LRESULT CColumnTreeCtrl::OnCustomDraw(NMTVCUSTOMDRAW* cd) {
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT:
        PaintRow(cd);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void CColumnTreeCtrl::PaintRow(NMTVCUSTOMDRAW* cd) {
    HDC dc = cd->nmcd.hdc;
    const RECT row = cd->nmcd.rc;
    if (IsRectEmpty(&row)) return;
    HWND tree = tree_.GetHwnd();
    auto item = reinterpret_cast<HTREEITEM>(cd->nmcd.dwItemSpec);
    RECT label{};
    if (!CColumnTreeCtrl::LabelRect(tree, item, label)) return;

    const bool enabled = IsWindowEnabled(hwnd_) != 0;
    const bool fullRow = (GetWindowLongPtrW(tree, GWL_STYLE) & TVS_FULLROWSELECT) != 0;
    const COLORREF window = GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
    // The tree drew the whole TAB-joined label here; the columns replace it.
    FillSolid(dc, label, window);

    const int n = GetColumnCount();
    int x = 0;
    for (int i = 0; i < n; ++i) {
        x += columnWidths_[i];
        RECT r = row;
        r.right = x - 1;
        DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RIGHT);
    }
    RECT bottom = row;
    bottom.right = x - 1;
    DrawEdge(dc, &bottom, BDR_SUNKENINNER, BF_BOTTOM);

    const std::wstring text = ReadLabel(tree, item);
    const std::wstring first = Piece(text, 0);
    RECT measure{0, 0, 0, 0};
    DrawTextW(dc, first.c_str(), static_cast<int>(first.size()), &measure,
              DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    const int highlightRight = std::min(static_cast<int>(label.left + (measure.right - measure.left) + 4), columnWidths_[0] - 4);

    const bool highlighted = label.right - label.left >= 0 && cd->clrTextBk != window &&
                             cd->clrTextBk != CLR_NONE && cd->clrTextBk != CLR_DEFAULT;
    if (highlighted) {
        RECT hl = label;
        hl.right = fullRow ? totalWidth_ - 1 : highlightRight;
        FillSolid(dc, hl, cd->clrTextBk);
        if (cd->nmcd.uItemState & CDIS_FOCUS) DrawFocusRect(dc, &hl);
    }

    // The first piece stays inside column 0 even when the label is much wider.
    RECT r0 = label;
    r0.right = std::min(r0.right, static_cast<LONG>(columnWidths_[0]));
    InflateRect(&r0, -2, -1);
    // A quiet row keeps the highlight's text colour when selected, grey otherwise.
    const bool quiet = !highlighted && quietRow_ && quietRow_(item);
    SetTextColor(dc, quiet ? GetSysColor(COLOR_GRAYTEXT) : cd->clrText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, first.c_str(), static_cast<int>(first.size()), &r0, kTextFlags);

    if (enabled && !fullRow && !quiet) SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    const int pieces = PieceCount(text);
    x = columnWidths_[0];
    for (int j = 1; j < n; ++j) {
        const int w = columnWidths_[j];
        if (j < pieces) {
            RECT r{x + 1, label.top, x + w - 1, label.bottom};
            r.left += textIndent_;
            r.top += 1;
            r.right -= 2;
            r.bottom -= 1;
            if (r.left >= 0 && r.right >= 0 && r.left < r.right) {
                UINT align = (columnFormats_[j] & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
                             : (columnFormats_[j] & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                                                   : DT_LEFT;
                const std::wstring piece = Piece(text, j);
                DrawTextW(dc, piece.c_str(), static_cast<int>(piece.size()), &r, kTextFlags | align);
            }
        }
        x += w;
    }
}

void CColumnTreeCtrl::OnHScroll(WPARAM wp) {
    const int content = ContentWidth();
    RECT rc = GetClientRect();
    const int cx = rc.right - rc.left;
    int pos = scrollX_;
    switch (LOWORD(wp)) {
    case SB_LINELEFT: pos -= win::Scaled(15, dpi_); break;
    case SB_LINERIGHT: pos += win::Scaled(15, dpi_); break;
    case SB_PAGELEFT: pos -= cx; break;
    case SB_PAGERIGHT: pos += cx; break;
    case SB_THUMBTRACK: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(hScroll_, SB_CTL, &si);
        pos = si.nTrackPos;
        break;
    }
    case SB_LEFT: pos = 0; break;
    case SB_RIGHT: pos = content - cx; break;
    default: return;
    }
    if (pos > content - cx) pos = content - cx;
    if (pos < 0) pos = 0;
    if (pos == scrollX_) return;
    scrollX_ = pos;
    RepositionControls();
}

void CColumnTreeCtrl::OnPaint() {
    win::PaintDC paint(hwnd_);
    if (!TreeHasVScroll()) return;
    RECT rc = GetClientRect();
    const int h = GetSystemMetrics(SM_CYHSCROLL), v = GetSystemMetrics(SM_CXVSCROLL);
    RECT corner{rc.right - v, rc.bottom - h, rc.right, rc.bottom};
    FillRect(paint.get(), &corner, GetSysColorBrush(COLOR_BTNFACE));
}

void CColumnTreeCtrl::OnSettingChange(UINT msg, WPARAM wp, LPARAM lp) {
    for (HWND child : {tree_.GetHwnd(), hScroll_.GetHwnd(), header_.GetHwnd(), filler_.GetHwnd()})
        if (child) SendMessageW(child, msg, wp, lp);
    auto gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    header_.SetFont(gui);
    filler_.SetFont(gui);
    headerHeight_ = LayoutHeaderHeight();
    RepositionControls();
}

LRESULT CColumnTreeCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NOTIFYFORMAT:
        return NFR_UNICODE;
    case WM_NOTIFY:
        return OnNotify(wp, reinterpret_cast<NMHDR*>(lp));
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lp) == hScroll_.GetHwnd()) {
            OnHScroll(wp);
            return 0;
        }
        break;
    case WM_SIZE: {
        LRESULT r = Default(msg, wp, lp);
        RepositionControls();
        return r;
    }
    case WM_TIMER:
        if (wp != kDisposeTimer) break;
        if (!DisposeStep()) KillTimer(hwnd_, kDisposeTimer);
        return 0;
    case WM_COLUMNTREE_RELAYOUT:
        relayoutPosted_ = false;
        if (TreeHasVScroll() != laidOutWithVScroll_) RepositionControls();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ENABLE:
        for (HWND child : {header_.GetHwnd(), filler_.GetHwnd(), tree_.GetHwnd(), hScroll_.GetHwnd()})
            if (child) EnableWindow(child, wp != 0);
        break;
    case WM_SETTINGCHANGE:
        OnSettingChange(msg, wp, lp);
        break;
    default:
        break;
    }
    return Default(msg, wp, lp);
}
