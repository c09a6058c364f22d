#include "engine/shell/win32/settings_sheet.h"

#include "engine/base/format.h"
#include "engine/core/engine.h"
#include "engine/graphics/screen.h"
#include "engine/platform/surface.h"
#include "engine/platform/win32/registry_key.h"
#include "engine/plugin/plugin_set.h"
#include "engine/resources/resource_ids.h"
#include "engine/script/script_state.h"
#include "engine/shell/settings_pages.h"
#include "engine/shell/win32/list_view.h"
#include "engine/shell/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace velmo {

namespace {

static_assert(IDC_SPEED == SpeedTrackbarId && IDC_SPEED_PREVIEW == SpeedPreviewId &&
              IDC_FORCE_USER_FONT == ForceUserFontId && IDC_FACE_NAME == FaceListId &&
              IDC_FIXED_PITCH == FixedPitchOnlyId && IDC_RIGHT_NONE == RightClickFirstId &&
              IDC_CD_DRIVE == MultimediaPage::DriveListId && IDC_VOLUME == MultimediaPage::VolumeButtonId &&
              IDC_PLUGIN_LIST == PluginListId && IDC_TRANSITION == BehaviourPage::BoxIds[0] &&
              IDC_NATIVECODE == BehaviourPage::BoxIds[3] && IDC_ENABLE_SE == MultimediaPage::BoxIds[0] &&
              IDC_ENABLE_FADE == MultimediaPage::BoxIds[6]);

// The preview thread's step, posted to the message page: wParam is the number of squares shown.
constexpr UINT UmPreviewStep = WM_APP + 1;

// The positions of POPUP_PLUGIN in menu 110.
constexpr int PluginPopupPosition = 2;

// The Susie viewer's key under HKEY_CURRENT_USER, whose sub-key InstallRoot names its folder.
constexpr const char* SusieKey = "Software\\Susie";

// What every page of one showing of the sheet shares.
struct SheetContext {
  SettingsSheet sheet;
  HMENU menus = nullptr; // menu 110, loaded while the sheet is open
};

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }
void Enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE); }
int Selection(HWND page, int id) { return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0)); }

// Every page procedure: the page's window object is made when the sheet first shows the page
// (WM_INITDIALOG) and shows its model; OK sets the sheet's apply flag (PSN_APPLY); when the page is
// destroyed the object reads its controls back and closes its model, which writes the settings
// only under the flag. Other messages go to the object's Handle. Nothing leaves by an exception.
template <class Window> INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(page, DWLP_USER));
  try {
    switch (message) {
    case WM_INITDIALOG: {
      auto& context = *reinterpret_cast<SheetContext*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
      self = new Window(context, page);
      SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
      self->Show();
      return TRUE;
    }
    case WM_DESTROY:
      if (self != nullptr) {
        SetWindowLongPtrA(page, DWLP_USER, 0);
        self->Close();
        delete self;
      }
      return FALSE;
    case WM_NOTIFY:
      if (self != nullptr && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
        self->context.sheet.applied = true;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
      }
      break;
    default:
      break;
    }
    return self != nullptr && self->Handle(message, wParam, lParam) ? TRUE : FALSE;
  } catch (const std::exception&) {
    return FALSE;
  }
}

// ----- 動作

struct BehaviourWindow {
  BehaviourWindow(SheetContext& sheetContext, HWND pageWindow)
      : context(sheetContext), page(pageWindow), model(sheetContext.sheet) {}
  void Show() {
    for (std::size_t i = 0; i < BehaviourPage::BoxIds.size(); ++i)
      Check(page, BehaviourPage::BoxIds[i], model.checked[i]);
  }
  bool Handle(UINT, WPARAM, LPARAM) { return false; }
  void Close() {
    for (std::size_t i = 0; i < BehaviourPage::BoxIds.size(); ++i)
      model.checked[i] = Checked(page, BehaviourPage::BoxIds[i]);
    model.Close();
  }
  SheetContext& context;
  HWND page;
  BehaviourPage model;
};

// ----- ﾒｯｾｰｼﾞ

// The preview of the message speed, on a thread of its own that only posts its steps to the page
// and sleeps on an event that stops it.
class SpeedPreview {
public:
  SpeedPreview(HWND pageWindow, int speed) : page(pageWindow), previewSpeed(speed) {
    stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stop != nullptr) thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~SpeedPreview() {
    if (thread != nullptr) {
      SetEvent(stop);
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
    }
    if (stop != nullptr) CloseHandle(stop);
  }
  SpeedPreview(const SpeedPreview&) = delete;
  SpeedPreview& operator=(const SpeedPreview&) = delete;

