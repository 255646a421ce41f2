// Builds a tree of roots x children nodes (1,000 x 1,000 by default), walks it,
// sorts the second level and clears it, timing each step and measuring the
// memory per node; then does the same with the common-controls tree view in
// the same process, items without text (the view asks for it, as ours does).
// Then the position cache: its build for a million visible rows and the
// cost of a lookup at the last row for a thousand and a million rows, flat
// and two levels deep; and expansion, selection and sorting of whole trees
// at two sizes, so their growth shows. Last, painting: an 800 x 600 window
// of a thousand and of a million nodes, flat and two levels deep, text in
// every cell, repainted whole at the top, the middle and the end and paged
// down from the top, beside the common-controls tree view with the same
// nodes (text by callback) in the same run. Our cells are the string tree's,
// their text from OnGetText.
#include "bench/BenchTiming.h"
#include "platform/Canvas.h"
#include "platform/Win32.h"
#include "vtree/StringTree.h"
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeColumns.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using bench::Now;
using bench::SecondsSince;

// Committed private memory of the process, summed over its address space.
// Wine answers 0 for the private-usage counter of GetProcessMemoryInfo, so
// the regions are walked instead (the same figure on Windows).
size_t PrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (auto address = static_cast<const char*>(nullptr); VirtualQuery(address, &info, sizeof(info)) == sizeof(info);) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

// The key every node carries: children arrive in descending key order, so
// sorting them ascending moves every node.
uint32_t KeyOf(uint32_t root, uint32_t child, uint32_t children) { return root * children + (children - 1 - child); }

struct Result {
  double Build = 0, Walk = 0, Sort = 0, Clear = 0;
  double RawWalk = -1;         // tree only: the walk that initialises nothing
  double BytesPerNode = 0;     // process private bytes added by the filled tree
  double StorageBytes = 0;     // what the structure itself reports (tree only)
  uint32_t Walked = 0;
};

Result RunVirtualTree(uint32_t roots, uint32_t children) {
  Result r;
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(4);
  const size_t before = PrivateBytes();

  LONGLONG start = Now();
  tree.BeginTreeUpdate();
  tree.SetRootNodeCount(roots);
  uint32_t rootIndex = 0;
  for (PVirtualNode root = tree.FirstNodeRaw(); root; root = root->NextSibling, ++rootIndex) {
    tree.SetChildCount(root, children);
    uint32_t childIndex = 0;
    for (PVirtualNode child = root->FirstChild; child; child = child->NextSibling, ++childIndex)
      *static_cast<uint32_t*>(tree.NodeUserData(child)) = KeyOf(rootIndex, childIndex, children);
  }
  tree.EndTreeUpdate();
  r.Build = SecondsSince(start);
  const uint32_t total = tree.TotalCount();
  r.BytesPerNode = double(PrivateBytes() - before) / total;
  r.StorageBytes = double(tree.NodeMemory()) / total;

  // The walk an application makes: every node is initialised on the way
  // (its OnInitNode fired) the first time.
  start = Now();
  for (PVirtualNode run = tree.FirstNode(); run; run = tree.NextNode(run)) ++r.Walked;
  r.Walk = SecondsSince(start);
  start = Now();
  uint32_t walked = 0;
  for (PVirtualNode run = tree.FirstNodeRaw(); run; run = tree.NextNodeRaw(run)) ++walked;
  r.RawWalk = SecondsSince(start);

  tree.OnCompareNodes = TVTCompareEvent::Lambda([](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int32_t& result) {
    const uint32_t ka = *static_cast<uint32_t*>(t->NodeUserData(a)), kb = *static_cast<uint32_t*>(t->NodeUserData(b));
    result = ka < kb ? -1 : ka > kb ? 1 : 0;
  });
  start = Now();
  tree.BeginTreeUpdate();
  for (PVirtualNode root = tree.FirstNodeRaw(); root; root = root->NextSibling)
    tree.SortChildren(root, NoColumn, TSortDirection::sdAscending, false);
  tree.EndTreeUpdate();
  r.Sort = SecondsSince(start);

  start = Now();
  tree.ClearAllNodes();
  r.Clear = SecondsSince(start);
  return r;
}

int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : a > b ? 1 : 0; }

