// The desktop backend on the Qt toolkit. Each top-level window of the window
// manager is a frameless native widget at the window's screen rectangle that
// shows the image the window manager drew (caption and borders included), so the
// desktop shows exactly what the headless backend composes. Input is queued as
// raw backend input and handed to the window manager when it polls or waits.
#include "platform/backend/desktop/desktop.h"
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QRegion>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <xcb/xcb.h>
#include <QUrl>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include "platform/backend/desktop/keymap.h"
#include "platform/backend/desktop/xselection.h"
#include "platform/rtl/exceptions.h"

namespace {

const char kTextMime[] = "text/plain;charset=utf-8";

QImage ToQImage(const BackendImage& img, bool alpha) {
  if (!img.pixels || img.width <= 0 || img.height <= 0) return QImage();
  QImage q(img.width, img.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < img.height; ++y)
    std::copy_n(img.pixels + std::size_t(y) * img.stride, img.width, reinterpret_cast<std::uint32_t*>(q.scanLine(y)));
  return q;
}

QIcon ToIcon(const BackendImage& img) {
  QImage q = ToQImage(img, true);
  if (q.isNull()) {  // a plain square, so that the desktop has something to show
    q = QImage(16, 16, QImage::Format_ARGB32);
    q.fill(QColor(0, 0, 128));
  }
  return QIcon(QPixmap::fromImage(q));
}

bool IsPrintable(const QString& s) {
  if (s.isEmpty()) return false;
  for (QChar c : s)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
  return true;
}

Qt::CursorShape CursorFor(int idc) {
  switch (idc) {
    case 32513: return Qt::IBeamCursor;
    case 32514: return Qt::WaitCursor;
    case 32515: return Qt::CrossCursor;
    case 32516: return Qt::UpArrowCursor;
    case 32640: case 32646: return Qt::SizeAllCursor;
    case 32642: return Qt::SizeFDiagCursor;
    case 32643: return Qt::SizeBDiagCursor;
    case 32644: return Qt::SizeHorCursor;
    case 32645: return Qt::SizeVerCursor;
    case 32648: return Qt::ForbiddenCursor;
    case 32649: return Qt::PointingHandCursor;
    case 32650: return Qt::BusyCursor;
    case 32651: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}

RECT ToRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

class NativeWidget;
class OverlayWidget;

}  // namespace

struct DesktopBackend::Impl {
  QApplication* app = nullptr;
  QElapsedTimer clock;
  std::deque<BackendInput> queue;
  std::map<BackendWindowId, NativeWidget*> windows;
  std::vector<BackendWindowId> stack;  // topmost first
  std::atomic<bool> woken{false};
  QAbstractEventDispatcher* dispatcher = nullptr;
  std::map<std::string, std::string> pendingClip;
  bool clipPending = false;
  // Another program's clipboard is read over a connection of our own, with
  // bounded waits; the toolkit serves ours.
  XSelectionReader foreign;
  std::string clipError;
  std::map<unsigned, QSystemTrayIcon*> tray;
  OverlayWidget* overlay = nullptr;
  BackendWindowId capture = 0;       // the top-level window of the window manager's capture
  NativeWidget* grabbing = nullptr;  // the window we made hold the pointer for it
  int cursorShape = 32512;
  QCursor customCursor;      // the program's own cursor, when cursorShape is -1
  // Activation: what the window manager last heard from us, what we asked the
  // desktop for ourselves, and whether our active window went by our own doing.
  BackendWindowId reportedActive = 0;
  BackendWindowId requestedActive = 0;
  bool lostOwnActive = false;

  void Push(BackendInput in) { queue.push_back(std::move(in)); }
  void Deliver(IBackendSink& sink) {
    CheckActivation();
    while (!queue.empty()) {
      BackendInput in = std::move(queue.front());
      queue.pop_front();
      sink.Input(in);
    }
  }
  void FlushClipboard();
  bool OwnClipboard() const;
  // The data of `mime` from the clipboard another program holds.
  bool ReadForeign(const std::string& mime, std::string& data);
  std::vector<std::string> ForeignFormats();
  void Failed(const std::string& error);
  void ApplyStacking();
  QCursor Cursor() const;
  BackendWindowId IdOf(const QWidget* w) const;
  // Asks the desktop to activate `w`; the activation that follows is not news.
  void RequestActivation(NativeWidget* w);
  // The native window `w` goes away or hides: when it had the activation, the
  // desktop gives it to its owner (or another frame of ours), so that the
  // keyboard stays with the program while the window manager picks its own.
  void Leaving(NativeWidget* w);
  // Reports a change of the desktop's active window that we did not ask for.
  void CheckActivation();
  // The pixel our windows show at a screen point (for the overlay's exclusive-or).
  std::uint32_t WindowPixelAt(int x, int y) const;
};

namespace {

class NativeWidget : public QWidget {
 public:
  NativeWidget(DesktopBackend::Impl* impl, BackendWindowId id, const BackendWindowInfo& info)
      : QWidget(nullptr, Flags(info)), impl_(impl), id_(id), owner_(info.owner), rect_(info.rect), popup_(info.popup), pressed_(Qt::NoButton) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_InputMethodEnabled, !popup_);
    setAttribute(Qt::WA_ShowWithoutActivating, popup_);
    if (popup_) setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(popup_ ? Qt::NoFocus : Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(!popup_);
    setWindowTitle(QString::fromStdString(info.title));
    Place(info.rect);
  }