  void SetSpeed(int speed) { InterlockedExchange(&previewSpeed, speed); }

private:
  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<SpeedPreview*>(parameter);
    for (;;) {
      for (int shown = 0; shown <= PreviewSquares; ++shown) {
        PostMessageA(self->page, UmPreviewStep, static_cast<WPARAM>(shown), 0);
        const int speed = static_cast<int>(InterlockedCompareExchange(&self->previewSpeed, 0, 0));
        if (WaitForSingleObject(self->stop, PreviewDelayMs(shown, speed)) != WAIT_TIMEOUT) return 0;
      }
    }
  }

  HWND page;
  volatile LONG previewSpeed;
  HANDLE stop = nullptr;
  HANDLE thread = nullptr;
};

struct MessageWindowPage {
  MessageWindowPage(SheetContext& sheetContext, HWND pageWindow)
      : context(sheetContext), page(pageWindow), model(sheetContext.sheet) {}
  void Show() {
    HWND trackbar = GetDlgItem(page, IDC_SPEED);
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, MaxMessageSpeed));
    SendMessageA(trackbar, TBM_SETPAGESIZE, 0, 1);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, model.position);
    preview = std::make_unique<SpeedPreview>(page, model.previewSpeed);
  }
  bool Handle(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_HSCROLL && LOWORD(wParam) == TB_ENDTRACK) {
      model.EndTrack(Position());
      if (preview != nullptr) preview->SetSpeed(model.previewSpeed);
      return true;
    }
    if (message == UmPreviewStep) {
      SetDlgItemTextA(page, IDC_SPEED_PREVIEW, PreviewText(static_cast<int>(wParam)).c_str());
      return true;
    }
    return false;
  }
  void Close() {
    preview.reset(); // the thread has ended before the page goes
    model.position = Position();
    model.Close();
  }
  int Position() const { return static_cast<int>(SendDlgItemMessageA(page, IDC_SPEED, TBM_GETPOS, 0, 0)); }
  SheetContext& context;
  HWND page;
  MessagePage model;
  std::unique_ptr<SpeedPreview> preview;
};

// ----- ﾌｫﾝﾄ

int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM faces) {
  reinterpret_cast<std::vector<FontFace>*>(faces)->push_back(
      FontFace{font->lfFaceName, (font->lfPitchAndFamily & 3) == FIXED_PITCH});
  return 1;
}

// The font families of the screen surface's device context (of the screen before it exists).
std::vector<FontFace> SystemFaces(Engine& engine) {
  std::vector<FontFace> faces;
  const TSurface* surface = engine.screen.screenSurface.get();
  HDC dc = surface != nullptr ? static_cast<HDC>(surface->Dc()) : nullptr;
  HDC screen = dc == nullptr ? GetDC(nullptr) : nullptr;
  EnumFontFamiliesA(dc != nullptr ? dc : screen, nullptr, CollectFace, reinterpret_cast<LPARAM>(&faces));
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return faces;
}

struct FontWindow {
  FontWindow(SheetContext& sheetContext, HWND pageWindow)
      : context(sheetContext), page(pageWindow), model(sheetContext.sheet, SystemFaces(sheetContext.sheet.engine)) {}
  void Show() {
    Check(page, IDC_FORCE_USER_FONT, model.forceUserFont);
    Check(page, IDC_FIXED_PITCH, model.fixedPitchOnly);
    ShowFaces();
  }
  void ShowFaces() {
    HWND box = GetDlgItem(page, IDC_FACE_NAME);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& face : model.faces) {
      SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    }
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(model.selected), 0);
  }
  bool Handle(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || LOWORD(wParam) != IDC_FIXED_PITCH || HIWORD(wParam) != BN_CLICKED) return false;
    model.Select(Selection(page, IDC_FACE_NAME));
    model.SetFixedPitchOnly(Checked(page, IDC_FIXED_PITCH));
    ShowFaces();
    return true;
  }
  void Close() {
    model.forceUserFont = Checked(page, IDC_FORCE_USER_FONT);
    model.fixedPitchOnly = Checked(page, IDC_FIXED_PITCH);
    model.Select(Selection(page, IDC_FACE_NAME));
    model.Close();
  }
  SheetContext& context;
  HWND page;
  FontPage model;
};

// ----- ﾏｳｽ

struct MouseWindow {
  MouseWindow(SheetContext& sheetContext, HWND pageWindow)
      : context(sheetContext), page(pageWindow), model(sheetContext.sheet) {}
  void Show() {
    if (model.selected < 0) return;
    CheckRadioButton(page, RightClickFirstId, RightClickFirstId + RightClickChoices - 1,
                     RightClickFirstId + model.selected);
  }
  bool Handle(UINT, WPARAM, LPARAM) { return false; }
  void Close() {
    for (int i = 0; i < RightClickChoices; ++i) {
      if (Checked(page, RightClickFirstId + i)) model.selected = i;
    }
    model.Close();
  }
  SheetContext& context;
  HWND page;
  MousePage model;
};

