// The standard window classes: EDIT (single- and multi-line), the rich-edit
// window in plain-text mode, LISTBOX, COMBOBOX (with its drop-down list) and
// BUTTON. They answer the platform's messages with the platform's numbers and
// semantics; text positions count CP936 bytes.
#pragma once
#include "platform/win/system.h"
#include "platform/win/winuser.h"

// Registers "EDIT", "RichEdit20A" (also "RICHEDIT"), "LISTBOX", "ComboLBox",
// "COMBOBOX", "BUTTON" and "STATIC". Idempotent; registers again after the window
// manager was reset.
void RegisterStandardWindowClasses();

// ---- owner-draw control types and states ----
constexpr UINT ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5;
constexpr UINT ODS_NOACCEL = 0x100, ODS_NOFOCUSRECT = 0x200, ODS_COMBOBOXEDIT = 0x1000;
struct COMPAREITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0;
  HWND hwndItem = nullptr;
  UINT itemID1 = 0;
  ULONG_PTR itemData1 = 0;
  UINT itemID2 = 0;
  ULONG_PTR itemData2 = 0;
  DWORD dwLocaleId = 0;
};
struct DELETEITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0;
  HWND hwndItem = nullptr;
  ULONG_PTR itemData = 0;
};

// ---- EDIT ----
constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004,
                ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_PASSWORD = 0x0020, ES_AUTOVSCROLL = 0x0040,
                ES_AUTOHSCROLL = 0x0080, ES_NOHIDESEL = 0x0100, ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800,
                ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;
constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3,
               EM_SETRECTNP = 0x00B4, EM_SCROLL = 0x00B5, EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB,
               EM_SETHANDLE = 0x00BC, EM_GETHANDLE = 0x00BD, EM_GETTHUMB = 0x00BE, EM_LINELENGTH = 0x00C1,
               EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4, EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = 0x00C5,
               EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_FMTLINES = 0x00C8, EM_LINEFROMCHAR = 0x00C9,
               EM_SETTABSTOPS = 0x00CB, EM_SETPASSWORDCHAR = 0x00CC, EM_EMPTYUNDOBUFFER = 0x00CD,
               EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF, EM_SETWORDBREAKPROC = 0x00D0,
               EM_GETWORDBREAKPROC = 0x00D1, EM_GETPASSWORDCHAR = 0x00D2, EM_SETMARGINS = 0x00D3,
               EM_GETMARGINS = 0x00D4, EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6,
               EM_CHARFROMPOS = 0x00D7;
constexpr UINT EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;
constexpr UINT EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;

// ---- rich edit (plain-text mode) ----
constexpr UINT EM_CANPASTE = WM_USER + 50, EM_EXGETSEL = WM_USER + 52, EM_EXLIMITTEXT = WM_USER + 53,
               EM_EXLINEFROMCHAR = WM_USER + 54, EM_EXSETSEL = WM_USER + 55, EM_GETCHARFORMAT = WM_USER + 58,
               EM_GETEVENTMASK = WM_USER + 59, EM_GETSELTEXT = WM_USER + 62, EM_SETBKGNDCOLOR = WM_USER + 67,
               EM_SETCHARFORMAT = WM_USER + 68, EM_SETEVENTMASK = WM_USER + 69, EM_SETOPTIONS = WM_USER + 77,
               EM_GETOPTIONS = WM_USER + 78, EM_REDO = WM_USER + 84, EM_CANREDO = WM_USER + 85,
               EM_GETTEXTLENGTHEX = WM_USER + 95, EM_SETOLECALLBACK = WM_USER + 70,
               EM_SETTEXTMODE = WM_USER + 89, EM_GETTEXTMODE = WM_USER + 90;
// Rich-edit window style: scroll bars stay shown (disabled) when not needed.
// (The selection bar is the option ECO_SELECTIONBAR; its style bit would be
// WS_MAXIMIZE, which the window manager acts on.)
constexpr DWORD ES_DISABLENOSCROLL = 0x00002000;
// Text modes: the window is always plain text; EM_SETTEXTMODE accepts these.
constexpr UINT TM_PLAINTEXT = 1, TM_RICHTEXT = 2, TM_SINGLELEVELUNDO = 4, TM_MULTILEVELUNDO = 8,
               TM_SINGLECODEPAGE = 16, TM_MULTICODEPAGE = 32;
