#include "client/DropBox.h"

#include "client/DropText.h"
#include "client/HttpThread.h"
#include "client/Protocol.h"
#include "platform/Dialogs.h"
#include "platform/Properties.h"

const TClassInfo Tmform::ClassInfo{"Tmform", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                     return new Tmform(static_cast<TComponent*>(owner));
                                   }};

const char* const DropFailedText = "保存信息失败，请重新拖入！";
const char* const NothingDroppedText = "拖入的内容没有文字！";

Thform* hform = nullptr;

namespace {

const TPublishedRegistration dropBoxRegistration(&Tmform::ClassInfo, {
    Method<&Tmform::FormCreate>("FormCreate"),
    Method<&Tmform::FormDestroy>("FormDestroy"),
    Method<&Tmform::FormClose>("FormClose"),
    Method<&Tmform::RzToolButton3Click>("RzToolButton3Click"),
    Method<&Tmform::tmwhTimer>("tmwhTimer"),
    Method<&Tmform::ms1MouseDown>("ms1MouseDown"),
    Method<&Tmform::ms1MouseMove>("ms1MouseMove"),
    Method<&Tmform::ms1MouseUp>("ms1MouseUp"),
    Method<&Tmform::ms1ScrollComplete>("ms1ScrollComplete"),
    Method<&Tmform::ToolButton5Click>("ToolButton5Click"),
    Method<&Tmform::N3Click>("N3Click"),
    Method<&Tmform::btclose>("btclose"),
    Field<&Tmform::ToolBar1>("ToolBar1"),
    Field<&Tmform::ToolButton1>("ToolButton1"),
    Field<&Tmform::ToolButton2>("ToolButton2"),
    Field<&Tmform::ToolButton3>("ToolButton3"),
    Field<&Tmform::ToolButton4>("ToolButton4"),
    Field<&Tmform::ToolButton5>("ToolButton5"),
    Field<&Tmform::ms1>("ms1"),
    Field<&Tmform::tmwh>("tmwh"),
    Field<&Tmform::PopupMenu1>("PopupMenu1"),
    Field<&Tmform::N6>("N6"),
    Field<&Tmform::N2>("N2"),
    Field<&Tmform::N3>("N3"),
    Field<&Tmform::N4>("N4"),
    Field<&Tmform::PopupMenu2>("PopupMenu2"),
    Field<&Tmform::N1>("N1"),
    Field<&Tmform::N5>("N5"),
    Field<&Tmform::ImageList1>("ImageList1"),
    Field<&Tmform::SkinData1>("SkinData1"),
});

TNotifyIconCall NotifyIconReplacement;

BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
  if (NotifyIconReplacement) return NotifyIconReplacement(message, data);
  return Shell_NotifyIconA(message, data);
}

// The program's icon, or the system's application icon when it has none.
HICON ApplicationIcon() {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

// Wide text in the system code page; characters it lacks become its
// default character.
AnsiString WideToAnsi(const std::wstring& text) {
  if (text.empty()) return AnsiString();
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  AnsiString result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                      nullptr);
  return result;
}

}  // namespace

TNotifyIconCall SetNotifyIconCall(TNotifyIconCall call) { return std::exchange(NotifyIconReplacement, std::move(call)); }

std::wstring Utf8ToWide(const AnsiString& bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), result.data(), size);
  return result;
}

void LoadClientImages(TCustomImageList* list) {
  TBitmap strip;
  strip.LoadFromResourceName(GetModuleHandleA(nullptr), "MEVRA_IMAGES");
  list->Clear();
  list->SetSize(16, 16);
  list->AddMasked(&strip, clFuchsia);
}

Tmform::Tmform(TComponent* AOwner) : TForm(AOwner) {}

Tmform::~Tmform() {
  // The icon goes with the box, however the box goes; so does the about box
  // it made.
  UnInstallIcon();
  if (hform) Free(hform);
  hform = nullptr;
}

void Tmform::FormCreate(TObject*) {
  MoveOriginX = 0;
  MoveOriginY = 0;
  SetBounds(800, 2, 145, 60);
  ClearMemory();
  InstallIcon();
  // No task-bar button for the program.
  SetWindowLongPtrA(Application->Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  LoadClientImages(ImageList1);
  SelectedCategory.Key = "-1";
  MarqueeQueue.Clear();
  ReplyWindow = Handle();

  DropTextTarget1 = New<TDropTextTarget>(this);
  DropTextTarget1->DragTypes = TDragTypes{dtCopy, dtLink};
  DropTextTarget1->OnDrop = TDropTargetEvent::Bind<&Tmform::DropTextTarget1Drop>(this);
  DropTextTarget1->SetTarget(this);
  DropURLTarget1 = New<TDropURLTarget>(this);
}

void Tmform::FormDestroy(TObject*) { UnInstallIcon(); }

void Tmform::FormClose(TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; }

void Tmform::ClearMemory() {
  // Windows NT family only (the high bit of the version is clear there).
  if ((GetVersion() & 0x80000000u) == 0) {
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    Application->ProcessMessages();
  }
}

bool Tmform::InstallIcon() {
  TrayIconData = NOTIFYICONDATAA{};
  TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  TrayIconData.hWnd = Handle();
  TrayIconData.uID = 1;
  TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData.uCallbackMessage = WM_BARICON;
  TrayIconData.hIcon = ApplicationIcon();
  lstrcpynA(TrayIconData.szTip, "Mevra", 64);
  return NotifyIcon(NIM_ADD, &TrayIconData) != FALSE;
}

bool Tmform::UnInstallIcon() {
  if (!TrayIconData.hWnd) return false;
  const bool deleted = NotifyIcon(NIM_DELETE, &TrayIconData) != FALSE;
  TrayIconData.hWnd = nullptr;
  return deleted;
}

void Tmform::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_REPLYREADY:
      ptdok(Message);
      return;
    case WM_BARICON:
      WMBarIcon(Message);
      return;
    case WM_REQUESTFAILED:
      // The worker of a drop gave up: the text is still where it came from.
      ShowText(DropFailedText);
      return;
    default:
      TForm::Dispatch(Message);
  }
}