// ----- ﾏﾙﾁﾒﾃﾞｨｱ

std::vector<char> CdDrives() {
  std::vector<char> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    if (GetDriveTypeA(root) == DRIVE_CDROM) drives.push_back(letter);
  }
  return drives;
}

bool VolumeControlFound() {
  char found[MAX_PATH] = {};
  return reinterpret_cast<INT_PTR>(FindExecutableA("sndvol32.exe", nullptr, found)) > 32;
}

struct MultimediaWindow {
  MultimediaWindow(SheetContext& sheetContext, HWND pageWindow)
      : context(sheetContext), page(pageWindow),
        model(sheetContext.sheet, CdDrives(), HasCdTrackFiles(sheetContext.sheet.engine.platform.files),
              VolumeControlFound()) {}
  void Show() {
    for (const DeviceBox& box : model.boxes) {
      Check(page, box.id, box.checked);
      Enable(page, box.id, box.enabled);
    }
    HWND drives = GetDlgItem(page, IDC_CD_DRIVE);
    for (const char letter : model.drives) {
      const char text[] = {letter, ':', '\0'};
      SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(model.selectedDrive), 0);
    Enable(page, IDC_CD_DRIVE, model.driveListEnabled);
    Enable(page, IDC_VOLUME, model.volumeEnabled);
  }
  bool Handle(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || LOWORD(wParam) != IDC_VOLUME || HIWORD(wParam) != BN_CLICKED) return false;
    context.sheet.engine.platform.window.OpenVolumeControl();
    return true;
  }
  void Close() {
    for (DeviceBox& box : model.boxes) box.checked = Checked(page, box.id);
    model.selectedDrive = Selection(page, IDC_CD_DRIVE);
    model.Close();
  }
  SheetContext& context;
  HWND page;
  MultimediaPage model;
};

// ----- ﾌﾟﾗｸﾞｲﾝ

// Small icon `index` of the Susie viewer's program file, or nullptr.
HICON SusieIcon(int index) {
  std::string folder = RegistryKey(HKEY_CURRENT_USER, SusieKey).ReadString("InstallRoot", nullptr, "");
  if (folder.empty()) return nullptr;
  if (folder.back() != '\\') folder += '\\';
  HICON small = nullptr;
  ExtractIconExA((folder + "susie.exe").c_str(), index, nullptr, &small, 1);
  return small;
}

struct PluginsWindow {
  PluginsWindow(SheetContext& sheetContext, HWND pageWindow)
      : context(sheetContext), page(pageWindow),
        rows(ListPlugins(sheetContext.sheet.engine.plugins.list, sheetContext.sheet.engine.platform.modules)) {}
  void Show() {
    HWND view = GetDlgItem(page, IDC_PLUGIN_LIST);
    SetUpListView(view, {{"ﾌﾟﾗｸﾞｲﾝ", 96}, {"ﾀｲﾌﾟ", 48}, {"説明", 320}},
                  SmallIconList({nullptr, SusieIcon(5), SusieIcon(4), ProgramSmallIcon(IDI_PLUGIN_EFFECT),
                                 ProgramSmallIcon(IDI_PLUGIN_PROCEDURE)},
                                IDI_PLUGIN));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      AddListRow(view, static_cast<int>(i), rows[i].icon, {rows[i].fileName, rows[i].tag, rows[i].description});
    }
  }
  // A double click asks the plug-in for its settings; a right click offers its settings and its
  // about box. A plug-in without ConfigurationDlg is left alone.
  bool Handle(UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return false;
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (header.idFrom != IDC_PLUGIN_LIST || (header.code != NM_DBLCLK && header.code != NM_RCLICK)) return false;
    const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
    if (row < 0 || row >= static_cast<int>(rows.size())) return true;
    int command = IDM_PLUGIN_CONFIG;
    if (header.code == NM_RCLICK) {
      HMENU popup = context.menus != nullptr ? GetSubMenu(context.menus, PluginPopupPosition) : nullptr;
      if (popup == nullptr) return true;
      POINT cursor;
      GetCursorPos(&cursor);
      command = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, 0, page, nullptr);
      if (command != IDM_PLUGIN_CONFIG && command != IDM_PLUGIN_ABOUT) return true;
    }
    context.sheet.engine.plugins.list.CallConfigurationDlg(rows[static_cast<std::size_t>(row)].node, page,
                                                           PluginConfigurationFunction(command));
    return true;
  }
  void Close() {}
  SheetContext& context;
  HWND page;
  std::vector<PluginRow> rows;
};