Result RunTreeView(uint32_t roots, uint32_t children) {
  Result r;
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&init);
  // A hidden view with redrawing off: the cost measured is its storage.
  HWND view = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP | TVS_HASBUTTONS | TVS_HASLINES, 0, 0, 300, 400,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!view) {
    std::printf("tree view: CreateWindowEx failed (%lu)\n", GetLastError());
    return r;
  }
  SendMessageA(view, WM_SETREDRAW, FALSE, 0);
  const size_t before = PrivateBytes();

  LONGLONG start = Now();
  TVINSERTSTRUCTA insert{};
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = LPSTR_TEXTCALLBACKA;
  for (uint32_t i = 0; i < roots; ++i) {
    insert.hParent = TVI_ROOT;
    insert.item.lParam = i;
    insert.item.cChildren = children > 0;
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.hParent = root;
    insert.item.cChildren = 0;
    for (uint32_t j = 0; j < children; ++j) {
      insert.item.lParam = KeyOf(i, j, children);
      SendMessageA(view, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
  }
  r.Build = SecondsSince(start);
  const uint32_t total = static_cast<uint32_t>(SendMessageA(view, TVM_GETCOUNT, 0, 0));
  r.BytesPerNode = double(PrivateBytes() - before) / (total ? total : 1);

  start = Now();
  for (auto root = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_GETNEXTITEM, TVGN_ROOT, 0)); root;
       root = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(root)))) {
    ++r.Walked;
    for (auto child = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
         child;
         child = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child))))
      ++r.Walked;
  }
  r.Walk = SecondsSince(start);

  start = Now();
  TVSORTCB sort{nullptr, CompareItems, 0};
  for (auto root = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_GETNEXTITEM, TVGN_ROOT, 0)); root;
       root = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(root)))) {
    sort.hParent = root;
    SendMessageA(view, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
  }
  r.Sort = SecondsSince(start);

  start = Now();
  SendMessageA(view, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  r.Clear = SecondsSince(start);
  DestroyWindow(view);
  return r;
}

void Print(const char* name, const Result& r) {
  std::printf("%-14s build %8.3f s  walk %8.3f s  sort %8.3f s  clear %8.3f s  %7.1f bytes/node", name, r.Build, r.Walk,
              r.Sort, r.Clear, r.BytesPerNode);
  if (r.StorageBytes > 0) std::printf(" (blocks %.1f)", r.StorageBytes);
  std::printf("  walked %u", r.Walked);
  if (r.RawWalk >= 0) std::printf(" (raw walk %.3f s)", r.RawWalk);
  std::printf("\n");
}
}  // namespace

// A tree in a hidden window, so the validation thread builds its cache.
struct WindowedTree {
  HWND Host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  TBaseVirtualTree Tree;
  WindowedTree() {
    Tree.SetParentWindow(Host);
    Tree.SetBounds(0, 0, 400, 600);
    Tree.HandleNeeded();
  }
  ~WindowedTree() {
    Tree.DestroyHandle();
    DestroyWindow(Host);
  }
  // Serves the window's messages until the worker has let go of the tree.
  void WaitForCache() {
    MSG msg;
    while (Tree.ValidatingCache()) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
  }
};

// Microseconds per lookup of the last row, through the cache.
double LastRowLookup(TBaseVirtualTree& tree, int repeats) {
  const int32_t last = static_cast<int32_t>(tree.RootNode()->SubtreeHeight - tree.RootNode()->NodeHeight) - 1;
  int32_t top = 0;
  PVirtualNode found = nullptr;
  const LONGLONG start = Now();
  for (int i = 0; i < repeats; ++i) found = tree.NodeAtPosition(0, last - (i & 7), false, &top);
  const double seconds = SecondsSince(start);
  if (!found) std::printf("  (lookup found nothing)\n");
  return seconds * 1e6 / repeats;
}