constexpr UINT EN_SELCHANGE = 0x0702;
constexpr DWORD ENM_NONE = 0, ENM_CHANGE = 0x1, ENM_UPDATE = 0x2, ENM_SCROLL = 0x4, ENM_KEYEVENTS = 0x10000,
                ENM_MOUSEEVENTS = 0x20000, ENM_SELCHANGE = 0x80000;
constexpr DWORD ECO_AUTOWORDSELECTION = 0x1, ECO_AUTOVSCROLL = 0x40, ECO_AUTOHSCROLL = 0x80,
                ECO_NOHIDESEL = 0x100, ECO_READONLY = 0x800, ECO_WANTRETURN = 0x1000, ECO_SELECTIONBAR = 0x1000000;
constexpr UINT ECOOP_SET = 1, ECOOP_OR = 2, ECOOP_AND = 3, ECOOP_XOR = 4;
constexpr UINT SCF_DEFAULT = 0, SCF_SELECTION = 1, SCF_WORD = 2, SCF_ALL = 4;
constexpr DWORD CFM_BOLD = 0x1, CFM_ITALIC = 0x2, CFM_UNDERLINE = 0x4, CFM_STRIKEOUT = 0x8, CFM_COLOR = 0x40000000;
constexpr DWORD CFE_BOLD = 0x1, CFE_ITALIC = 0x2, CFE_UNDERLINE = 0x4, CFE_STRIKEOUT = 0x8, CFE_AUTOCOLOR = 0x40000000;
// CHARFORMAT2 adds an underline type (any type but CFU_UNDERLINENONE underlines).
constexpr DWORD CFM_UNDERLINETYPE = 0x00800000;
constexpr BYTE CFU_UNDERLINENONE = 0, CFU_UNDERLINE = 1;
constexpr UINT SEL_EMPTY = 0, SEL_TEXT = 1;
constexpr DWORD GTL_DEFAULT = 0, GTL_USECRLF = 1, GTL_PRECISE = 2, GTL_CLOSE = 4, GTL_NUMCHARS = 8, GTL_NUMBYTES = 16;
struct CHARRANGE {
  LONG cpMin = 0, cpMax = 0;
};
struct GETTEXTLENGTHEX {
  DWORD flags = 0;
  UINT codepage = 936;
};
struct CHARFORMATA {
  UINT cbSize = sizeof(CHARFORMATA);
  DWORD dwMask = 0, dwEffects = 0;
  LONG yHeight = 0, yOffset = 0;
  COLORREF crTextColor = 0;
  BYTE bCharSet = 0, bPitchAndFamily = 0;
  char szFaceName[32] = {};
};
using CHARFORMAT = CHARFORMATA;
// The second form of the character format (84 bytes on the platform it mirrors),
// of which the window reads the colour and the underline type.
struct CHARFORMAT2A {
  UINT cbSize = sizeof(CHARFORMAT2A);
  DWORD dwMask = 0, dwEffects = 0;
  LONG yHeight = 0, yOffset = 0;
  COLORREF crTextColor = 0;
  BYTE bCharSet = 0, bPitchAndFamily = 0;
  char szFaceName[32] = {};
  WORD wWeight = 0;
  SHORT sSpacing = 0;
  COLORREF crBackColor = 0;
  DWORD lcid = 0;
  DWORD dwReserved = 0;
  SHORT sStyle = 0;
  WORD wKerning = 0;
  BYTE bUnderlineType = 0, bAnimation = 0, bRevAuthor = 0, bReserved1 = 0;
};
using CHARFORMAT2 = CHARFORMAT2A;
#ifndef PV_NMHDR_DEFINED
#define PV_NMHDR_DEFINED
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};
using LPNMHDR = NMHDR*;
#endif
struct SELCHANGE {
  NMHDR nmhdr;
  CHARRANGE chrg;
  WORD seltyp = 0;
};

