// Docking controls into a dock site: the drag object that carries a control
// to a site, and the dock tree a site with UseDockManager lays its clients
// out with. The tree splits the site into zones: a zone holds one control
// or a row (side by side) or column (one above the other) of zones, which
// share the zone's space equally. Each client gets its zone less a grabber
// strip, on top or (for sites aligned to the top or bottom) at the left.
#pragma once

#include "platform/DragManager.h"

#include <memory>
#include <vector>

// What ManualDock (and a dock drag) hands the site: the control, where it
// goes (beside DropOnControl on the side DropAlign, or into the site as a
// whole) and the rectangle it asked for (screen co-ordinates).
class TDragDockObject : public TDragObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDragDockObject(TControl* control) : FControl(control) {}

  TControl* Control() const { return FControl; }
  TObject* SourceObject() override { return FControl; }
  RECT DockRect{};
  TAlign DropAlign = alNone;
  TControl* DropOnControl = nullptr;
  bool Floating = false;

private:
  TControl* FControl;
};

class TDockTree : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDockTree(TWinControl* DockSite);
  ~TDockTree() override;

  TWinControl* DockSite() const { return FDockSite; }
  // Pixels of the grabber strip beside each client.
  int GrabberSize() const { return FGrabberSize; }
  void SetGrabberSize(int value) { FGrabberSize = value; }

  // Puts a control into the tree beside DropCtl on the side InsertAt
  // (alLeft/alRight: side by side, alTop/alBottom: one above the other,
  // others: to the right); without DropCtl (or one not in the tree) beside
  // everything docked so far. Then lays the clients out.
  virtual void InsertControl(TControl* Control, TAlign InsertAt, TControl* DropCtl);
  // Takes a control out; the space goes to its neighbours.
  virtual void RemoveControl(TControl* Control);
  // Places every client in its zone (less its grabber).
  virtual void ResetBounds(bool Force);
  // Paints every visible client's grabber.
  virtual void PaintSite(HDC DC);
  // Moves a zone rectangle inward by the grabber: the client's bounds.
  virtual void AdjustDockRect(TControl* Control, RECT& ARect);
  // Draws a client's grabber; ARect is its whole zone.
  virtual void PaintDockFrame(TCanvas* Canvas, TControl* Control, const RECT& ARect);
  // The zone of a client in the site's client co-ordinates (with its
  // grabber); false when the control is not in the tree.
  bool GetControlZone(TControl* Control, RECT& ARect);
  int ClientCount() const;

protected:
  // Whether grabbers lie at the left of the clients (else on top).
  bool GrabbersOnLeft() const;

private:
  struct TZone;
  TZone* FindZone(TZone* zone, TControl* control);
  void Layout(TZone* zone, const RECT& r);
  void Collect(TZone* zone, std::vector<TZone*>& leaves);

  TWinControl* FDockSite;
  int FGrabberSize = 12;
  std::unique_ptr<TZone> FRoot;
};