void RunCache() {
  std::printf("\nposition cache\n");
  struct Shape {
    const char* name;
    uint32_t roots, children;
  };
  const Shape shapes[] = {{"1,000 flat roots", 1000, 0},
                          {"10 x 100 expanded", 10, 99},
                          {"1,000,000 flat roots", 1000000, 0},
                          {"1,000 x 1,000 expanded", 1000, 999}};
  for (const Shape& shape : shapes) {
    WindowedTree host;
    TBaseVirtualTree& tree = host.Tree;
    tree.BeginTreeUpdate();
    tree.SetRootNodeCount(shape.roots);
    if (shape.children)
      for (PVirtualNode root = tree.FirstNodeRaw(); root; root = root->NextSibling) {
        tree.SetChildCount(root, shape.children);
        tree.ChangeNodeExpanded(root, true);
      }
    const LONGLONG start = Now();
    tree.EndTreeUpdate();
    host.WaitForCache();
    const double build = SecondsSince(start);
    const double lookup = LastRowLookup(tree, 2000);
    // The display rectangle of the last row: its top through the cache.
    PVirtualNode last = tree.LastVisibleNode();
    const LONGLONG rectStart = Now();
    for (int i = 0; i < 2000; ++i) tree.NodeDisplayRect(last, NoColumn, false, true);
    const double rect = SecondsSince(rectStart) * 1e6 / 2000;
    std::printf("%-24s %8u visible rows  cache %6zu entries built in %7.3f s  last-row lookup %8.2f us"
                "  last-row rectangle %8.2f us\n",
                shape.name, tree.VisibleNodeCount(), tree.PositionCache().size(), build, lookup, rect);
    std::fflush(stdout);
  }
}

// Expanding and collapsing everything, selecting everything and sorting,
// for a tree of `total` nodes (roots of 99 children, collapsed at first).
void RunWholeTree(uint32_t total) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(4);
  tree.TreeOptions()->SetSelectionOptions(tree.TreeOptions()->SelectionOptions() + TVTSelectionOption::toMultiSelect);
  tree.BeginTreeUpdate();
  tree.SetRootNodeCount(total / 100);
  for (PVirtualNode root = tree.FirstNodeRaw(); root; root = root->NextSibling) tree.SetChildCount(root, 99);
  tree.EndTreeUpdate();
  LONGLONG start = Now();
  tree.ExpandAllNodes();
  const double expand = SecondsSince(start);
  start = Now();
  tree.CollapseAllNodes();
  const double collapse = SecondsSince(start);
  start = Now();
  tree.SelectAllNodes(false);
  const double select = SecondsSince(start);
  const uint32_t selected = tree.SelectedCount();
  tree.ClearAllSelection();

  TBaseVirtualTree flat;
  flat.SetNodeDataSize(4);
  flat.SetRootNodeCount(total);
  uint32_t key = 0x12345;
  for (PVirtualNode node = flat.FirstNodeRaw(); node; node = node->NextSibling) {
    key = key * 1103515245u + 12345u;
    *static_cast<uint32_t*>(flat.NodeUserData(node)) = key >> 8;
  }
  flat.OnCompareNodes = TVTCompareEvent::Lambda([](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int32_t& result) {
    const uint32_t ka = *static_cast<uint32_t*>(t->NodeUserData(a)), kb = *static_cast<uint32_t*>(t->NodeUserData(b));
    result = ka < kb ? -1 : ka > kb ? 1 : 0;
  });
  start = Now();
  flat.SortChildren(nullptr, NoColumn, TSortDirection::sdAscending, false);
  const double sort = SecondsSince(start);
  std::printf("%7u nodes  expand all %7.3f s  collapse all %7.3f s  select all %7.3f s (%u)  sort %7.3f s\n", total, expand,
              collapse, select, selected, sort);
  std::fflush(stdout);
}

// --- painting ----------------------------------------------------------------------------------------

struct PaintShape {
  const char* Name;
  uint32_t Roots, Children;  // children of every root, all expanded
};