// ---- LISTBOX ----
constexpr DWORD LBS_NOTIFY = 0x0001, LBS_SORT = 0x0002, LBS_NOREDRAW = 0x0004, LBS_MULTIPLESEL = 0x0008,
                LBS_OWNERDRAWFIXED = 0x0010, LBS_OWNERDRAWVARIABLE = 0x0020, LBS_HASSTRINGS = 0x0040,
                LBS_USETABSTOPS = 0x0080, LBS_NOINTEGRALHEIGHT = 0x0100, LBS_MULTICOLUMN = 0x0200,
                LBS_WANTKEYBOARDINPUT = 0x0400, LBS_EXTENDEDSEL = 0x0800, LBS_DISABLENOSCROLL = 0x1000,
                LBS_NODATA = 0x2000, LBS_NOSEL = 0x4000, LBS_COMBOBOX = 0x8000,
                LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
               LB_SELITEMRANGEEX = 0x0183, LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186,
               LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A,
               LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C, LB_DIR = 0x018D, LB_GETTOPINDEX = 0x018E,
               LB_FINDSTRING = 0x018F, LB_GETSELCOUNT = 0x0190, LB_GETSELITEMS = 0x0191,
               LB_SETTABSTOPS = 0x0192, LB_GETHORIZONTALEXTENT = 0x0193, LB_SETHORIZONTALEXTENT = 0x0194,
               LB_SETCOLUMNWIDTH = 0x0195, LB_ADDFILE = 0x0196, LB_SETTOPINDEX = 0x0197,
               LB_GETITEMRECT = 0x0198, LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A,
               LB_SELITEMRANGE = 0x019B, LB_SETANCHORINDEX = 0x019C, LB_GETANCHORINDEX = 0x019D,
               LB_SETCARETINDEX = 0x019E, LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0,
               LB_GETITEMHEIGHT = 0x01A1, LB_FINDSTRINGEXACT = 0x01A2, LB_SETLOCALE = 0x01A5,
               LB_GETLOCALE = 0x01A6, LB_SETCOUNT = 0x01A7, LB_INITSTORAGE = 0x01A8,
               LB_ITEMFROMPOINT = 0x01A9;
constexpr int LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
constexpr int LBN_ERRSPACE = -2, LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3, LBN_SETFOCUS = 4,
              LBN_KILLFOCUS = 5;

// Makes a list box send its notifications and owner-draw messages to
// NotifyTo instead of its parent, and leave the focus where it is when
// clicked, as the drop-down list of a combo box does (a list shown as a
// pop-up of another window).
void ListBoxSetNotifyWindow(HWND List, HWND NotifyTo);

// ---- COMBOBOX ----
constexpr DWORD CBS_SIMPLE = 0x0001, CBS_DROPDOWN = 0x0002, CBS_DROPDOWNLIST = 0x0003,
                CBS_OWNERDRAWFIXED = 0x0010, CBS_OWNERDRAWVARIABLE = 0x0020, CBS_AUTOHSCROLL = 0x0040,
                CBS_OEMCONVERT = 0x0080, CBS_SORT = 0x0100, CBS_HASSTRINGS = 0x0200,
                CBS_NOINTEGRALHEIGHT = 0x0400, CBS_DISABLENOSCROLL = 0x0800, CBS_UPPERCASE = 0x2000,
                CBS_LOWERCASE = 0x4000;
constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142, CB_ADDSTRING = 0x0143,
               CB_DELETESTRING = 0x0144, CB_DIR = 0x0145, CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147,
               CB_GETLBTEXT = 0x0148, CB_GETLBTEXTLEN = 0x0149, CB_INSERTSTRING = 0x014A,
               CB_RESETCONTENT = 0x014B, CB_FINDSTRING = 0x014C, CB_SELECTSTRING = 0x014D,
               CB_SETCURSEL = 0x014E, CB_SHOWDROPDOWN = 0x014F, CB_GETITEMDATA = 0x0150,
               CB_SETITEMDATA = 0x0151, CB_GETDROPPEDCONTROLRECT = 0x0152, CB_SETITEMHEIGHT = 0x0153,
               CB_GETITEMHEIGHT = 0x0154, CB_SETEXTENDEDUI = 0x0155, CB_GETEXTENDEDUI = 0x0156,
               CB_GETDROPPEDSTATE = 0x0157, CB_FINDSTRINGEXACT = 0x0158, CB_SETLOCALE = 0x0159,
               CB_GETLOCALE = 0x015A, CB_GETTOPINDEX = 0x015B, CB_SETTOPINDEX = 0x015C,
               CB_GETHORIZONTALEXTENT = 0x015D, CB_SETHORIZONTALEXTENT = 0x015E,
               CB_GETDROPPEDWIDTH = 0x015F, CB_SETDROPPEDWIDTH = 0x0160, CB_INITSTORAGE = 0x0161;