  static Qt::WindowFlags Flags(const BackendWindowInfo& info) {
    Qt::WindowFlags f = Qt::FramelessWindowHint;
    if (info.popup) f |= Qt::ToolTip | Qt::WindowDoesNotAcceptFocus;
    else f |= info.toolWindow ? Qt::Tool : Qt::Window;
    if (info.topmost) f |= Qt::WindowStaysOnTopHint;
    return f;
  }

  void Place(const RECT& r) {
    if (minimized_) return;  // it keeps its place on the desktop for its return
    rect_ = r;
    setGeometry(r.left, r.top, std::max<int>(1, r.right - r.left), std::max<int>(1, r.bottom - r.top));
  }
  const RECT& Rect() const { return rect_; }
  bool Minimized() const { return minimized_; }
  // The window manager minimised the window or brought it back: the desktop
  // shows it in its taskbar, or at its place again.
  void SetMinimized(bool minimized) {
    if (minimized == minimized_) return;
    minimized_ = minimized;
    if (!isVisible()) return;
    if (minimized) showMinimized();
    else showNormal();
  }
  bool Popup() const { return popup_; }
  // A button pressed on this window is still down (the pointer is grabbed by it).
  bool Pressed() const { return pressed_ != Qt::NoButton; }
  BackendWindowId Id() const { return id_; }
  BackendWindowId Owner() const { return owner_; }

  void Present(const BackendImage& img, const RECT& damage) {
    if (!img.pixels || img.width <= 0 || img.height <= 0) return;
    QImage::Format fmt = perPixel_ ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    QRect dirty;
    if (image_.width() != img.width || image_.height() != img.height) {
      image_ = ToQImage(img, perPixel_);
      dirty = rect();
    } else {
      if (image_.format() != fmt) image_.reinterpretAsFormat(fmt);
      int x1 = std::max<int>(0, damage.left), x2 = std::min<int>(img.width, damage.right);
      int y1 = std::max<int>(0, damage.top), y2 = std::min<int>(img.height, damage.bottom);
      if (x1 >= x2 || y1 >= y2) return;
      for (int y = y1; y < y2; ++y)
        std::copy(img.pixels + std::size_t(y) * img.stride + x1, img.pixels + std::size_t(y) * img.stride + x2,
                  reinterpret_cast<std::uint32_t*>(image_.scanLine(y)) + x1);
      dirty = QRect(x1, y1, x2 - x1, y2 - y1);
    }
    update(dirty);
  }
  const QImage& Image() const { return image_; }

  void SetPerPixel(bool perPixel) {
    if (perPixel == perPixel_) return;
    perPixel_ = perPixel;
    setAttribute(Qt::WA_TranslucentBackground, perPixel);
    if (!image_.isNull()) image_.reinterpretAsFormat(perPixel ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    update();
  }

  void SetImeCaret(const RECT& caret) {
    imeCaret_ = caret;
    if (QGuiApplication::focusWindow() == windowHandle())
      QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImAnchorRectangle);
  }
  void SetImeFont(const QFont& font) {
    imeFont_ = font;
    if (QGuiApplication::focusWindow() == windowHandle()) QGuiApplication::inputMethod()->update(Qt::ImFont);
  }

 protected:
  bool event(QEvent* e) override {
    // Tab and Backtab belong to the window manager, not to the toolkit's focus chain
    if (e->type() == QEvent::KeyPress) {
      keyPressEvent(static_cast<QKeyEvent*>(e));
      return true;
    }
    if (e->type() == QEvent::ShortcutOverride) {
      e->accept();
      return true;
    }
    return QWidget::event(e);
  }

  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (image_.isNull()) {
      p.fillRect(e->rect(), Qt::white);
      return;
    }
    p.drawImage(e->rect(), image_, e->rect());
  }

  void Mouse(BackendInput::Kind kind, const QPointF& local, Qt::MouseButton b) {
    BackendInput in;
    in.kind = kind;
    in.x = rect_.left + int(std::floor(local.x()));
    in.y = rect_.top + int(std::floor(local.y()));
    in.window = id_;
    if (kind != BackendInput::MouseMove) {
      if (b == Qt::LeftButton) in.button = 0;
      else if (b == Qt::RightButton) in.button = 1;
      else if (b == Qt::MiddleButton) in.button = 2;
      else return;
    }
    impl_->Push(std::move(in));
  }
  void changeEvent(QEvent* e) override {
    if (e->type() == QEvent::ActivationChange) impl_->CheckActivation();
    if (e->type() == QEvent::WindowStateChange && isVisible() && !popup_) {
      // the desktop minimised the window or brought it back; the window manager decides
      const bool now = (windowState() & Qt::WindowMinimized) != 0;
      if (now != minimized_) {
        BackendInput in;
        in.kind = now ? BackendInput::Minimize : BackendInput::Restore;
        in.window = id_;
        impl_->Push(std::move(in));
      }
    }
    QWidget::changeEvent(e);
  }