struct PaintResult {
  double Top = 0, Middle = 0, End = 0;  // ms per full repaint (median)
  double PageDown = 0;                  // ms per page-down step with its repaint (mean)
  double First30 = 0;                   // the same over the first 30 steps
  double PageDownMedian = 0;            // the median step: what a busy machine's pauses leave alone
  int Steps = 0;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// Milliseconds per full repaint of the client area: the median of Repeats,
// so that other programs taking the processor now and then do not count.
double FullRepaint(HWND wnd, int repeats) {
  std::vector<double> times;
  for (int i = 0; i < repeats; ++i) {
    const LONGLONG start = Now();
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    times.push_back(SecondsSince(start) * 1000.0);
  }
  return Median(std::move(times));
}

PaintResult PageDownSteps(HWND wnd) {
  PaintResult r;
  std::vector<double> times;
  const LONGLONG start = Now();
  for (; r.Steps < 1000; ++r.Steps) {
    if (r.Steps == 30) r.First30 = SecondsSince(start) * 1000.0 / 30;
    const LONGLONG step = Now();
    const int before = GetScrollPos(wnd, SB_VERT);
    SendMessageA(wnd, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    UpdateWindow(wnd);
    if (GetScrollPos(wnd, SB_VERT) == before) break;
    times.push_back(SecondsSince(step) * 1000.0);
  }
  r.PageDown = r.Steps ? SecondsSince(start) * 1000.0 / r.Steps : 0;
  r.PageDownMedian = Median(std::move(times));
  return r;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

PaintResult PaintVirtualTree(const PaintShape& shape) {
  HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  PaintResult r;
  {
    // Each cell shows "Node n/c": n stored in the node, c its column.
    TVirtualStringTree tree(nullptr);
    tree.SetNodeDataSize(4);
    tree.OnGetText = TVSTGetTextEvent::Lambda(
        [](TBaseVirtualTree* sender, PVirtualNode node, TColumnIndex column, TVSTTextType, std::wstring& text) {
          wchar_t buffer[32];
          const int n = std::swprintf(buffer, 32, L"Node %u/%d", *static_cast<uint32_t*>(sender->NodeUserData(node)),
                                      column < 0 ? 0 : column);
          text.assign(buffer, static_cast<size_t>(n));
        });
    tree.SetBorderStyle(bsNone);
    TVirtualTreeColumns* columns = tree.Header()->Columns();
    columns->Add()->SetWidth(400);
    columns->Add()->SetWidth(380);
    TVTHeaderOptions options = tree.Header()->Options();
    options.Include(TVTHeaderOption::hoVisible);
    tree.Header()->SetOptions(options);
    tree.SetParentWindow(host);
    tree.SetBounds(0, 0, 800, 600);
    tree.HandleNeeded();
    tree.BeginTreeUpdate();
    tree.SetRootNodeCount(shape.Roots);
    uint32_t n = 0;
    for (PVirtualNode root = tree.FirstNodeRaw(); root; root = root->NextSibling) {
      *static_cast<uint32_t*>(tree.NodeUserData(root)) = n++;
      if (!shape.Children) continue;
      tree.SetChildCount(root, shape.Children);
      for (PVirtualNode child = root->FirstChild; child; child = child->NextSibling)
        *static_cast<uint32_t*>(tree.NodeUserData(child)) = n++;
      tree.ChangeNodeExpanded(root, true);
    }
    tree.EndTreeUpdate();
    HWND wnd = tree.Handle();
    // The cache is built before anything is timed.
    while (tree.ValidatingCache()) {
      Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    Pump();
    UpdateWindow(wnd);
    r.Top = FullRepaint(wnd, 20);
    tree.SetOffsetY(-tree.RangeY() / 2);
    UpdateWindow(wnd);
    r.Middle = FullRepaint(wnd, 20);
    tree.SetOffsetY(-tree.RangeY());
    UpdateWindow(wnd);
    r.End = FullRepaint(wnd, 20);
    tree.SetOffsetY(0);
    UpdateWindow(wnd);
    const PaintResult steps = PageDownSteps(wnd);
    r.PageDown = steps.PageDown;
    r.First30 = steps.First30;
    r.PageDownMedian = steps.PageDownMedian;
    r.Steps = steps.Steps;
    tree.DestroyHandle();
  }
  DestroyWindow(host);
  return r;
}

// The tree view's parent answers the text of every item it paints.
LRESULT CALLBACK TreeViewParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMTVDISPINFOA*>(lParam);
    if (info->hdr.code == TVN_GETDISPINFOA && (info->item.mask & TVIF_TEXT)) {
      std::snprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), "Node %u/0",
                    static_cast<unsigned>(info->item.lParam));
      return 0;
    }
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

PaintResult PaintTreeView(const PaintShape& shape) {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&init);
  WNDCLASSA wc{};
  wc.lpfnWndProc = TreeViewParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MevraBenchTreeViewParent";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                              wc.hInstance, nullptr);
  HWND view = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                              0, 0, 800, 600, host, nullptr, wc.hInstance, nullptr);
  PaintResult r;
  SendMessageA(view, WM_SETREDRAW, FALSE, 0);
  std::vector<HTREEITEM> rows;
  rows.reserve(shape.Roots + size_t{shape.Roots} * shape.Children);
  TVINSERTSTRUCTA insert{};
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = LPSTR_TEXTCALLBACKA;
  uint32_t n = 0;
  std::vector<HTREEITEM> roots;
  for (uint32_t i = 0; i < shape.Roots; ++i) {
    insert.hParent = TVI_ROOT;
    insert.item.lParam = n++;
    insert.item.cChildren = shape.Children > 0;
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(view, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    roots.push_back(root);
    insert.hParent = root;
    insert.item.cChildren = 0;
    for (uint32_t j = 0; j < shape.Children; ++j) {
      insert.item.lParam = n++;
      SendMessageA(view, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
  }
  for (HTREEITEM root : roots) SendMessageA(view, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
  SendMessageA(view, WM_SETREDRAW, TRUE, 0);
  Pump();
  UpdateWindow(view);
  // Scrolling by the bar's thumb: the view's positions count rows.
  auto scrollTo = [&](int position) {
    SendMessageA(view, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
    UpdateWindow(view);
  };
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE;
  GetScrollInfo(view, SB_VERT, &info);
  scrollTo(0);
  r.Top = FullRepaint(view, 20);
  scrollTo(info.nMax / 2);
  r.Middle = FullRepaint(view, 20);
  SendMessageA(view, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  UpdateWindow(view);
  r.End = FullRepaint(view, 20);
  scrollTo(0);
  const PaintResult steps = PageDownSteps(view);
  r.PageDown = steps.PageDown;
  r.First30 = steps.First30;
  r.PageDownMedian = steps.PageDownMedian;
  r.Steps = steps.Steps;
  SendMessageA(view, WM_SETREDRAW, FALSE, 0);
  SendMessageA(view, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  DestroyWindow(host);
  return r;
}

// Wine's tree view takes minutes per million insertions: beyond Limit
// nodes its side is left out (0: no limit).
void RunPainting(uint64_t Limit) {
  // The mouse stays off both windows: no hot tracking on the way.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  std::printf("\npainting an 800 x 600 window (ms per full repaint; ms per page-down step with its repaint)\n");
  const PaintShape shapes[] = {{"1,000 flat", 1000, 0},
                               {"10 x 99 expanded", 10, 99},
                               {"1,000,000 flat", 1000000, 0},
                               {"1,000 x 999 expanded", 1000, 999}};
  for (const PaintShape& shape : shapes) {
    const PaintResult tree = PaintVirtualTree(shape);
    std::printf("%-22s virtual tree  top %6.2f  middle %6.2f  end %6.2f  page down %6.2f (%d steps; first 30 %6.2f; median %6.2f)\n",
                shape.Name, tree.Top, tree.Middle, tree.End, tree.PageDown, tree.Steps, tree.First30, tree.PageDownMedian);
    std::fflush(stdout);
    const uint64_t nodes = shape.Roots + uint64_t{shape.Roots} * shape.Children;
    if (Limit && nodes > Limit) {
      std::printf("%-22s tree view     left out (more than %llu nodes)\n", "", static_cast<unsigned long long>(Limit));
      std::fflush(stdout);
      continue;
    }
    const PaintResult view = PaintTreeView(shape);
    std::printf("%-22s tree view     top %6.2f  middle %6.2f  end %6.2f  page down %6.2f (%d steps; first 30 %6.2f; median %6.2f)\n", "",
                view.Top, view.Middle, view.End, view.PageDown, view.Steps, view.First30, view.PageDownMedian);
    std::fflush(stdout);
  }
}

int main(int argc, char** argv) {
  const uint32_t roots = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1000;
  const uint32_t children = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1000;
  std::printf("%u roots x %u children = %u nodes\n", roots, children, roots + roots * children);
  std::fflush(stdout);
  const Result tree = RunVirtualTree(roots, children);
  Print("virtual tree", tree);
  std::fflush(stdout);
  const Result view = RunTreeView(roots, children);
  Print("tree view", view);
  if (tree.Build > 0 && view.Build > 0)
    std::printf("tree view / virtual tree: build %.1fx, walk %.1fx, sort %.1fx, clear %.1fx, memory %.1fx\n",
                view.Build / tree.Build, view.Walk / (tree.Walk > 0 ? tree.Walk : 1e-9), view.Sort / tree.Sort,
                view.Clear / tree.Clear, view.BytesPerNode / tree.BytesPerNode);
  std::fflush(stdout);
  RunCache();
  std::printf("\nwhole trees\n");
  RunWholeTree(10000);
  RunWholeTree(100000);
  RunPainting(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 0);
  return 0;
}