constexpr int CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;
constexpr int CBN_ERRSPACE = -1, CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4,
              CBN_EDITCHANGE = 5, CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9,
              CBN_SELENDCANCEL = 10;
// Child ids of a combo box's edit and list windows.
constexpr int PV_COMBO_EDIT_ID = 1001, PV_COMBO_LIST_ID = 1000;

// ---- BUTTON ----
// (BS_* brush styles of the drawing layer use other names; these are button styles.)
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7,
                BS_USERBUTTON = 0x8, BS_AUTORADIOBUTTON = 0x9, BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF,
                BS_LEFTTEXT = 0x20, BS_TEXT = 0x0, BS_ICON = 0x40, BS_BITMAP = 0x80, BS_LEFT = 0x100,
                BS_RIGHT = 0x200, BS_CENTER = 0x300, BS_TOP = 0x400, BS_BOTTOM = 0x800, BS_VCENTER = 0xC00,
                BS_PUSHLIKE = 0x1000, BS_MULTILINE = 0x2000, BS_NOTIFY = 0x4000, BS_FLAT = 0x8000,
                BS_RIGHTBUTTON = BS_LEFTTEXT;
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
               BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5, BM_GETIMAGE = 0x00F6, BM_SETIMAGE = 0x00F7;
constexpr UINT BST_UNCHECKED = 0x0, BST_CHECKED = 0x1, BST_INDETERMINATE = 0x2, BST_PUSHED = 0x4, BST_FOCUS = 0x8;
constexpr UINT BN_CLICKED = 0, BN_PAINT = 1, BN_HILITE = 2, BN_UNHILITE = 3, BN_DISABLE = 4,
               BN_DOUBLECLICKED = 5, BN_DBLCLK = 5, BN_SETFOCUS = 6, BN_KILLFOCUS = 7;
constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;

// Static control styles, messages and notifications.
constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_ICON = 0x3, SS_BLACKRECT = 0x4,
                SS_GRAYRECT = 0x5, SS_WHITERECT = 0x6, SS_BLACKFRAME = 0x7, SS_GRAYFRAME = 0x8,
                SS_WHITEFRAME = 0x9, SS_USERITEM = 0xA, SS_SIMPLE = 0xB, SS_LEFTNOWORDWRAP = 0xC,
                SS_OWNERDRAW = 0xD, SS_BITMAP = 0xE, SS_ENHMETAFILE = 0xF, SS_ETCHEDHORZ = 0x10,
                SS_ETCHEDVERT = 0x11, SS_ETCHEDFRAME = 0x12, SS_TYPEMASK = 0x1F, SS_REALSIZECONTROL = 0x40,
                SS_NOPREFIX = 0x80, SS_NOTIFY = 0x100, SS_CENTERIMAGE = 0x200, SS_RIGHTJUST = 0x400,
                SS_REALSIZEIMAGE = 0x800, SS_SUNKEN = 0x1000, SS_EDITCONTROL = 0x2000,
                SS_ENDELLIPSIS = 0x4000, SS_PATHELLIPSIS = 0x8000, SS_WORDELLIPSIS = 0xC000,
                SS_ELLIPSISMASK = 0xC000;
constexpr UINT STM_SETICON = 0x0170, STM_GETICON = 0x0171, STM_SETIMAGE = 0x0172, STM_GETIMAGE = 0x0173;
constexpr UINT STN_CLICKED = 0, STN_DBLCLK = 1, STN_ENABLE = 2, STN_DISABLE = 3;
