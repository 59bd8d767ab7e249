// Window message numbers and their parameter constants, with the platform's values.
#pragma once

// ---- window messages ----
constexpr unsigned WM_NULL = 0x0000;
constexpr unsigned WM_CREATE = 0x0001;
constexpr unsigned WM_DESTROY = 0x0002;
constexpr unsigned WM_MOVE = 0x0003;
constexpr unsigned WM_SIZE = 0x0005;
constexpr unsigned WM_ACTIVATE = 0x0006;
constexpr unsigned WM_SETFOCUS = 0x0007;
constexpr unsigned WM_KILLFOCUS = 0x0008;
constexpr unsigned WM_ENABLE = 0x000A;
constexpr unsigned WM_SETREDRAW = 0x000B;
constexpr unsigned WM_SETTEXT = 0x000C;
constexpr unsigned WM_GETTEXT = 0x000D;
constexpr unsigned WM_GETTEXTLENGTH = 0x000E;
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUERYENDSESSION = 0x0011;
constexpr unsigned WM_QUIT = 0x0012;
constexpr unsigned WM_QUERYOPEN = 0x0013;
constexpr unsigned WM_ERASEBKGND = 0x0014;
constexpr unsigned WM_SYSCOLORCHANGE = 0x0015;
constexpr unsigned WM_ENDSESSION = 0x0016;
constexpr unsigned WM_SHOWWINDOW = 0x0018;
constexpr unsigned WM_WININICHANGE = 0x001A;
constexpr unsigned WM_SETTINGCHANGE = 0x001A;
constexpr unsigned WM_DEVMODECHANGE = 0x001B;
constexpr unsigned WM_ACTIVATEAPP = 0x001C;
constexpr unsigned WM_FONTCHANGE = 0x001D;
constexpr unsigned WM_TIMECHANGE = 0x001E;
constexpr unsigned WM_CANCELMODE = 0x001F;
constexpr unsigned WM_SETCURSOR = 0x0020;
constexpr unsigned WM_MOUSEACTIVATE = 0x0021;
constexpr unsigned WM_CHILDACTIVATE = 0x0022;
constexpr unsigned WM_QUEUESYNC = 0x0023;
constexpr unsigned WM_GETMINMAXINFO = 0x0024;
constexpr unsigned WM_PAINTICON = 0x0026;
constexpr unsigned WM_ICONERASEBKGND = 0x0027;
constexpr unsigned WM_NEXTDLGCTL = 0x0028;
constexpr unsigned WM_SPOOLERSTATUS = 0x002A;
constexpr unsigned WM_DRAWITEM = 0x002B;
constexpr unsigned WM_MEASUREITEM = 0x002C;
constexpr unsigned WM_DELETEITEM = 0x002D;
constexpr unsigned WM_VKEYTOITEM = 0x002E;
constexpr unsigned WM_CHARTOITEM = 0x002F;
constexpr unsigned WM_SETFONT = 0x0030;
constexpr unsigned WM_GETFONT = 0x0031;
constexpr unsigned WM_SETHOTKEY = 0x0032;
constexpr unsigned WM_GETHOTKEY = 0x0033;
constexpr unsigned WM_QUERYDRAGICON = 0x0037;
constexpr unsigned WM_COMPAREITEM = 0x0039;
constexpr unsigned WM_GETOBJECT = 0x003D;
constexpr unsigned WM_COMPACTING = 0x0041;
constexpr unsigned WM_WINDOWPOSCHANGING = 0x0046;
constexpr unsigned WM_WINDOWPOSCHANGED = 0x0047;
constexpr unsigned WM_POWER = 0x0048;
constexpr unsigned WM_COPYDATA = 0x004A;
constexpr unsigned WM_CANCELJOURNAL = 0x004B;
constexpr unsigned WM_NOTIFY = 0x004E;
constexpr unsigned WM_INPUTLANGCHANGEREQUEST = 0x0050;
constexpr unsigned WM_INPUTLANGCHANGE = 0x0051;
constexpr unsigned WM_TCARD = 0x0052;
constexpr unsigned WM_HELP = 0x0053;
constexpr unsigned WM_USERCHANGED = 0x0054;
constexpr unsigned WM_NOTIFYFORMAT = 0x0055;
constexpr unsigned WM_CONTEXTMENU = 0x007B;
constexpr unsigned WM_STYLECHANGING = 0x007C;
constexpr unsigned WM_STYLECHANGED = 0x007D;
constexpr unsigned WM_DISPLAYCHANGE = 0x007E;
constexpr unsigned WM_GETICON = 0x007F;
constexpr unsigned WM_SETICON = 0x0080;
// WM_SETICON / WM_GETICON: which icon
constexpr unsigned ICON_SMALL = 0, ICON_BIG = 1, ICON_SMALL2 = 2;
constexpr unsigned WM_NCCREATE = 0x0081;
constexpr unsigned WM_NCDESTROY = 0x0082;
constexpr unsigned WM_NCCALCSIZE = 0x0083;
constexpr unsigned WM_NCHITTEST = 0x0084;
constexpr unsigned WM_NCPAINT = 0x0085;
constexpr unsigned WM_NCACTIVATE = 0x0086;
constexpr unsigned WM_GETDLGCODE = 0x0087;
constexpr unsigned WM_SYNCPAINT = 0x0088;
constexpr unsigned WM_NCMOUSEMOVE = 0x00A0;
constexpr unsigned WM_NCLBUTTONDOWN = 0x00A1;
constexpr unsigned WM_NCLBUTTONUP = 0x00A2;
constexpr unsigned WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr unsigned WM_NCRBUTTONDOWN = 0x00A4;
constexpr unsigned WM_NCRBUTTONUP = 0x00A5;
constexpr unsigned WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr unsigned WM_NCMBUTTONDOWN = 0x00A7;
constexpr unsigned WM_NCMBUTTONUP = 0x00A8;
constexpr unsigned WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr unsigned WM_KEYFIRST = 0x0100;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_CHAR = 0x0102;
constexpr unsigned WM_DEADCHAR = 0x0103;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSKEYUP = 0x0105;
constexpr unsigned WM_SYSCHAR = 0x0106;
constexpr unsigned WM_SYSDEADCHAR = 0x0107;
constexpr unsigned WM_KEYLAST = 0x0108;
constexpr unsigned WM_IME_STARTCOMPOSITION = 0x010D;
constexpr unsigned WM_IME_ENDCOMPOSITION = 0x010E;
constexpr unsigned WM_IME_COMPOSITION = 0x010F;
constexpr unsigned WM_IME_KEYLAST = 0x010F;
constexpr unsigned WM_INITDIALOG = 0x0110;
constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_SYSCOMMAND = 0x0112;
constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned WM_HSCROLL = 0x0114;
constexpr unsigned WM_VSCROLL = 0x0115;
constexpr unsigned WM_INITMENU = 0x0116;
constexpr unsigned WM_INITMENUPOPUP = 0x0117;
constexpr unsigned WM_MENUSELECT = 0x011F;
constexpr unsigned WM_MENUCHAR = 0x0120;
constexpr unsigned WM_ENTERIDLE = 0x0121;
constexpr unsigned WM_MENURBUTTONUP = 0x0122;
constexpr unsigned WM_UNINITMENUPOPUP = 0x0125;
constexpr unsigned WM_CHANGEUISTATE = 0x0127;
constexpr unsigned WM_UPDATEUISTATE = 0x0128;
constexpr unsigned WM_QUERYUISTATE = 0x0129;
constexpr unsigned WM_CTLCOLORMSGBOX = 0x0132;
constexpr unsigned WM_CTLCOLOREDIT = 0x0133;
constexpr unsigned WM_CTLCOLORLISTBOX = 0x0134;
constexpr unsigned WM_CTLCOLORBTN = 0x0135;
constexpr unsigned WM_CTLCOLORDLG = 0x0136;
constexpr unsigned WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr unsigned WM_CTLCOLORSTATIC = 0x0138;
constexpr unsigned WM_MOUSEFIRST = 0x0200;
constexpr unsigned WM_MOUSEMOVE = 0x0200;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_RBUTTONUP = 0x0205;
constexpr unsigned WM_RBUTTONDBLCLK = 0x0206;
constexpr unsigned WM_MBUTTONDOWN = 0x0207;
constexpr unsigned WM_MBUTTONUP = 0x0208;
constexpr unsigned WM_MBUTTONDBLCLK = 0x0209;
constexpr unsigned WM_MOUSEWHEEL = 0x020A;
constexpr unsigned WM_MOUSELAST = 0x020A;
constexpr unsigned WM_PARENTNOTIFY = 0x0210;
constexpr unsigned WM_ENTERMENULOOP = 0x0211;
constexpr unsigned WM_EXITMENULOOP = 0x0212;
constexpr unsigned WM_NEXTMENU = 0x0213;
constexpr unsigned WM_SIZING = 0x0214;
// WM_SIZING: the edge being dragged (wParam).
constexpr unsigned WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4, WMSZ_TOPRIGHT = 5,
                   WMSZ_BOTTOM = 6, WMSZ_BOTTOMLEFT = 7, WMSZ_BOTTOMRIGHT = 8;