  void mousePressEvent(QMouseEvent* e) override {
    // a click gives a frame the keyboard, as a desktop with click-to-focus would;
    // the window manager activates it from the click itself
    if (!popup_ && !isActiveWindow()) impl_->RequestActivation(this);
    pressed_ |= e->button();
    Mouse(BackendInput::MouseMove, e->position(), Qt::NoButton);
    Mouse(BackendInput::ButtonDown, e->position(), e->button());
  }
  // double clicks are decided by the window manager's own rules; the toolkit
  // gives the second press as a double click only, so it becomes a press
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (!(pressed_ & e->button())) mousePressEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    pressed_ &= ~e->button();
    Mouse(BackendInput::MouseMove, e->position(), Qt::NoButton);
    Mouse(BackendInput::ButtonUp, e->position(), e->button());
  }
  void mouseMoveEvent(QMouseEvent* e) override { Mouse(BackendInput::MouseMove, e->position(), Qt::NoButton); }
  void leaveEvent(QEvent*) override {
    // where the pointer went: over no window of ours the window manager sends the leave
    QPoint p = QCursor::pos();
    BackendInput in;
    in.kind = BackendInput::MouseMove;
    in.x = p.x();
    in.y = p.y();
    impl_->Push(std::move(in));
  }
  void wheelEvent(QWheelEvent* e) override {
    int delta = e->angleDelta().y();
    if (!delta) return;
    BackendInput in;
    in.kind = BackendInput::Wheel;
    in.x = rect_.left + int(e->position().x());
    in.y = rect_.top + int(e->position().y());
    in.delta = delta;
    impl_->Push(std::move(in));
  }

  void Key(QKeyEvent* e, bool down) {
    VirtualKey vk = KeyToVirtualKey(e->key(), (e->modifiers() & Qt::KeypadModifier) != 0, e->nativeScanCode());
    QString text = e->text();
    bool printable = IsPrintable(text);
    if (!vk.vk) {
      if (!printable) return;
      vk.vk = 0xE7;  // a character with no key of its own on the layout
    }
    BackendInput in;
    in.kind = down ? BackendInput::KeyDown : BackendInput::KeyUp;
    in.vk = vk.vk;
    in.extended = vk.extended;
    in.repeat = down && e->isAutoRepeat();
    if (down && printable) in.text = text.toStdString();
    impl_->Push(std::move(in));
  }
  void keyPressEvent(QKeyEvent* e) override { Key(e, true); }
  void keyReleaseEvent(QKeyEvent* e) override {
    if (e->isAutoRepeat()) return;  // held keys repeat as presses
    Key(e, false);
  }
  bool focusNextPrevChild(bool) override { return false; }

  // files dropped from the desktop; the window manager finds the window that accepts them
  static bool HasFiles(const QMimeData* md) {
    if (!md || !md->hasUrls()) return false;
    for (const QUrl& u : md->urls())
      if (u.isLocalFile()) return true;
    return false;
  }
  void dragEnterEvent(QDragEnterEvent* e) override {
    if (HasFiles(e->mimeData())) e->acceptProposedAction();
  }
  void dropEvent(QDropEvent* e) override {
    if (!HasFiles(e->mimeData())) return;
    BackendInput in;
    in.kind = BackendInput::DropFiles;
    in.x = rect_.left + int(e->position().x());
    in.y = rect_.top + int(e->position().y());
    for (const QUrl& u : e->mimeData()->urls())
      if (u.isLocalFile()) in.text += u.toLocalFile().toStdString() + "\n";
    impl_->Push(std::move(in));
    e->acceptProposedAction();
  }

  void closeEvent(QCloseEvent* e) override {
    e->ignore();  // the window manager decides
    BackendInput in;
    in.kind = BackendInput::CloseRequest;
    in.window = id_;
    impl_->Push(std::move(in));
  }

  void inputMethodEvent(QInputMethodEvent* e) override {
    QString commit = e->commitString(), pre = e->preeditString();
    if (!commit.isEmpty()) {
      BackendInput in;
      in.kind = BackendInput::ImeCommit;
      in.text = commit.toStdString();
      impl_->Push(std::move(in));
      composing_ = false;
    }
    if (!pre.isEmpty()) {
      BackendInput in;
      in.kind = BackendInput::ImeCompose;
      in.text = pre.toStdString();
      impl_->Push(std::move(in));
      composing_ = true;
    } else if (composing_) {  // the composition went away without a result
      BackendInput in;
      in.kind = BackendInput::ImeCompose;
      impl_->Push(std::move(in));
      composing_ = false;
    }
    e->accept();
  }
  QVariant inputMethodQuery(Qt::InputMethodQuery q) const override {
    switch (q) {
      case Qt::ImEnabled: return !popup_;
      case Qt::ImCursorRectangle:
      case Qt::ImAnchorRectangle:
        return QRect(imeCaret_.left - rect_.left, imeCaret_.top - rect_.top,
                     std::max<int>(1, imeCaret_.right - imeCaret_.left),
                     std::max<int>(1, imeCaret_.bottom - imeCaret_.top));
      case Qt::ImFont: return imeFont_;
      case Qt::ImHints: return int(Qt::ImhNone);
      case Qt::ImSurroundingText: return QString();
      case Qt::ImCursorPosition: case Qt::ImAnchorPosition: return 0;
      default: return QWidget::inputMethodQuery(q);
    }
  }

 private:
  DesktopBackend::Impl* impl_;
  BackendWindowId id_;
  BackendWindowId owner_;
  RECT rect_;
  bool popup_;
  Qt::MouseButtons pressed_;  // buttons whose press the window manager was given
  QFont imeFont_;
  bool perPixel_ = false;
  bool composing_ = false;
  bool minimized_ = false;  // as the window manager has it
  RECT imeCaret_;
  QImage image_;
};

