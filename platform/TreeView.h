// The tree view over the system's tree control: the nodes are objects of the
// class library (text, images, data, children, expansion), and the window
// mirrors them. Everything works without a window; a window made again
// (style changes) gets the nodes, their expansion and the selection back.
#pragma once

#include "platform/Control.h"
#include "platform/ControlImages.h"

#include <vector>

class TTreeNodes;
class TCustomTreeView;

enum class TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
using enum TNodeAttachMode;
// How a tree or list view keeps its order: unsorted, by OnCompare, by text,
// or by OnCompare and then text.
enum class TSortType { stNone, stData, stText, stBoth };
using enum TSortType;
struct TEnumInfo;
extern const TEnumInfo SortTypeNames;

// One node: its place among its parent's children and what the window
// shows of it.
class TTreeNode : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTreeNode(TTreeNodes* owner);
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return FOwner; }
  TCustomTreeView* TreeView() const;
  TTreeNode* Parent() const { return FParent; }
  const AnsiString& Text() const { return FText; }
  void SetText(const AnsiString& value);
  void* Data() const { return FData; }
  void SetData(void* value) { FData = value; }
  // Images of the tree's image list (-1 none): normal and selected.
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int value);
  // Shows an expand button also before any child exists.
  bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
  void SetHasChildren(bool value);

  int Count() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* Item(int index) const { return FChildren.at(static_cast<size_t>(index)); }
  // Position among the parent's children; depth (0 for top-level nodes);
  // position in the whole tree, depth first.
  int Index() const;
  int Level() const;
  int AbsoluteIndex() const;
  // The node and all its descendants.
  std::vector<TTreeNode*> Subtree() const;
  bool HasAsParent(const TTreeNode* node) const;

  TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
  TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // Depth first: the next and previous node of the whole tree.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;

  bool Expanded() const;
  void SetExpanded(bool value) { value ? Expand(false) : Collapse(false); }
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool value);
  // Expanded parents all the way up.
  bool IsVisible() const;
  void MakeVisible();
  // The node's rectangle in the window (only the text's with `textOnly`);
  // empty without a window or while hidden.
  RECT DisplayRect(bool textOnly) const;

  // Moves the node with its subtree; a node cannot go into its own subtree.
  void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
  void Delete();
  void DeleteChildren();
  // Sorts the children (all levels with `recurse`) by the tree's OnCompare,
  // else by text.
  void AlphaSort(bool recurse = false);

  // The system's handle of the item while the tree has a window.
  HTREEITEM ItemId() const { return FItemId; }
  void Assign(TPersistent* source) override;

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  std::vector<TTreeNode*>& Siblings() const;
  TTreeNodes* FOwner;
  TTreeNode* FParent = nullptr;
  std::vector<TTreeNode*> FChildren;
  AnsiString FText;
  void* FData = nullptr;
  int FImageIndex = -1;
  int FSelectedIndex = -1;
  bool FHasChildren = false;
  bool FExpanded = false;  // kept while there is no window
  HTREEITEM FItemId = nullptr;
  int FPosition = 0;  // among its siblings, while the window sorts
};

// The nodes of one tree.
class TTreeNodes : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTreeNodes(TCustomTreeView* owner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return FOwner; }
  // Every node of the tree.
  int Count() const { return FCount; }
  // The node at a position of the whole tree, depth first.
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
  int TopLevelCount() const { return static_cast<int>(FRoots.size()); }
  TTreeNode* TopLevelItem(int index) const { return FRoots.at(static_cast<size_t>(index)); }

  // A node after the last sibling of `sibling` (null: a top-level node), as
  // the first sibling, as the last or first child of `parent`, or before
  // `sibling`.
  TTreeNode* Add(TTreeNode* sibling, const AnsiString& text) { return AddObject(sibling, text, nullptr); }
  TTreeNode* AddObject(TTreeNode* sibling, const AnsiString& text, void* data);
  TTreeNode* AddFirst(TTreeNode* sibling, const AnsiString& text);
  TTreeNode* AddChild(TTreeNode* parent, const AnsiString& text) { return AddChildObject(parent, text, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* parent, const AnsiString& text, void* data);
  TTreeNode* AddChildFirst(TTreeNode* parent, const AnsiString& text);
  TTreeNode* Insert(TTreeNode* sibling, const AnsiString& text);
  void Delete(TTreeNode* node) { node->Delete(); }
  void Clear();
  // Holds the window's redrawing (and the tree's sorting) until the
  // outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  void Assign(TPersistent* source) override;

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* Attach(TTreeNode* node, TTreeNode* relative, TNodeAttachMode mode);
  TCustomTreeView* FOwner;
  std::vector<TTreeNode*> FRoots;
  int FCount = 0;
  int FUpdateCount = 0;
};

using TTVChangingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = TEvent<void(TObject* Sender, TTreeNode* Node, AnsiString& S)>;
using TTVCompareEvent = TEvent<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;

class TCustomTreeView : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() { return &FItems; }
  void SetItems(TTreeNodes* value) { FItems.Assign(value); }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  TCustomImageList* Images() const { return FImages.Images(); }
  void SetImages(TCustomImageList* value) { FImages.SetImages(value); }

  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool value);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool value);
  // Without ReadOnly a click on the selected node edits its text.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // Kept sorted by text (stText), by OnCompare (stData) or both.
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType value);
  // Pixels a level is indented by.
  int Indent() const;
  void SetIndent(int value);

  TTreeNode* GetNodeAt(int X, int Y);
  void FullExpand();
  void FullCollapse();
  void AlphaSort(bool recurse = true);

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVChangedEvent OnDeletion;
  TTVCompareEvent OnCompare;

protected:
  friend class TTreeNode;
  friend class TTreeNodes;
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void BeforeDestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual bool CanExpand(TTreeNode* node);
  virtual void Expand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);
  virtual void Collapse(TTreeNode* node);
  virtual void Delete(TTreeNode* node);
  // Negative, zero or positive as `a` goes before, with or after `b`.
  virtual int CompareNodes(TTreeNode* a, TTreeNode* b);

private:
  void ImagesChanged(TObject*);
  void HandleNotify(TMessage& Message);
  // The window's share of the nodes.
  void InsertItem(TTreeNode* node);
  void InsertSubtree(TTreeNode* node);
  void UpdateItem(TTreeNode* node, UINT mask);
  void RemoveItem(TTreeNode* node);
  void ForgetItemIds(TTreeNode* node);
  void SortSiblings(std::vector<TTreeNode*>& siblings, bool recurse);
  void SyncOrder(TTreeNode* parent, bool recurse);
  void SortIfSorted(TTreeNode* parent, bool recurse);
  TTreeNode* NodeFromItem(HTREEITEM item) const;
  static int CALLBACK CompareByPosition(LPARAM a, LPARAM b, LPARAM);
  void SetStyleFlag(bool& field, bool value);

  TTreeNodes FItems;
  TControlImages FImages;
  TTreeNode* FSelected = nullptr;  // kept while there is no window
  bool FShowButtons = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  bool FHideSelection = true;
  bool FRowSelect = false;
  bool FReadOnly = false;
  TSortType FSortType = stNone;
  int FIndent = 19;
  // Notifications the class library itself causes (expanding, deleting,
  // selecting from code, a window being filled) are not reported again.
  int FQuiet = 0;
};

class TTreeView : public TCustomTreeView {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomTreeView::TCustomTreeView;
};