constexpr unsigned WM_CAPTURECHANGED = 0x0215;
constexpr unsigned WM_MOVING = 0x0216;
constexpr unsigned WM_MDICREATE = 0x0220;
constexpr unsigned WM_MDIDESTROY = 0x0221;
constexpr unsigned WM_MDIACTIVATE = 0x0222;
constexpr unsigned WM_MDIRESTORE = 0x0223;
constexpr unsigned WM_MDINEXT = 0x0224;
constexpr unsigned WM_MDIMAXIMIZE = 0x0225;
constexpr unsigned WM_MDITILE = 0x0226;
constexpr unsigned WM_MDICASCADE = 0x0227;
constexpr unsigned WM_MDIICONARRANGE = 0x0228;
constexpr unsigned WM_MDIGETACTIVE = 0x0229;
constexpr unsigned WM_MDISETMENU = 0x0230;
constexpr unsigned WM_ENTERSIZEMOVE = 0x0231;
constexpr unsigned WM_EXITSIZEMOVE = 0x0232;
constexpr unsigned WM_DROPFILES = 0x0233;
constexpr unsigned WM_MDIREFRESHMENU = 0x0234;
constexpr unsigned WM_IME_SETCONTEXT = 0x0281;
constexpr unsigned WM_IME_NOTIFY = 0x0282;
constexpr unsigned WM_IME_CONTROL = 0x0283;
constexpr unsigned WM_IME_COMPOSITIONFULL = 0x0284;
constexpr unsigned WM_IME_SELECT = 0x0285;
constexpr unsigned WM_IME_CHAR = 0x0286;
constexpr unsigned WM_IME_KEYDOWN = 0x0290;
constexpr unsigned WM_IME_KEYUP = 0x0291;
constexpr unsigned WM_MOUSEHOVER = 0x02A1;
constexpr unsigned WM_MOUSELEAVE = 0x02A3;
constexpr unsigned WM_NCMOUSEHOVER = 0x02A0;
constexpr unsigned WM_NCMOUSELEAVE = 0x02A2;
constexpr unsigned WM_CUT = 0x0300;
constexpr unsigned WM_COPY = 0x0301;
constexpr unsigned WM_PASTE = 0x0302;
constexpr unsigned WM_CLEAR = 0x0303;
constexpr unsigned WM_UNDO = 0x0304;
constexpr unsigned WM_RENDERFORMAT = 0x0305;
constexpr unsigned WM_RENDERALLFORMATS = 0x0306;
constexpr unsigned WM_DESTROYCLIPBOARD = 0x0307;
constexpr unsigned WM_DRAWCLIPBOARD = 0x0308;
constexpr unsigned WM_PAINTCLIPBOARD = 0x0309;
constexpr unsigned WM_VSCROLLCLIPBOARD = 0x030A;
constexpr unsigned WM_SIZECLIPBOARD = 0x030B;
constexpr unsigned WM_ASKCBFORMATNAME = 0x030C;
constexpr unsigned WM_CHANGECBCHAIN = 0x030D;
constexpr unsigned WM_HSCROLLCLIPBOARD = 0x030E;
constexpr unsigned WM_QUERYNEWPALETTE = 0x030F;
constexpr unsigned WM_PALETTEISCHANGING = 0x0310;
constexpr unsigned WM_PALETTECHANGED = 0x0311;
constexpr unsigned WM_HOTKEY = 0x0312;
constexpr unsigned WM_PRINT = 0x0317;
constexpr unsigned WM_PRINTCLIENT = 0x0318;
constexpr unsigned WM_THEMECHANGED = 0x031A;
constexpr unsigned WM_USER = 0x0400;
constexpr unsigned WM_APP = 0x8000;