DLGPROC PageProcOf(SettingsPageId id) {
  switch (id) {
  case SettingsPageId::Behaviour:
    return PageProc<BehaviourWindow>;
  case SettingsPageId::Message:
    return PageProc<MessageWindowPage>;
  case SettingsPageId::Font:
    return PageProc<FontWindow>;
  case SettingsPageId::Mouse:
    return PageProc<MouseWindow>;
  case SettingsPageId::Multimedia:
    return PageProc<MultimediaWindow>;
  case SettingsPageId::Plugins:
    break;
  }
  return PageProc<PluginsWindow>;
}

// ----- the about box

struct AboutBox {
  Engine& engine;
  HFONT linkFont = nullptr;
  HICON smallIcon = nullptr;
};

void DrawLink(const DRAWITEMSTRUCT& item, HFONT font) {
  char text[128] = {};
  GetWindowTextA(item.hwndItem, text, sizeof text);
  RECT rect = item.rcItem;
  FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
  const int saved = SaveDC(item.hDC);
  SelectObject(item.hDC, font);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, (item.itemState & ODS_SELECTED) != 0 ? RGB(0x80, 0x80, 0xFF) : RGB(0x00, 0x00, 0x80));
  DrawTextA(item.hDC, text, -1, &rect, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  RestoreDC(item.hDC, saved);
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<AboutBox*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
  case WM_INITDIALOG: {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    self = reinterpret_cast<AboutBox*>(lParam);
    CenterDialog(dialog);
    self->smallIcon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0));
    if (self->smallIcon != nullptr)
      SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(self->smallIcon));
    const TListHash& variables = self->engine.script.variables;
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION,
                    FormatText("System %s (build %s) / Script %s", variables.GetVar("velSystemVer"),
                               variables.GetVar("velBuildVer"), variables.GetVar("velScriptVer"))
                        .c_str());
    HDC screen = GetDC(dialog);
    const int height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(dialog, screen);
    self->linkFont = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    return TRUE;
  }
  case WM_DRAWITEM:
    if (self != nullptr && wParam == IDC_ABOUT_LINK) {
      DrawLink(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), self->linkFont);
      return TRUE;
    }
    return FALSE;
  case WM_SETCURSOR:
    if (reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, IDC_ABOUT_LINK)) {
      SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))); // IDC_HAND
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    return FALSE;
  case WM_COMMAND:
    if (self != nullptr && LOWORD(wParam) == IDC_ABOUT_LINK && HIWORD(wParam) == BN_CLICKED) {
      self->engine.platform.window.OpenWithShell(AboutLinkUrl, "", "");
      return TRUE;
    }
    // Only the close box closes the box.
    return TRUE;
  case WM_SYSCOMMAND:
    if ((wParam & 0xFFF0) == SC_CLOSE) {
      EndDialog(dialog, 1);
      return TRUE;
    }
    return FALSE;
  case WM_DESTROY:
    if (self != nullptr) {
      if (self->linkFont != nullptr) DeleteObject(self->linkFont);
      if (self->smallIcon != nullptr) DestroyIcon(self->smallIcon);
      self->linkFont = nullptr;
      self->smallIcon = nullptr;
    }
    return FALSE;
  default:
    return FALSE;
  }
}

// The sheet is centred on the main window once it is made.
int CALLBACK CenterSheet(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) CenterDialog(sheet);
  return 0;
}

} // namespace

bool RunSettingsSheet(HWND owner, Engine& engine) {
  SheetContext context{SettingsSheet(engine)};
  HINSTANCE program = GetModuleHandleA(nullptr);
  context.menus = LoadMenuA(program, MAKEINTRESOURCEA(IDR_POPUPMENU));
  std::vector<PROPSHEETPAGEA> pages;
  for (const SettingsPageId id : SettingsSheetPages(engine.settings)) {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = program;
    page.pszTemplate = MAKEINTRESOURCEA(static_cast<int>(id));
    page.pfnDlgProc = PageProcOf(id);
    page.lParam = reinterpret_cast<LPARAM>(&context);
    pages.push_back(page);
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  header.pfnCallback = CenterSheet;
  header.hwndParent = owner;
  header.hInstance = program;
  header.pszCaption = SettingsSheetCaption;
  header.nPages = static_cast<UINT>(pages.size());
  header.nStartPage = 0;
  header.ppsp = pages.data();
  PropertySheetA(&header);
  if (context.menus != nullptr) DestroyMenu(context.menus);
  return context.sheet.applied;
}

void RunAboutBox(HWND owner, Engine& engine) {
  AboutBox state{engine};
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc,
                  reinterpret_cast<LPARAM>(&state));
}

} // namespace velmo
