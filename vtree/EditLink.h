// What edits a node in place: the tree asks its owner for an editor
// (OnCreateEditor) or makes its own, and drives it through these steps from
// the start of an edit to its end.
#pragma once

#include "platform/Interfaced.h"
#include "platform/UtilWindow.h"
#include "vtree/VirtualNode.h"

class TBaseVirtualTree;

// A counted object held by the tree while an edit runs (and by its editor
// window until the edit ends). Its operations are called by the tree of this
// process only, never across a COM boundary, so they may raise.
struct IVTEditLink : public IUnknown {
  // Shows the editor and gives it the focus; False refuses the edit.
  virtual bool BeginEditing() = 0;
  // Ends the edit without taking its text; False while it is ending already.
  virtual bool AbortEditing() = 0;
  // Ends the edit, handing its text to the tree; False while it is ending already.
  virtual bool FinishEditing() = 0;
  // The editor's place in the tree's client co-ordinates.
  virtual RECT EditorBounds() = 0;
  // Takes the cell to edit and readies the editor (hidden); False refuses.
  virtual bool PrepareEditor(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) = 0;
  // Hands a message to the editor's window procedure.
  virtual void ForwardMessage(TMessage& Message) = 0;
  // Places the editor over R, the edited cell's text rectangle.
  virtual void ApplyEditorBounds(RECT R) = 0;
};

__CRT_UUID_DECL(IVTEditLink, 0x2BE3A11C, 0x6F47, 0x4D8A, 0x9E, 0x15, 0x7C, 0x40, 0xB2, 0x93, 0x5D, 0x61)