// ---- parameters ----
// WM_ACTIVATE
constexpr unsigned WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_SIZE
constexpr unsigned SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2, SIZE_MAXSHOW = 3,
                   SIZE_MAXHIDE = 4;
// WM_SHOWWINDOW lParam
constexpr unsigned SW_PARENTCLOSING = 1, SW_OTHERZOOM = 2, SW_PARENTOPENING = 3, SW_OTHERUNZOOM = 4;
// WM_MOUSEACTIVATE results
constexpr int MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
// WM_NCHITTEST results
constexpr int HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
              HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8,
              HTREDUCE = 8, HTMAXBUTTON = 9, HTZOOM = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12,
              HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17,
              HTBORDER = 18, HTOBJECT = 19, HTCLOSE = 20, HTHELP = 21;
// WM_NCCALCSIZE results
constexpr unsigned WVR_ALIGNTOP = 0x10, WVR_ALIGNLEFT = 0x20, WVR_ALIGNBOTTOM = 0x40, WVR_ALIGNRIGHT = 0x80,
                   WVR_HREDRAW = 0x100, WVR_VREDRAW = 0x200, WVR_REDRAW = 0x300, WVR_VALIDRECTS = 0x400;
// mouse message key flags
constexpr unsigned MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008,
                   MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
// WM_SYSCOMMAND
constexpr unsigned SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                   SC_NEXTWINDOW = 0xF040, SC_PREVWINDOW = 0xF050, SC_CLOSE = 0xF060, SC_VSCROLL = 0xF070,
                   SC_HSCROLL = 0xF080, SC_MOUSEMENU = 0xF090, SC_KEYMENU = 0xF100, SC_ARRANGE = 0xF110,
                   SC_RESTORE = 0xF120, SC_TASKLIST = 0xF130, SC_SCREENSAVE = 0xF140, SC_HOTKEY = 0xF150,
                   SC_DEFAULT = 0xF160, SC_MONITORPOWER = 0xF170, SC_CONTEXTHELP = 0xF180;