// Exclusive-or drawing on the desktop (the frames shown while sizing or docking):
// a borderless window above all others, shaped to the drawn pixels, showing
// them exclusive-or'ed with what our windows show below.
class OverlayWidget : public QWidget {
 public:
  explicit OverlayWidget(DesktopBackend::Impl* impl)
      : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
        impl_(impl) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  void Update(const BackendImage& img) {
    mask_ = ToQImage(img, false);
    QRegion region;
    for (int y = 0; y < mask_.height(); ++y) {
      const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(mask_.constScanLine(y));
      for (int x = 0; x < mask_.width();) {
        if (!(row[x] & 0xFFFFFFu)) {
          ++x;
          continue;
        }
        int start = x;
        while (x < mask_.width() && (row[x] & 0xFFFFFFu)) ++x;
        region += QRect(start, y, x - start, 1);
      }
    }
    if (region.isEmpty()) {
      hide();
      return;
    }
    setGeometry(0, 0, mask_.width(), mask_.height());
    setMask(region);
    show();
    raise();
    update();
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    QRect r = e->rect() & mask_.rect();
    if (r.isEmpty()) return;
    QImage out(r.size(), QImage::Format_RGB32);
    for (int y = 0; y < r.height(); ++y) {
      const std::uint32_t* m = reinterpret_cast<const std::uint32_t*>(mask_.constScanLine(r.top() + y)) + r.left();
      std::uint32_t* o = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
      for (int x = 0; x < r.width(); ++x)
        o[x] = (impl_->WindowPixelAt(r.left() + x, r.top() + y) ^ m[x]) | 0xFF000000u;
    }
    p.drawImage(r.topLeft(), out);
  }

 private:
  DesktopBackend::Impl* impl_;
  QImage mask_;
};

}  // namespace

void DesktopBackend::Impl::FlushClipboard() {
  if (!clipPending) return;
  clipPending = false;
  auto* md = new QMimeData();
  for (auto& [mime, data] : pendingClip) {
    if (mime.rfind("text/plain", 0) == 0) md->setText(QString::fromUtf8(data.data(), qsizetype(data.size())));
    else if (mime == "text/html") md->setHtml(QString::fromUtf8(data.data(), qsizetype(data.size())));
    else if (mime == "image/png") md->setImageData(QImage::fromData(QByteArray(data.data(), qsizetype(data.size())), "PNG"));
    else md->setData(QString::fromStdString(mime), QByteArray(data.data(), qsizetype(data.size())));
  }
  pendingClip.clear();
  QGuiApplication::clipboard()->setMimeData(md);
}

QCursor DesktopBackend::Impl::Cursor() const {
  if (cursorShape == -1) return customCursor;
  if (cursorShape == 0) return QCursor(Qt::BlankCursor);
  return QCursor(CursorFor(cursorShape));
}

BackendWindowId DesktopBackend::Impl::IdOf(const QWidget* w) const {
  if (!w) return 0;
  for (auto& [id, nw] : windows)
    if (nw == w) return id;
  return 0;
}

void DesktopBackend::Impl::RequestActivation(NativeWidget* w) {
  requestedActive = w->Id();
  w->activateWindow();
}

