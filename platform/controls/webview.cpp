// The local web view: address checks, an HTTP/1.0 GET over a socket, and the
// page's text.
#include "platform/controls/webview.h"
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

std::string TrimWs(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r' || s[a] == '\n')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r' || s[b - 1] == '\n')) --b;
  return s.substr(a, b - a);
}

const char kHex[] = "0123456789ABCDEF";

void AppendUtf8(std::string& out, unsigned cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

bool ValidUtf8(const std::string& s) {
  std::size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = s[i];
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (!len || i + len > n) return false;
    for (int k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

// The body in UTF-8, read in the named charset.
std::string BodyToUtf8(const std::string& body, const std::string& charset) {
  std::string cs = Lower(TrimWs(charset));
  if (cs.empty()) return ValidUtf8(body) ? body : AnsiToUtf8(body);
  if (cs == "utf-8" || cs == "utf8") return body;
  if (cs == "gbk" || cs == "gb2312" || cs == "gb18030" || cs == "cp936" || cs == "x-gbk" || cs == "ms936" ||
      cs == "windows-936" || cs == "euc-cn")
    return AnsiToUtf8(body);
  if (cs == "iso-8859-1" || cs == "latin1" || cs == "us-ascii" || cs == "ascii" || cs == "windows-1252") {
    std::string out;
    for (unsigned char c : body) AppendUtf8(out, c);
    return out;
  }
  throw EWebViewError("The page uses the charset \"" + charset + "\", which cannot be shown");
}

struct Entity {
  const char* name;
  unsigned cp;
};
const Entity kEntities[] = {
    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
    {"nbsp", 0xA0},    {"copy", 0xA9},    {"reg", 0xAE},     {"middot", 0xB7},  {"times", 0xD7},
    {"laquo", 0xAB},   {"raquo", 0xBB},   {"hellip", 0x2026}, {"mdash", 0x2014}, {"ndash", 0x2013},
    {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"deg", 0xB0},
};

// Decodes the entity at s[i] == '&'; returns false (leaving it as text) when it is none.
bool DecodeEntity(const std::string& s, std::size_t& i, std::string& out) {
  std::size_t semi = s.find(';', i + 1);
  if (semi == std::string::npos || semi - i > 12 || semi == i + 1) return false;
  std::string name = s.substr(i + 1, semi - i - 1);
  unsigned cp = 0;
  if (name[0] == '#') {
    bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    std::size_t k = hex ? 2 : 1;
    if (k >= name.size()) return false;
    for (; k < name.size(); ++k) {
      char c = name[k];
      int d = c >= '0' && c <= '9' ? c - '0'
              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                            : -1;
      if (d < 0) return false;
      cp = cp * (hex ? 16 : 10) + unsigned(d);
      if (cp > 0x10FFFF) cp = 0x110000;  // out of range: shown as a replacement character
    }
  } else {
    bool found = false;
    for (const Entity& e : kEntities)
      if (name == e.name) {
        cp = e.cp;
        found = true;
        break;
      }
    if (!found) return false;
  }
  if (cp == 0xA0) cp = ' ';  // a non-breaking space has no CP936 form
  AppendUtf8(out, cp);
  i = semi + 1;
  return true;
}

bool IsBlockTag(const std::string& t) {
  static const char* const kBlocks[] = {"p",  "div", "br", "li", "tr", "h1", "h2", "h3", "h4",
                                        "h5", "h6",  "ul", "ol", "table", "title", "dt", "dd", "pre",
                                        "blockquote", "hr", "section", "article", "header", "footer",
                                        "nav", "form", "dl", "address", "body"};
  for (const char* b : kBlocks)
    if (t == b) return true;
  return false;
}

bool IsSkippedTag(const std::string& t) { return t == "script" || t == "style" || t == "head" || t == "template"; }

// The lower-case name of the tag starting at s[i] == '<' and whether it closes.
std::string TagName(const std::string& s, std::size_t i, bool& closing) {
  std::size_t k = i + 1;
  closing = k < s.size() && s[k] == '/';
  if (closing) ++k;
  std::size_t b = k;
  while (k < s.size() && (isalnum(static_cast<unsigned char>(s[k])))) ++k;
  return Lower(s.substr(b, k - b));
}

// Collapses blanks into single spaces, trims lines and drops empty ones.
std::string Tidy(const std::string& raw) {
  std::vector<std::string> lines;
  std::string cur;
  bool space = false;
  for (char c : raw) {
    if (c == '\n') {
      lines.push_back(TrimWs(cur));
      cur.clear();
      space = false;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
      space = true;
    } else {
      if (space && !cur.empty()) cur += ' ';
      space = false;
      cur += c;
    }
  }
  lines.push_back(TrimWs(cur));
  std::string out;
  for (const std::string& l : lines) {
    if (l.empty()) continue;
    if (!out.empty()) out += "\r\n";
    out += l;
  }
  return out;
}

// Reads "<meta charset=x>" or "<meta ... content="text/html; charset=x">".
AnsiString MetaCharset(const std::string& html) {
  std::string low = Lower(html.substr(0, std::min<std::size_t>(html.size(), 4096)));
  std::size_t pos = 0;
  while ((pos = low.find("<meta", pos)) != std::string::npos) {
    std::size_t end = low.find('>', pos);
    if (end == std::string::npos) break;
    std::string tag = low.substr(pos, end - pos);
    std::size_t c = tag.find("charset=");
    if (c != std::string::npos) {
      std::size_t b = c + 8;
      while (b < tag.size() && (tag[b] == '"' || tag[b] == '\'' || tag[b] == ' ')) ++b;
      std::size_t e = b;
      while (e < tag.size() && (isalnum(static_cast<unsigned char>(tag[e])) || tag[e] == '-' || tag[e] == '_')) ++e;
      if (e > b) return tag.substr(b, e - b);
    }
    pos = end;
  }
  return "";
}

class Socket {
 public:
  Socket() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

using Clock = std::chrono::steady_clock;

int Remaining(Clock::time_point deadline) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return ms < 0 ? 0 : int(ms);
}

// Waits for `events` on fd until the deadline; raises on a time-out.
void WaitFor(int fd, short events, Clock::time_point deadline, const AnsiString& what) {
  for (;;) {
    pollfd p{fd, events, 0};
    int r = ::poll(&p, 1, Remaining(deadline));
    if (r > 0) return;
    if (r == 0) throw EWebViewError("The local service did not answer in time (" + what + ")");
    if (errno != EINTR) throw EWebViewError("Waiting for the local service failed: " + AnsiString(strerror(errno)));
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// addresses

TLocalUrl ParseLocalUrl(const AnsiString& Url) {
  const std::string prefix = "http://";
  if (Url.size() < prefix.size() || Lower(Url.substr(0, prefix.size())) != prefix)
    throw EWebViewError("Only http addresses on this computer can be opened: \"" + Url + "\"");
  std::size_t start = prefix.size();
  std::size_t end = Url.find_first_of("/?#", start);
  std::string authority = Url.substr(start, end == std::string::npos ? std::string::npos : end - start);
  if (authority.find('@') != std::string::npos)
    throw EWebViewError("Addresses with a user name are refused: \"" + Url + "\"");
  TLocalUrl r;
  std::size_t colon = authority.rfind(':');
  std::string host = Lower(colon == std::string::npos ? authority : authority.substr(0, colon));
  if (host != "127.0.0.1" && host != "localhost")
    throw EWebViewError("Only pages from this computer (127.0.0.1 or localhost) can be opened: \"" + Url + "\"");
  r.Host = host;
  if (colon != std::string::npos) {
    std::string port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(port) < 1 || std::stoi(port) > 65535)
      throw EWebViewError("The address has an invalid port: \"" + Url + "\"");
    r.Port = std::stoi(port);
  }
  std::string path = end == std::string::npos ? std::string("/") : Url.substr(end);
  std::size_t hash = path.find('#');
  if (hash != std::string::npos) path.erase(hash);
  if (path.empty() || path[0] != '/') path.insert(path.begin(), '/');
  // Characters that cannot go into a request line: controls are refused,
  // spaces and non-ASCII text (CP936) are escaped as UTF-8.
  std::string escaped;
  for (std::size_t i = 0; i < path.size(); ++i) {
    unsigned char c = path[i];
    if (c < 0x20 || c == 0x7F) throw EWebViewError("The address contains control characters");
  }
  for (unsigned char c : AnsiToUtf8(path)) {
    if (c >= 0x80 || c == ' ') {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    } else {
      escaped += char(c);
    }
  }
  r.Path = escaped;
  return r;
}

AnsiString UrlEncodeUtf8(const AnsiString& Text) {
  std::string out;
  for (unsigned char c : AnsiToUtf8(Text)) {
    if (isalnum(c) && c < 0x80) out += char(c);
    else if (c == '-' || c == '_' || c == '.' || c == '~') out += char(c);
    else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

AnsiString SearchUrl(const AnsiString& Word, int Port) {
  return "http://127.0.0.1:" + std::to_string(Port) + "/search?word=" + UrlEncodeUtf8(Word);
}

// ---------------------------------------------------------------------------
// fetching

THttpPage HttpGetLocal(const AnsiString& Url, int TimeoutMs, std::size_t MaxBytes) {
  TLocalUrl u = ParseLocalUrl(Url);
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs > 0 ? TimeoutMs : 1);
  Socket s;
  if (s.fd() < 0) throw EWebViewError("Cannot open a socket: " + AnsiString(strerror(errno)));
  ::fcntl(s.fd(), F_SETFL, ::fcntl(s.fd(), F_GETFL) | O_NONBLOCK);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(u.Port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // localhost is never looked up
  AnsiString where = "127.0.0.1:" + std::to_string(u.Port);
  if (::connect(s.fd(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno != EINPROGRESS) throw EWebViewError("Cannot connect to " + where + ": " + strerror(errno));
    WaitFor(s.fd(), POLLOUT, deadline, "connect");
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &err, &len);
    if (err) throw EWebViewError("Cannot connect to " + where + ": " + strerror(err));
  }
  std::string request = "GET " + u.Path + " HTTP/1.0\r\nHost: " + u.Host + ":" + std::to_string(u.Port) +
                        "\r\nAccept: text/html, text/plain\r\nConnection: close\r\n\r\n";
  std::size_t sent = 0;
  while (sent < request.size()) {
    ssize_t n = ::send(s.fd(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += std::size_t(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      WaitFor(s.fd(), POLLOUT, deadline, "sending");
    } else if (n < 0 && errno != EINTR) {
      throw EWebViewError("Sending to " + where + " failed: " + strerror(errno));
    }
  }
  std::string data;
  char buf[8192];
  const std::size_t limit = MaxBytes + 16384;  // the body's limit plus room for headers
  for (;;) {
    ssize_t n = ::recv(s.fd(), buf, sizeof buf, 0);
    if (n > 0) {
      data.append(buf, std::size_t(n));
      if (data.size() > limit) throw EWebViewError("The page from " + where + " is too large");
    } else if (n == 0) {
      break;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      WaitFor(s.fd(), POLLIN, deadline, "reading");
    } else if (errno != EINTR) {
      throw EWebViewError("Reading from " + where + " failed: " + strerror(errno));
    }
  }

  std::size_t headEnd = data.find("\r\n\r\n");
  std::size_t bodyStart = headEnd == std::string::npos ? std::string::npos : headEnd + 4;
  if (headEnd == std::string::npos) {
    headEnd = data.find("\n\n");
    if (headEnd != std::string::npos) bodyStart = headEnd + 2;
  }
  if (headEnd == std::string::npos || data.compare(0, 5, "HTTP/") != 0)
    throw EWebViewError("The answer from " + where + " is not an HTTP response");
  std::string head = data.substr(0, headEnd);
  THttpPage page;
  std::size_t lineEnd = head.find('\n');
  std::string status = TrimWs(head.substr(0, lineEnd));
  std::size_t sp = status.find(' ');
  if (sp == std::string::npos || status.size() < sp + 4 || !isdigit(static_cast<unsigned char>(status[sp + 1])) ||
      !isdigit(static_cast<unsigned char>(status[sp + 2])) || !isdigit(static_cast<unsigned char>(status[sp + 3])))
    throw EWebViewError("The answer from " + where + " has a malformed status line");
  page.Status = std::stoi(status.substr(sp + 1, 3));
  page.Reason = TrimWs(status.substr(std::min(status.size(), sp + 4)));
  long long contentLength = -1;
  std::size_t pos = lineEnd == std::string::npos ? head.size() : lineEnd + 1;
  while (pos < head.size()) {
    std::size_t e = head.find('\n', pos);
    std::string line = head.substr(pos, e == std::string::npos ? std::string::npos : e - pos);
    pos = e == std::string::npos ? head.size() : e + 1;
    std::size_t c = line.find(':');
    if (c == std::string::npos) continue;
    std::string name = Lower(TrimWs(line.substr(0, c)));
    std::string value = TrimWs(line.substr(c + 1));
    if (name == "content-type") page.ContentType = value;
    else if (name == "content-length") {
      if (value.empty() || value.size() > 18 || value.find_first_not_of("0123456789") != std::string::npos)
        throw EWebViewError("The answer from " + where + " has an invalid Content-Length");
      contentLength = std::stoll(value);
    }
  }
  page.Body = data.substr(bodyStart);
  if (contentLength >= 0) {
    if (static_cast<unsigned long long>(contentLength) > page.Body.size())
      throw EWebViewError("The page from " + where + " was cut short");
    page.Body.resize(std::size_t(contentLength));
  }
  if (page.Body.size() > MaxBytes) throw EWebViewError("The page from " + where + " is too large");
  if (page.Status >= 300 && page.Status < 400)
    throw EWebViewError("The local service redirected the request (" + std::to_string(page.Status) +
                        "); redirects are not followed");
  if (page.Status < 200 || page.Status >= 300)
    throw EWebViewError("The local service answered " + std::to_string(page.Status) +
                        (page.Reason.empty() ? AnsiString() : " " + page.Reason));
  return page;
}

// ---------------------------------------------------------------------------
// page text

AnsiString CharsetOf(const AnsiString& ContentType, const std::string& Html) {
  std::string low = Lower(ContentType);
  std::size_t c = low.find("charset=");
  if (c != std::string::npos) {
    std::string v = TrimWs(low.substr(c + 8));
    std::size_t e = v.find(';');
    if (e != std::string::npos) v = TrimWs(v.substr(0, e));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'')) v = v.substr(1, v.size() - 2);
    if (!v.empty()) return v;
  }
  return MetaCharset(Html);
}

AnsiString HtmlToText(const std::string& Html, const AnsiString& Charset) {
  std::string s = BodyToUtf8(Html, Charset.empty() ? MetaCharset(Html) : Charset);
  std::string out;
  std::size_t i = 0, n = s.size();
  while (i < n) {
    char c = s[i];
    if (c == '<') {
      if (s.compare(i, 4, "<!--") == 0) {
        std::size_t e = s.find("-->", i + 4);
        i = e == std::string::npos ? n : e + 3;
        continue;
      }
      bool closing = false;
      std::string tag = TagName(s, i, closing);
      if (tag.empty() && !closing && !(i + 1 < n && (s[i + 1] == '!' || s[i + 1] == '?'))) {
        out += c;  // a lone '<' in text
        ++i;
        continue;
      }
      std::size_t e = s.find('>', i);
      if (e == std::string::npos) break;  // a tag cut off at the end
      i = e + 1;
      if (!closing && IsSkippedTag(tag) && s[e - 1] != '/') {
        std::string close = "</" + tag;
        std::size_t at = i;
        for (;;) {
          at = s.find("</", at);
          if (at == std::string::npos) break;
          if (Lower(s.substr(at, close.size())) == close) break;
          at += 2;
        }
        if (at == std::string::npos) {
          i = n;
        } else {
          std::size_t ce = s.find('>', at);
          i = ce == std::string::npos ? n : ce + 1;
        }
        continue;
      }
      if (IsBlockTag(tag)) out += '\n';
      else if (tag == "td" || tag == "th") out += ' ';
      continue;
    }
    if (c == '&' && DecodeEntity(s, i, out)) continue;
    out += c;
    ++i;
  }
  return Utf8ToAnsi(Tidy(out));
}

// ---------------------------------------------------------------------------
// TWebView

TWebView::TWebView(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 320, 240);
  SetTabStop(true);
}

void TWebView::CreateParams(TCreateParams& Params) {
  RegisterStandardWindowClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.WinClassName = "PvWebView";
  Params.Style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TWebView::ShowText(const AnsiString& Text) {
  FPage = Text;
  SetText(Text);
}

void TWebView::Navigate(const AnsiString& Url) {
  FUrl = Url;
  try {
    THttpPage page = HttpGetLocal(Url, FTimeout);
    AnsiString charset = CharsetOf(page.ContentType, page.Body);
    std::string type = Lower(page.ContentType);
    AnsiString text;
    if (type.find("text/plain") != std::string::npos) {
      std::string body = BodyToUtf8(page.Body, charset);
      std::string crlf;
      for (char c : body) {
        if (c == '\r') continue;
        if (c == '\n') crlf += '\r';
        crlf += c;
      }
      text = Utf8ToAnsi(crlf);
    } else {
      text = HtmlToText(page.Body, charset);
    }
    FError.clear();
    ShowText(text);
  } catch (const EWebViewError& e) {
    FError = e.Message;
    ShowText(Utf8ToAnsi("无法打开此页：") + "\r\n" + e.Message);
  }
  if (OnDocumentComplete) OnDocumentComplete(this);
}