// WM_HSCROLL / WM_VSCROLL codes
constexpr unsigned SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
                   SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4,
                   SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
// WM_PRINT flags
constexpr unsigned PRF_CHECKVISIBLE = 0x1, PRF_NONCLIENT = 0x2, PRF_CLIENT = 0x4, PRF_ERASEBKGND = 0x8,
                   PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;
// WM_GETDLGCODE results
constexpr unsigned DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_WANTMESSAGE = 0x4,
                   DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10, DLGC_UNDEFPUSHBUTTON = 0x20,
                   DLGC_RADIOBUTTON = 0x40, DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;
// WM_IME_COMPOSITION lParam flags
constexpr unsigned GCS_COMPREADSTR = 0x1, GCS_COMPREADATTR = 0x2, GCS_COMPREADCLAUSE = 0x4, GCS_COMPSTR = 0x8,
                   GCS_COMPATTR = 0x10, GCS_COMPCLAUSE = 0x20, GCS_CURSORPOS = 0x80, GCS_DELTASTART = 0x100,
                   GCS_RESULTREADSTR = 0x200, GCS_RESULTREADCLAUSE = 0x400, GCS_RESULTSTR = 0x800,
                   GCS_RESULTCLAUSE = 0x1000;
// WM_IME_NOTIFY codes
constexpr unsigned IMN_CLOSESTATUSWINDOW = 1, IMN_OPENSTATUSWINDOW = 2, IMN_CHANGECANDIDATE = 3,
                   IMN_CLOSECANDIDATE = 4, IMN_OPENCANDIDATE = 5, IMN_SETCONVERSIONMODE = 6,
                   IMN_SETSENTENCEMODE = 7, IMN_SETOPENSTATUS = 8, IMN_SETCANDIDATEPOS = 9,
                   IMN_SETCOMPOSITIONFONT = 10, IMN_SETCOMPOSITIONWINDOW = 11, IMN_SETSTATUSWINDOWPOS = 12;
// WM_SETTINGCHANGE / WM_UISTATE
constexpr unsigned UIS_SET = 1, UIS_CLEAR = 2, UIS_INITIALIZE = 3, UISF_HIDEFOCUS = 1, UISF_HIDEACCEL = 2;
// WM_MENUSELECT / menu item flags come with the menu functions.