void DesktopBackend::Impl::Leaving(NativeWidget* w) {
  if (grabbing == w) {
    w->releaseMouse();
    grabbing = nullptr;
  }
  // The pointer is held by the window a button was pressed on; when that one
  // goes while the capture lies in another window, the other one takes the
  // pointer, so that the drag goes on there (a menu torn off as a toolbar).
  if (w->Pressed() && capture && !grabbing) {
    auto c = windows.find(capture);
    if (c != windows.end() && c->second != w && c->second->isVisible()) {
      grabbing = c->second;
      grabbing->grabMouse();
    }
  }
  if (!w->isActiveWindow()) return;
  lostOwnActive = true;
  NativeWidget* next = nullptr;
  auto o = windows.find(w->Owner());
  if (o != windows.end() && o->second != w && o->second->isVisible() && !o->second->Popup()) next = o->second;
  for (auto it = stack.begin(); !next && it != stack.end(); ++it) {
    auto c = windows.find(*it);
    if (c != windows.end() && c->second != w && c->second->isVisible() && !c->second->Popup()) next = c->second;
  }
  if (next) RequestActivation(next);
}

void DesktopBackend::Impl::CheckActivation() {
  BackendWindowId now = IdOf(QApplication::activeWindow());
  if (now == reportedActive) return;
  reportedActive = now;
  if (now && now == requestedActive) {  // what we asked for: the window manager knows
    requestedActive = 0;
    lostOwnActive = false;
    return;
  }
  if (!now && lostOwnActive) return;  // our own window went; the window manager activates the next
  lostOwnActive = false;
  BackendInput in;
  in.kind = BackendInput::Activate;
  in.window = now;
  Push(std::move(in));
}

void DesktopBackend::Impl::ApplyStacking() {
  // raise from the bottom up so that the desktop's order ends as ours
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    auto w = windows.find(*it);
    if (w != windows.end() && w->second->isVisible()) w->second->raise();
  }
  if (overlay && overlay->isVisible()) overlay->raise();
}

std::uint32_t DesktopBackend::Impl::WindowPixelAt(int x, int y) const {
  for (BackendWindowId id : stack) {
    auto it = windows.find(id);
    if (it == windows.end() || !it->second->isVisible()) continue;
    const RECT& r = it->second->Rect();
    const QImage& img = it->second->Image();
    int lx = x - r.left, ly = y - r.top;
    if (lx < 0 || ly < 0 || lx >= img.width() || ly >= img.height()) continue;
    return reinterpret_cast<const std::uint32_t*>(img.constScanLine(ly))[lx];
  }
  return 0;
}

// ---------------------------------------------------------------------------

bool DesktopBackend::DisplayAvailable() {
  const char* d = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (d && *d) || (w && *w);
}

namespace {
// The toolkit ends the process when it cannot reach the X server; ask the server
// first so that a wrong DISPLAY is reported as such. Only X displays are tried.
// The connection is returned open (null when nothing was asked) and closed only
// once the toolkit has its own: a server whose last client leaves resets, and
// turns away whoever connects meanwhile.
struct XcbClose {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbClose>;
XcbConnection CheckXServer() {
  const char* d = std::getenv("DISPLAY");
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!d || !*d || (platform && std::string(platform).rfind("xcb", 0) != 0)) return nullptr;
  XcbConnection c(xcb_connect(nullptr, nullptr));
  if (xcb_connection_has_error(c.get()))
    throw EInvalidOperation(std::string("Cannot open the display \"") + d +
                            "\": no X server answers there (is DISPLAY right, and is the server running?)");
  return c;
}
}  // namespace

DesktopBackend& DesktopBackend::Install() {
  static DesktopBackend* b = nullptr;
  if (!b) {
    if (!DisplayAvailable()) throw EInvalidOperation("No display to show windows on: DISPLAY is not set");
    XcbConnection check = QCoreApplication::instance() ? nullptr : CheckXServer();
    b = new DesktopBackend();
  }
  if (GetBackend() != b) SetBackend(b);
  return *b;
}

DesktopBackend::DesktopBackend() : d_(std::make_unique<Impl>()) {
  if (!QCoreApplication::instance()) {
    // windows are placed at exact positions, which X11 allows and Wayland does not
    if (std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
    static int argc = 1;
    static char name[] = "penvro";
    static char* argv[] = {name, nullptr};
    d_->app = new QApplication(argc, argv);
  } else {
    d_->app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!d_->app) throw EInvalidOperation("The desktop backend needs a widget application object");
  }
  d_->app->setQuitOnLastWindowClosed(false);
  d_->dispatcher = QAbstractEventDispatcher::instance(d_->app->thread());
  d_->clock.start();
  // another program took the clipboard; our own changes are no news
  Impl* impl = d_.get();
  QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, d_->app, [impl] {
    if (QGuiApplication::clipboard()->ownsClipboard()) return;
    BackendInput in;
    in.kind = BackendInput::ClipboardChanged;
    impl->Push(std::move(in));
  });
}

DesktopBackend::~DesktopBackend() {
  for (auto& [id, w] : d_->windows) delete w;
  for (auto& [id, t] : d_->tray) delete t;
  delete d_->overlay;
}

void* DesktopBackend::NativeWindow(BackendWindowId id) const {
  auto it = d_->windows.find(id);
  return it == d_->windows.end() ? nullptr : static_cast<QWidget*>(it->second);
}

// ---- windows ----

