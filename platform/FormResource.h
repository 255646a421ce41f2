// Form resources: the readable text form of a component tree, its
// conversion to and from the binary stream form (Filer.h), and loading a
// form from the program's resources when it is created.
//
// The text form (UTF-8):
//
//   object Form1: TForm1
//     Caption = 'Today'#39's log'
//     Font.Style = [fsBold]
//     Width = 320
//     Ratio = 0.5
//     OnClick = Form1Click
//     BarSize = (258 0 264 504)
//     Items = <
//       item
//         Caption = 'first'
//       end>
//     Picture.Data = {
//       0754426974...}
//     object Button1: TButton
//     end
//   end
//
// Strings are quoted with '' for a quote inside and #n for a character by
// its Unicode number; parts join with +. Identifiers (enumeration values,
// colours, handlers, component names) stand bare; sets are in [], lists in
// (), collections in <>, binary data as hexadecimal digits in {}. A line's
// rest after // is a comment.
//
// A program's form is a resource of type RCDATA named after the form's class
// (in either form), for example in the program's .rc file:
//     TMAINFORM RCDATA "MainForm.mvf"
#pragma once

#include "platform/Component.h"
#include "platform/Stream.h"

// Converts a form's text to the binary stream form, appended to `output`.
// Raises EReadError naming the form, the line, the component and the
// property for malformed text.
void ObjectTextToBinary(const AnsiString& text, TStream& output, const AnsiString& formName = AnsiString());
// The text form of a binary stream (read from its position); raises
// EReadError for malformed data.
AnsiString ObjectBinaryToText(TStream& input, const AnsiString& formName = AnsiString());

// Reads a form's text into `instance` (created from the text's class when
// null, owned by `owner`); answers the component read.
TComponent* ReadComponentText(const AnsiString& text, TComponent* instance, const AnsiString& formName,
                              TComponent* owner = nullptr);
// The text form of `component` and everything it holds.
AnsiString WriteComponentText(TComponent* component);

// Reads the RCDATA resource `resName` of the program into `instance`;
// answers false when the program has no such resource.
bool ReadComponentRes(const AnsiString& resName, TComponent* instance);
// Reads the resource named after `instance`'s class (what a form's
// construction calls); false when there is none, or when a reader is making
// the instance as the root of the stream it reads.
bool InitComponentFromResource(TComponent* instance);
