// The common dialogs: message dialogs and boxes, input boxes, the open and
// save (and picture) dialogs, the colour and font dialogs. All are forms of
// this library drawn with its own controls; tests answer them through the
// queued answers of dlgscript.h.
#pragma once
#include <memory>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/controls/dlgscript.h"
#include "platform/controls/forms.h"
#include "platform/controls/graphics.h"
#include "platform/rtl/stringlist.h"

// Installs the message box of this library as the platform's MessageBox.
// Idempotent; part of the class library's start-up.
void InitDialogs();

// ---- message dialogs ----
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline const TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};
PV_ENUM_NAMES(TMsgDlgType, "mtWarning mtError mtInformation mtConfirmation mtCustom")
PV_ENUM_NAMES(TMsgDlgBtn, "mbYes mbNo mbOK mbCancel mbAbort mbRetry mbIgnore mbAll mbNoToAll mbYesToAll mbHelp")

// The modal result of each button (mbHelp closes nothing: mrNone).
TModalResult MsgDlgButtonResult(TMsgDlgBtn Button);

// A message form with the type's caption and icon and one button for each of
// Buttons in the usual order; the first of OK, Yes (or the first button) is
// the default, Cancel (else No, else OK) answers Escape. The caller frees it.
TForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows the message and returns the pressed button's modal result.
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
void ShowMessage(const AnsiString& Msg);

// The platform's message box (MB_* buttons, icons and default button) built
// on the same form; returns ID*.
int PvMessageBox(HWND Owner, const AnsiString& Text, const AnsiString& Caption, UINT Flags);

// ---- input boxes ----
// Asks for a line of text; false (Value untouched) when cancelled.
bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value);
// The entered text, or ADefault when cancelled.
AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault);

// ---- common dialog base ----
class TCommonDialog : public TComponent {
  PV_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  // Shows the dialog; true when the user accepted it.
  virtual bool Execute() = 0;
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value) { FCtl3D = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

 protected:
  bool FCtl3D = true;
  int FHelpContext = 0;
};

// ---- file dialogs ----
enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
  ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
  ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
  ofEnableIncludeNotify, ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;
PV_ENUM_NAMES(TOpenOption,
              "ofReadOnly ofOverwritePrompt ofHideReadOnly ofNoChangeDir ofShowHelp ofNoValidate "
              "ofAllowMultiSelect ofExtensionDifferent ofPathMustExist ofFileMustExist ofCreatePrompt "
              "ofShareAware ofNoReadOnlyReturn ofNoTestFileCreate ofNoNetworkButton ofNoLongNames "
              "ofOldStyleDialog ofNoDereferenceLinks ofEnableIncludeNotify ofEnableSizing")

// One entry of a "description|mask;mask|..." filter.
struct TFileFilter {
  AnsiString Description;
  std::vector<AnsiString> Masks;
};
// Raises EInvalidOperation for a description without its masks. A trailing
// '|' is allowed; an empty filter gives no entries.
std::vector<TFileFilter> ParseFileFilter(const AnsiString& Filter);
// Whether Name matches one of Masks (letters compared without case; no masks: all).
bool MatchesFileMasks(const AnsiString& Name, const std::vector<AnsiString>& Masks);
// FileName with "." + DefaultExt appended when it has no extension.
AnsiString ApplyDefaultExt(const AnsiString& FileName, const AnsiString& DefaultExt);

// The state and rules of a file dialog, apart from its window: the folder
// shown, its entries, and what the typed file name means.
class TFileDialogModel {
 public:
  enum TAcceptResult {
    arAccepted,         // FileName is the chosen file
    arNavigated,        // the text named a folder, which is now shown
    arMasksChanged,     // the text was a mask, which now filters the list
    arEmpty,            // nothing typed
    arFileNotFound,     // an open dialog needs an existing file
    arPathNotFound,     // the folder of the file does not exist
    arConfirmOverwrite  // a save dialog names an existing file: ask before accepting
  };
  TFileDialogModel(bool SaveDialog, TOpenOptions Options, const AnsiString& DefaultExt)
      : FSave(SaveDialog), FOptions(Options), FDefaultExt(DefaultExt) {}
  // Shows Dir (made absolute); false when it is no folder (nothing changes).
  bool SetDir(const AnsiString& Dir);
  AnsiString Dir() const { return FDir; }
  // Goes to the parent folder; false at the root.
  bool Up();
  // Opens a subfolder by name ("..": the parent).
  bool OpenFolder(const AnsiString& Name);
  void SetMasks(const std::vector<AnsiString>& Masks) { FMasks = Masks; }
  const std::vector<AnsiString>& Masks() const { return FMasks; }
  // Folders of Dir, then files matching the masks, each sorted by name.
  std::vector<AnsiString> Folders() const;
  std::vector<AnsiString> Files() const;
  // Interprets a typed name (relative to Dir, or absolute). On arAccepted and
  // arConfirmOverwrite, FileName is the full path with the default extension.
  TAcceptResult Accept(const AnsiString& Text, AnsiString& FileName);