void DesktopBackend::WindowCreate(BackendWindowId id, const BackendWindowInfo& info) {
  WindowDestroy(id);
  auto* w = new NativeWidget(d_.get(), id, info);
  d_->windows[id] = w;
  d_->stack.insert(d_->stack.begin(), id);
  if (info.owner) {
    auto o = d_->windows.find(info.owner);
    if (o != d_->windows.end()) {
      w->winId();
      o->second->winId();
      w->windowHandle()->setTransientParent(o->second->windowHandle());
    }
  }
  w->setCursor(d_->Cursor());
}

void DesktopBackend::WindowDestroy(BackendWindowId id) {
  auto it = d_->windows.find(id);
  if (it == d_->windows.end()) return;
  NativeWidget* w = it->second;
  d_->Leaving(w);
  d_->windows.erase(it);
  d_->stack.erase(std::remove(d_->stack.begin(), d_->stack.end(), id), d_->stack.end());
  // windows that were transient for this one lose their owner first
  for (auto& [oid, ow] : d_->windows)
    if (ow->windowHandle() && w->windowHandle() && ow->windowHandle()->transientParent() == w->windowHandle())
      ow->windowHandle()->setTransientParent(nullptr);
  delete w;
}

void DesktopBackend::WindowShow(BackendWindowId id, bool visible) {
  auto it = d_->windows.find(id);
  if (it == d_->windows.end()) return;
  NativeWidget* w = it->second;
  if (visible == w->isVisible()) return;
  if (!visible) {
    d_->Leaving(w);
    w->hide();
    return;
  }
  w->Place(w->Rect());
  if (w->Minimized()) w->showMinimized();
  else w->show();
  d_->ApplyStacking();
  // a frame that appears takes the keyboard, as programs' main windows do
  if (!w->Popup() && !w->Minimized()) d_->RequestActivation(w);
}

void DesktopBackend::CaptureMouse(BackendWindowId id) {
  d_->capture = id;
  // a pointer grab taken over for an earlier capture ends with it
  auto it = d_->windows.find(id);
  if (d_->grabbing && (it == d_->windows.end() || it->second != d_->grabbing)) {
    d_->grabbing->releaseMouse();
    d_->grabbing = nullptr;
  }
}

void DesktopBackend::WindowMove(BackendWindowId id, const RECT& rect) {
  auto it = d_->windows.find(id);
  if (it != d_->windows.end()) it->second->Place(rect);
}

void DesktopBackend::WindowMinimize(BackendWindowId id, bool minimized) {
  auto it = d_->windows.find(id);
  if (it == d_->windows.end() || it->second->Minimized() == minimized) return;
  NativeWidget* w = it->second;
  if (minimized) d_->Leaving(w);
  w->SetMinimized(minimized);
  if (!minimized && w->isVisible() && !w->Popup()) d_->RequestActivation(w);
}

void DesktopBackend::WindowRestack(BackendWindowId id, BackendWindowId above) {
  auto& st = d_->stack;
  st.erase(std::remove(st.begin(), st.end(), id), st.end());
  auto pos = above ? std::find(st.begin(), st.end(), above) : st.end();
  if (pos == st.end()) st.insert(st.begin(), id);
  else st.insert(pos + 1, id);
  d_->ApplyStacking();
}

void DesktopBackend::WindowTitle(BackendWindowId id, const std::string& utf8) {
  auto it = d_->windows.find(id);
  if (it != d_->windows.end()) it->second->setWindowTitle(QString::fromStdString(utf8));
}

void DesktopBackend::WindowIcon(BackendWindowId id, const BackendImage& image) {
  auto it = d_->windows.find(id);
  if (it != d_->windows.end() && image.pixels) it->second->setWindowIcon(ToIcon(image));
}