void Tmform::WMBarIcon(TMessage& Message) {
  switch (static_cast<UINT>(Message.LParam)) {
    case WM_LBUTTONDOWN:
      BringToFront();
      SetTop(2);
      tmwh->SetEnabled(false);
      break;
    case WM_RBUTTONDOWN: {
      POINT at{};
      GetCursorPos(&at);
      PopupMenu1->Popup(at.x, at.y);
      break;
    }
    default:
      break;
  }
}

void Tmform::RzToolButton3Click(TObject*) {
  SetTop(3 - Height());
  tmwh->SetEnabled(true);
}

void Tmform::tmwhTimer(TObject*) {
  POINT at{};
  if (!GetCursorPos(&at)) return;
  if (at.x >= Left() && at.x <= Left() + Width() && at.y >= Top() && at.y <= Top() + Height()) {
    SetTop(2);
    tmwh->SetEnabled(false);
  }
}

void Tmform::ms1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  MoveOriginX = X;
  MoveOriginY = Y;
}

void Tmform::ms1MouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (Shift != TShiftState{ssLeft}) return;
  SetBounds(Left() + X - MoveOriginX, Top() + Y - MoveOriginY, Width(), Height());
}

void Tmform::ms1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  if (MoveOriginX != 0 || MoveOriginY != 0) {
    SetTop(2);
    MoveOriginX = 0;
    MoveOriginY = 0;
  }
}

void Tmform::ShowText(const AnsiString& text) {
  ms1->SetScrolling(false);
  ms1->SetCaption(text);
  ms1->SetScrolling(true);
}

void Tmform::ms1ScrollComplete(TObject*) {
  if (MarqueeQueue.Count() == 0) {
    ms1->SetCaption("拖入保存！");
    MarqueeQueue.Add("祝" + UserInfo.NickName + "使用愉快!");
  } else {
    ms1->SetCaption(MarqueeQueue[0]);
    MarqueeQueue.Delete(0);
  }
}

void Tmform::DropTextTarget1Drop(TObject*, TShiftState, const POINT&, int32_t&) {
  const AnsiString fragment = WideToAnsi(Utf8ToWide(CutHtmlFragment(DropTextTarget1->GetHTMLText())));
  const AnsiString plain = DropTextTarget1->GetPlainText();
  const AnsiString content = plain.size() > fragment.size() ? plain : fragment;
  if (content.empty()) {
    // Nothing to file: an empty article helps nobody.
    ShowText(NothingDroppedText);
    return;
  }
  ReplyWindow = Handle();
  const AnsiString url = PrepareAddArticle("今日日志", content, TitleFromText(plain));
  StartRequest(url, ReplyWindow, ReplyDoc, false, true);
  ShowText("正在处理信息！");
}

void Tmform::ptdok(TMessage&) {
  if (ReplyText(*ReplyDoc, "con/ifs") == "1" && ReplyText(*ReplyDoc, "con/op") == "add") {
    addtodoc();
    ShowText("增加信息1条");
  }
}

void Tmform::addtodoc() {
  TXmlDocumentRef doc;
  AnsiString key;
  AnsiString name;
  if (ReplyText(*ReplyDoc, "con/jr") == "1") {
    doc = DailyDoc;
    key = name = ReplyText(*ReplyDoc, "con/da");
    if (!FindCategory(*DailyDoc, key)) ReplyDoc->SelectSingleNode("con/classif").SetText("1");
  } else {
    doc = KnowledgeDoc;
    key = ReplyText(*ReplyDoc, "con/classid");
    name = ReplyText(*ReplyDoc, "con/classnm");
  }
  TXmlNode category = FindCategory(*doc, key);
  if (ReplyText(*ReplyDoc, "con/classif") != "1" && category) {
    TXmlNode count = category.SelectSingleNode("con");
    if (!count) count = category.AppendChild(doc->CreateElement("con"));
    count.SetText(IntToStr(static_cast<int64_t>(StrToInt(Trim(count.Text()))) + 1));
    return;
  }
  // A new category (or one the document lacks): it becomes the first.
  TXmlNode root = doc->DocumentElement();
  if (!root) root = doc->AsNode().AppendChild(doc->CreateElement("con"));
  TXmlNode g = doc->CreateElement("g");
  g.SetAttribute("k", key);
  TXmlNode id = doc->CreateElement("id");
  id.SetText(key);
  g.AppendChild(id);
  TXmlNode count = doc->CreateElement("con");
  count.SetText("1");
  g.AppendChild(count);
  TXmlNode n = doc->CreateElement("n");
  n.SetText(name);
  g.AppendChild(n);
  const std::vector<TXmlNode> children = root.ChildNodes();
  if (children.empty()) root.AppendChild(g);
  else root.InsertBefore(g, children.front());
}

void Tmform::ToolButton5Click(TObject*) {
  if (!hform) hform = New<Thform>(nullptr);
  hform->Show();
}

void Tmform::N3Click(TObject* Sender) { ToolButton5Click(Sender); }

void Tmform::btclose(TObject*) {
  if (Application->MessageBox("是否关闭", "请确认关闭", MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES) Close();
}
