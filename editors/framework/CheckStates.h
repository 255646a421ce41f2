// Check states of a list of check items and the four forms in which an edit
// value holds them (the check combo box stores its value so). Portable.
//   cvfCaptions      grayed entries, then ";" and checked entries when there
//                    are any; an entry is the caption's length, ":" and the
//                    caption ("2:Bb;1:A1:C")
//   cvfIndices       the same with item indices separated by "," ("1;0,2")
//   cvfInteger       a 64-bit integer, bit i set when item i is checked (the
//                    first 64 items only)
//   cvfStatesString  a character per item: "0" unchecked, "1" checked,
//                    "2" grayed ("120")
#pragma once

#include "foundation/CheckBoxState.h"
#include "platform/Variant.h"

#include <vector>

// Values outside the four can arrive from streams; the routines refuse them.
enum TcxCheckStatesValueFormat : int { cvfCaptions, cvfIndices, cvfInteger, cvfStatesString };
using TcxCheckStates = std::vector<TcxCheckBoxState>;

// The items the formats work on: their captions and how many there are.
class IcxCheckItemsSource {
public:
  virtual AnsiString GetCaption(int index) const = 0;
  virtual int GetCount() const = 0;

protected:
  ~IcxCheckItemsSource() = default;
};

// Writes the states (an item without an entry counts as unchecked) into
// `value`, which is cleared first; a format outside the four leaves it Empty.
void CheckStatesToValue(const TcxCheckStates& states, const IcxCheckItemsSource& items,
                        TcxCheckStatesValueFormat format, Variant& value);
// Reads `value` into one state per item. Never raises: a value the format
// does not accept (wrong variant type, malformed text, an index or caption
// no item has, a number of 2147483648 or more) leaves every state unchecked
// and answers false.
bool ValueToCheckStates(const Variant& value, const IcxCheckItemsSource& items, TcxCheckStatesValueFormat format,
                        TcxCheckStates& states);