void DesktopBackend::WindowOpacity(BackendWindowId id, int alpha, bool perPixel) {
  auto it = d_->windows.find(id);
  if (it == d_->windows.end()) return;
  it->second->SetPerPixel(perPixel);
  it->second->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

void DesktopBackend::Present(BackendWindowId id, const BackendImage& image, const RECT& damage) {
  auto it = d_->windows.find(id);
  if (it != d_->windows.end()) it->second->Present(image, damage);
  if (d_->overlay && d_->overlay->isVisible()) d_->overlay->update();
}

void DesktopBackend::PresentOverlay(const BackendImage& image, const RECT&) {
  if (!d_->overlay) d_->overlay = new OverlayWidget(d_.get());
  d_->overlay->Update(image);
}

// ---- the pump ----

void DesktopBackend::Poll(IBackendSink& sink) {
  d_->FlushClipboard();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  d_->Deliver(sink);
}

bool DesktopBackend::Wait(IBackendSink& sink, std::uint32_t ms, bool) {
  d_->FlushClipboard();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (d_->queue.empty() && ms != 0) {
    QDeadlineTimer deadline = ms == 0xFFFFFFFFu ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(qint64(ms));
    QTimer timer;  // its expiry wakes the blocking wait below
    timer.setSingleShot(true);
    if (ms != 0xFFFFFFFFu) timer.start(int(std::min<std::uint32_t>(ms, 0x7FFFFFFF)));
    while (d_->queue.empty() && !d_->woken.load() && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  d_->woken = false;
  d_->Deliver(sink);
  return true;  // on a display input can always arrive
}

void DesktopBackend::Wake() {
  d_->woken = true;
  if (d_->dispatcher) d_->dispatcher->wakeUp();
}

std::uint32_t DesktopBackend::Now() { return std::uint32_t(d_->clock.elapsed()); }

// ---- desktop services ----

RECT DesktopBackend::ScreenRect() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? ToRect(s->geometry()) : RECT{0, 0, 1920, 1080};
}

RECT DesktopBackend::WorkArea() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? ToRect(s->availableGeometry()) : RECT{0, 0, 1920, 1080};
}

void DesktopBackend::SetCursorShape(int idc) {
  if (idc == d_->cursorShape) return;
  d_->cursorShape = idc;
  for (auto& [id, w] : d_->windows) w->setCursor(d_->Cursor());
}

void DesktopBackend::SetCursorImage(const BackendImage& image, int hotX, int hotY) {
  QImage img = ToQImage(image, true);
  if (img.isNull()) {
    SetCursorShape(32512);
    return;
  }
  d_->cursorShape = -1;
  d_->customCursor = QCursor(QPixmap::fromImage(img), hotX, hotY);
  for (auto& [id, w] : d_->windows) w->setCursor(d_->customCursor);
}

void DesktopBackend::WarpCursor(int x, int y) { QCursor::setPos(x, y); }

void DesktopBackend::SetImeCaret(BackendWindowId id, const RECT& caret) {
  auto it = d_->windows.find(id);
  if (it != d_->windows.end()) it->second->SetImeCaret(caret);
}

void DesktopBackend::SetImeFont(BackendWindowId id, const std::string& faceUtf8, int height) {
  auto it = d_->windows.find(id);
  if (it == d_->windows.end()) return;
  QFont f;
  if (!faceUtf8.empty()) f.setFamily(QString::fromStdString(faceUtf8));
  if (height > 0) f.setPixelSize(height);
  it->second->SetImeFont(f);
}

bool DesktopBackend::ShellOpen(const std::string& target) {
  // only addresses of the web and mail, and files that exist; never through a shell
  QString t = QString::fromStdString(target);
  QString lower = t.toLower();
  bool address = lower.startsWith("http://") || lower.startsWith("https://") || lower.startsWith("mailto:");
  if (!address && !QFileInfo::exists(t)) return false;
  return QProcess::startDetached("xdg-open", {t});
}

void DesktopBackend::Beep(unsigned) { QApplication::beep(); }

void DesktopBackend::SetClipboard(const std::string& mime, const std::string& data) {
  // the formats of one clipboard change arrive one by one; they reach the
  // desktop together when the program next looks for input
  if (!d_->clipPending) {
    d_->pendingClip.clear();
    d_->clipPending = true;
  }
  d_->pendingClip[mime] = data;
}

bool DesktopBackend::Impl::OwnClipboard() const {
  return QGuiApplication::clipboard()->ownsClipboard();
}

void DesktopBackend::Impl::Failed(const std::string& error) {
  clipError = error;
  if (!error.empty()) std::fprintf(stderr, "penvro: clipboard: %s\n", error.c_str());
}

namespace {
// Text targets of other programs, the best first.
const char* const kTextTargets[] = {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING", "TEXT"};
bool Offered(const std::vector<std::string>& targets, const std::string& t) {
  return std::find(targets.begin(), targets.end(), t) != targets.end();
}
// A picture as PNG bytes; false for no picture.
bool PngBytes(const QImage& img, std::string& data) {
  if (img.isNull()) return false;
  QByteArray png;
  QBuffer buf(&png);
  buf.open(QIODevice::WriteOnly);
  if (!img.save(&buf, "PNG")) return false;
  data.assign(png.constData(), std::size_t(png.size()));
  return true;
}
}  // namespace

bool DesktopBackend::Impl::ReadForeign(const std::string& mime, std::string& data) {
  std::vector<std::string> targets;
  std::string error;
  if (!foreign.Targets(targets, error)) {
    Failed(error);
    return false;
  }
  auto read = [&](const std::string& target, std::string& out) {
    if (foreign.Read(target, out, error)) return true;
    Failed(error);
    return false;
  };
  if (mime.rfind("text/plain", 0) == 0) {
    for (const char* t : kTextTargets) {
      if (!Offered(targets, t)) continue;
      std::string raw;
      if (!read(t, raw)) return false;
      // STRING is Latin-1; the others are UTF-8
      data = std::string(t) == "STRING" ? QString::fromLatin1(raw.data(), qsizetype(raw.size())).toStdString() : raw;
      return true;
    }
    return false;
  }
  if (mime == "text/html") {
    std::string raw;
    if (!Offered(targets, mime) || !read(mime, raw)) return false;
    // some programs send HTML as UTF-16 with its byte-order mark
    if (raw.size() >= 2 && std::uint8_t(raw[0]) == 0xFF && std::uint8_t(raw[1]) == 0xFE)
      raw = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.data() + 2), qsizetype((raw.size() - 2) / 2))
                .toStdString();
    data = raw;
    return true;
  }
  if (mime == "image/png") {
    // a PNG as it is; any other picture the toolkit can read becomes one
    std::string target = Offered(targets, mime) ? mime : std::string();
    for (std::size_t i = 0; target.empty() && i < targets.size(); ++i)
      if (targets[i].rfind("image/", 0) == 0) target = targets[i];
    std::string raw;
    if (target.empty() || !read(target, raw)) return false;
    if (target == mime) {
      data.swap(raw);
      return true;
    }
    return PngBytes(QImage::fromData(QByteArray(raw.data(), qsizetype(raw.size()))), data);
  }
  return Offered(targets, mime) && read(mime, data);
}