 private:
  bool FSave;
  TOpenOptions FOptions;
  AnsiString FDefaultExt;
  AnsiString FDir;
  std::vector<AnsiString> FMasks;
};

class TOpenDialog : public TCommonDialog {
  PV_CLASS(TOpenDialog, TCommonDialog)
 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;
  bool Execute() override;

  AnsiString FileName() const { return FFileName; }
  void SetFileName(const AnsiString& Value) { FFileName = Value; }
  // The chosen files (one unless multiple selection is allowed).
  TStrings* Files() const { return FFiles.get(); }
  AnsiString Filter() const { return FFilter; }
  void SetFilter(const AnsiString& Value) { FFilter = Value; }
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  AnsiString InitialDir() const { return FInitialDir; }
  void SetInitialDir(const AnsiString& Value) { FInitialDir = Value; }
  AnsiString DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const AnsiString& Value) { FDefaultExt = Value; }
  AnsiString Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value) { FTitle = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  TNotifyEvent OnCanClose;
  TNotifyEvent OnFolderChange;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnTypeChange;

  // The dialog form, made for Execute (freed when it returns); screenshots use it.
  TForm* CreateForm();
  virtual bool IsSaveDialog() const { return false; }
  // Picture dialogs show a preview of the selected file.
  virtual bool ShowsPreview() const { return false; }

 protected:
  AnsiString FFileName, FFilter, FInitialDir, FDefaultExt, FTitle;
  int FFilterIndex = 1;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
  std::unique_ptr<TStringList> FFiles;
};

// A program on a real display may show the desktop's own open and save
// dialogs: while a hook is set, Execute asks it first. It returns -1 to let
// the library's dialog show, 0 when cancelled, or 1 when the user chose, with
// the dialog's FileName, Files and FilterIndex set. nullptr removes it.
using TFileDialogHook = int (*)(TOpenDialog* Dialog);
void SetFileDialogHook(TFileDialogHook Hook);

class TSaveDialog : public TOpenDialog {
  PV_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool IsSaveDialog() const override { return true; }
};

// The filter of the picture dialogs: every picture kind the library reads.
AnsiString GraphicFilter();

class TOpenPictureDialog : public TOpenDialog {
  PV_CLASS(TOpenPictureDialog, TOpenDialog)
 public:
  explicit TOpenPictureDialog(TComponent* AOwner);
  bool ShowsPreview() const override { return true; }
};

class TSavePictureDialog : public TSaveDialog {
  PV_CLASS(TSavePictureDialog, TSaveDialog)
 public:
  explicit TSavePictureDialog(TComponent* AOwner);
  bool ShowsPreview() const override { return true; }
};

// ---- colour dialog ----
enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;
PV_ENUM_NAMES(TColorDialogOption, "cdFullOpen cdPreventFullOpen cdShowHelp cdSolidColor cdAnyColor")

class TColorDialog : public TCommonDialog {
  PV_CLASS(TColorDialog, TCommonDialog)
 public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;
  bool Execute() override;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  // "ColorA=BBGGRR" ... "ColorP=BBGGRR": each custom colour as the hex
  // digits of its colour value; read when shown, written back on OK.
  TStrings* CustomColors() const { return FCustomColors.get(); }
  TColorDialogOptions Options() const { return FOptions; }
  void SetOptions(TColorDialogOptions Value) { FOptions = Value; }
  TForm* CreateForm();

 private:
  TColor FColor = clBlack;
  std::unique_ptr<TStringList> FCustomColors;
  TColorDialogOptions FOptions;
};

// ---- font dialog ----
enum TFontDialogOption { fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel,
                         fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp,
                         fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton };
using TFontDialogOptions = TSet<TFontDialogOption>;

class TFontDialog : public TCommonDialog {
  PV_CLASS(TFontDialog, TCommonDialog)
 public:
  explicit TFontDialog(TComponent* AOwner);
  ~TFontDialog() override;
  bool Execute() override;
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TFontDialogOptions Options() const { return FOptions; }
  void SetOptions(TFontDialogOptions Value) { FOptions = Value; }
  int MinFontSize = 0, MaxFontSize = 0;
  TForm* CreateForm();

 private:
  std::unique_ptr<TFont> FFont;
  TFontDialogOptions FOptions{fdEffects};
};