std::vector<std::string> DesktopBackend::Impl::ForeignFormats() {
  std::vector<std::string> targets, r;
  std::string error;
  if (!foreign.Targets(targets, error)) {
    Failed(error);
    return r;
  }
  auto add = [&r](const std::string& m) {
    if (std::find(r.begin(), r.end(), m) == r.end()) r.push_back(m);
  };
  for (const std::string& t : targets) {
    if (std::find(std::begin(kTextTargets), std::end(kTextTargets), t) != std::end(kTextTargets)) add(kTextMime);
    else if (t.rfind("image/", 0) == 0) add("image/png");
    else if (t.find('/') != std::string::npos) add(t);
  }
  return r;
}

bool DesktopBackend::GetClipboard(const std::string& mime, std::string& data) {
  d_->FlushClipboard();
  d_->clipError.clear();
  if (!d_->OwnClipboard()) return d_->ReadForeign(mime, data);
  // ours: what the toolkit serves
  const QMimeData* md = QGuiApplication::clipboard()->mimeData();
  if (!md) return false;
  if (mime.rfind("text/plain", 0) == 0) {
    if (!md->hasText()) return false;
    data = md->text().toStdString();
    return true;
  }
  if (mime == "text/html") {
    if (!md->hasHtml()) return false;
    data = md->html().toStdString();
    return true;
  }
  if (mime == "image/png") {
    return md->hasImage() && PngBytes(qvariant_cast<QImage>(md->imageData()), data);
  }
  QString m = QString::fromStdString(mime);
  if (!md->hasFormat(m)) return false;
  QByteArray b = md->data(m);
  data.assign(b.constData(), std::size_t(b.size()));
  return true;
}

std::vector<std::string> DesktopBackend::ClipboardFormats() {
  d_->FlushClipboard();
  d_->clipError.clear();
  if (!d_->OwnClipboard()) return d_->ForeignFormats();
  std::vector<std::string> r;
  const QMimeData* md = QGuiApplication::clipboard()->mimeData();
  if (!md) return r;
  for (const QString& f : md->formats()) {
    std::string s = f.startsWith("text/plain") ? std::string(kTextMime) : f.toStdString();
    if (std::find(r.begin(), r.end(), s) == r.end()) r.push_back(s);
  }
  if (md->hasImage() && std::find(r.begin(), r.end(), "image/png") == r.end()) r.push_back("image/png");
  return r;
}

std::string DesktopBackend::ClipboardError() { return d_->clipError; }

void DesktopBackend::SetClipboardStallLimit(int ms) { d_->foreign.SetStallLimit(ms); }

bool DesktopBackend::TrayAdd(unsigned id, const std::string& tip, const BackendImage& icon) {
  if (d_->tray.count(id) || !QSystemTrayIcon::isSystemTrayAvailable()) return false;
  auto* t = new QSystemTrayIcon(ToIcon(icon));
  t->setToolTip(QString::fromStdString(tip));
  Impl* impl = d_.get();
  QObject::connect(t, &QSystemTrayIcon::activated, [impl, id](QSystemTrayIcon::ActivationReason why) {
    for (unsigned msg : TrayMouseMessages(int(why))) {
      BackendInput in;
      in.kind = BackendInput::TrayMouse;
      in.trayId = id;
      in.mouseMessage = msg;
      const QPoint at = QCursor::pos();
      in.x = at.x();
      in.y = at.y();
      impl->Push(std::move(in));
    }
  });
  t->show();
  d_->tray[id] = t;
  return true;
}

bool DesktopBackend::TrayModify(unsigned id, const std::string& tip, const BackendImage& icon) {
  auto it = d_->tray.find(id);
  if (it == d_->tray.end()) return false;
  it->second->setToolTip(QString::fromStdString(tip));
  if (icon.pixels) it->second->setIcon(ToIcon(icon));
  return true;
}

bool DesktopBackend::TrayRemove(unsigned id) {
  auto it = d_->tray.find(id);
  if (it == d_->tray.end()) return false;
  delete it->second;
  d_->tray.erase(it);
  return true;
}
