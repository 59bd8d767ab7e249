// The local web view: which addresses it accepts, the HTTP exchange with a
// server in this process, and the page text it shows.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>
#include "platform/backend/headless/headless.h"
#include "platform/classes/filer.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdwnd.h"
#include "platform/controls/webview.h"
#include "platform/rtl/strings.h"

namespace {

AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }

// A one-shot HTTP server on 127.0.0.1 with an ephemeral port. It answers each
// connection with the next canned response (an empty one: it never answers and
// waits for the client to give up), records the requests, and stops by itself
// after the last response or a bounded wait.
class LocalServer {
 public:
  explicit LocalServer(std::vector<std::string> responses) : responses_(std::move(responses)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd_, 4);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalServer() {
    if (thread_.joinable()) thread_.join();
    ::close(fd_);
  }
  int Port() const { return port_; }
  std::string Url(const std::string& path = "/") const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  // Valid once the server stopped (after the object's last use by the client).
  const std::vector<std::string>& Requests() {
    if (thread_.joinable()) thread_.join();
    return requests_;
  }

 private:
  void Serve() {
    for (const std::string& response : responses_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) return;
      int c = ::accept(fd_, nullptr, nullptr);
      if (c < 0) return;
      std::string req;
      char buf[1024];
      while (req.find("\r\n\r\n") == std::string::npos && req.size() < 65536) {
        pollfd q{c, POLLIN, 0};
        if (::poll(&q, 1, 10000) <= 0) break;
        ssize_t n = ::recv(c, buf, sizeof buf, 0);
        if (n <= 0) break;
        req.append(buf, std::size_t(n));
      }
      requests_.push_back(req);
      if (response.empty()) {
        // Holds the connection until the client closes it.
        pollfd q{c, POLLIN, 0};
        while (::poll(&q, 1, 10000) > 0 && ::recv(c, buf, sizeof buf, 0) > 0) {
        }
      } else {
        ::send(c, response.data(), response.size(), MSG_NOSIGNAL);
      }
      ::close(c);
    }
  }
  std::vector<std::string> responses_;
  std::vector<std::string> requests_;
  int fd_ = -1;
  int port_ = 0;
  std::thread thread_;
};

std::string Ok(const std::string& type, const std::string& body) {
  return "HTTP/1.0 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

TEST(WebViewUrl, AcceptsOnlyHttpOnThisComputer) {
  struct Case {
    const char* url;
    bool ok;
    const char* host;
    int port;
    const char* path;
  } cases[] = {
      {"http://127.0.0.1:7887/search?word=a", true, "127.0.0.1", 7887, "/search?word=a"},
      {"HTTP://LocalHost:80", true, "localhost", 80, "/"},
      {"http://localhost/x#frag", true, "localhost", 80, "/x"},
      {"http://127.0.0.1:8080?q=1", true, "127.0.0.1", 8080, "/?q=1"},
      {"https://127.0.0.1:7887/", false, "", 0, ""},
      {"ftp://127.0.0.1/", false, "", 0, ""},
      {"http://example.com/", false, "", 0, ""},
      {"http://127.0.0.2/", false, "", 0, ""},
      {"http://127.0.0.1.example.com/", false, "", 0, ""},
      {"http://127.0.0.1@example.com/", false, "", 0, ""},
      {"http://evil@127.0.0.1/", false, "", 0, ""},
      {"http://127.0.0.1:0/", false, "", 0, ""},
      {"http://127.0.0.1:65536/", false, "", 0, ""},
      {"http://127.0.0.1:12ab/", false, "", 0, ""},
      {"http://127.0.0.1:/", false, "", 0, ""},
      {"http://127.0.0.1/a\r\nHost: x", false, "", 0, ""},
      {"file:///etc/passwd", false, "", 0, ""},
      {"", false, "", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    if (c.ok) {
      TLocalUrl u = ParseLocalUrl(c.url);
      EXPECT_EQ(u.Host, c.host);
      EXPECT_EQ(u.Port, c.port);
      EXPECT_EQ(u.Path, c.path);
    } else {
      EXPECT_THROW(ParseLocalUrl(c.url), EWebViewError);
    }
  }
}

TEST(WebViewUrl, EscapesTextAsUtf8) {
  EXPECT_EQ(UrlEncodeUtf8(A("林远 a&b=c/d")), "%E6%9E%97%E8%BF%9C%20a%26b%3Dc%2Fd");
  EXPECT_EQ(UrlEncodeUtf8("Az09-_.~"), "Az09-_.~");
  EXPECT_EQ(SearchUrl(A("青石")), "http://127.0.0.1:7887/search?word=%E9%9D%92%E7%9F%B3");
  // CP936 text typed straight into an address is sent as UTF-8 escapes.
  EXPECT_EQ(ParseLocalUrl("http://localhost:1/s?w=" + A("镇") + " x").Path, "/s?w=%E9%95%87%20x");
}

TEST(WebViewText, StripsTagsAndDecodesEntities) {
  struct Case {
    const char* html;
    const char* text;  // UTF-8; lines joined by CR LF
  } cases[] = {
      {"<p>a <b>bold</b>   word</p><p>next</p>", "a bold word\r\nnext"},
      {"x<br>y<br/>z", "x\r\ny\r\nz"},
      {"<head><title>T</title><style>p{}</style></head><body>body</body>", "body"},
      {"a<script>if (a<b) x='</p>';</script>b", "ab"},
      {"<!-- <p>hidden</p> -->shown", "shown"},
      {"&lt;tag&gt; &amp;amp; &quot;q&quot; &#26519;&#x8FDC; &nbsp;x", "<tag> &amp; \"q\" 林远 x"},
      {"&unknown; &#xZZ; & alone; 1 < 2", "&unknown; &#xZZ; & alone; 1 < 2"},
      {"&#0;&#1114112;", "??"},
      {"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", "a b\r\nc"},
      {"<p>one</p>\n\n\n<p></p><div>\n</div><p>two</p>", "one\r\ntwo"},
      {"text then <a href='x'", "text then"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.html);
    EXPECT_EQ(HtmlToText(c.html, "utf-8"), A(c.text));
  }
}

TEST(WebViewText, ReadsThePagesCharset) {
  std::string utf8 = "<p>青石镇</p>";
  std::string gbk = Utf8ToAnsi(utf8);
  EXPECT_EQ(HtmlToText(utf8, "UTF-8"), A("青石镇"));
  EXPECT_EQ(HtmlToText(gbk, "gb2312"), A("青石镇"));
  EXPECT_EQ(HtmlToText("<meta charset=\"gbk\">" + gbk, ""), A("青石镇"));
  EXPECT_EQ(HtmlToText(gbk, ""), A("青石镇"));   // not UTF-8: read as CP936
  EXPECT_EQ(HtmlToText(utf8, ""), A("青石镇"));  // valid UTF-8
  EXPECT_EQ(HtmlToText("caf\xE9", "iso-8859-1"), A("café"));
  EXPECT_THROW(HtmlToText("x", "koi8-r"), EWebViewError);

  EXPECT_EQ(CharsetOf("text/html; charset=\"GBK\"", ""), "gbk");
  EXPECT_EQ(CharsetOf("text/html", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"),
            "gb2312");
  EXPECT_EQ(CharsetOf("text/html", "<p>none</p>"), "");
}

TEST(WebViewHttp, SendsAPlainGetAndReadsThePage) {
  LocalServer server({Ok("text/html; charset=utf-8", "<h1>结果</h1><p>林远 &amp; 苏晴</p>")});
  THttpPage page = HttpGetLocal(server.Url("/search?word=%E6%9E%97"), 5000);
  EXPECT_EQ(page.Status, 200);
  EXPECT_EQ(HtmlToText(page.Body, CharsetOf(page.ContentType, page.Body)), A("结果\r\n林远 & 苏晴"));
  ASSERT_EQ(server.Requests().size(), 1u);
  const std::string& req = server.Requests()[0];
  EXPECT_EQ(req.substr(0, req.find("\r\n")), "GET /search?word=%E6%9E%97 HTTP/1.0");
  EXPECT_NE(req.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos);
}

TEST(WebViewHttp, BadAnswersAreClearErrors) {
  struct Case {
    const char* name;
    std::string response;
    const char* message;  // a piece of the error's message
  } cases[] = {
      {"not found", "HTTP/1.0 404 Not Found\r\n\r\nnope", "404 Not Found"},
      {"redirect", "HTTP/1.0 302 Found\r\nLocation: http://example.com/\r\n\r\n", "redirects are not followed"},
      {"not http", "hello there\r\n\r\n", "not an HTTP response"},
      {"no header end", "HTTP/1.0 200 OK\r\nContent-Type: text/html", "not an HTTP response"},
      {"bad status", "HTTP/1.0 2x0 OK\r\n\r\n", "malformed status line"},
      {"cut short", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort", "cut short"},
      {"bad length", "HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nx", "invalid Content-Length"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LocalServer server({c.response});
    try {
      HttpGetLocal(server.Url(), 5000);
      ADD_FAILURE() << "no error";
    } catch (const EWebViewError& e) {
      EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
    }
  }
}

TEST(WebViewHttp, LimitsPageSize) {
  LocalServer server({Ok("text/plain", std::string(5000, 'x'))});
  EXPECT_THROW(HttpGetLocal(server.Url(), 5000, 1000), EWebViewError);
}

TEST(WebViewHttp, SilentServerTimesOut) {
  // The server accepts and never answers; the fetch gives up after its time-out.
  LocalServer server({""});
  try {
    HttpGetLocal(server.Url(), 200);
    ADD_FAILURE() << "no error";
  } catch (const EWebViewError& e) {
    EXPECT_NE(e.Message.find("did not answer in time"), std::string::npos) << e.Message;
  }
}

TEST(WebViewHttp, ClosedPortIsAnError) {
  int port;
  {
    // A port that was just free and is closed again.
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    ::close(fd);
  }
  EXPECT_THROW(HttpGetLocal("http://127.0.0.1:" + std::to_string(port) + "/", 2000), EWebViewError);
}

class WebViewControl : public ::testing::Test {
 protected:
  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    RegisterStandardWindowClasses();
    InitForms();
    form = new TForm(Application, 0);
    form->SetBounds(10, 10, 400, 300);
    view = new TWebView(form);
    view->SetParent(form);
    view->SetBounds(8, 8, 360, 240);
    form->Show();
    PvProcessMessages();
  }
  void TearDown() override {
    DoneForms();
    PvResetWindowManager();
    hb->Reset();
  }
  // The text of the edit window that shows the page.
  AnsiString WindowText() {
    char buf[4096] = {};
    GetWindowTextA(view->Handle(), buf, sizeof buf);
    return buf;
  }
  HeadlessBackend* hb = nullptr;
  TForm* form = nullptr;
  TWebView* view = nullptr;
};

TEST_F(WebViewControl, ShowsThePageReadOnly) {
  LocalServer server({Ok("text/html; charset=gbk", Utf8ToAnsi("<p>青石镇</p><p>第二段</p>"))});
  int completed = 0;
  struct Counter {
    int* n;
    void Done(TObject*) { ++*n; }
  } counter{&completed};
  view->OnDocumentComplete = TNotifyEvent(&counter, &Counter::Done);
  view->Navigate(server.Url("/page"));
  EXPECT_EQ(view->LastError(), "");
  EXPECT_EQ(view->PageText(), A("青石镇\r\n第二段"));
  EXPECT_EQ(WindowText(), A("青石镇\r\n第二段"));
  EXPECT_EQ(view->LocationURL(), server.Url("/page"));
  EXPECT_EQ(completed, 1);
  EXPECT_TRUE(GetWindowLongA(view->Handle(), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongA(view->Handle(), GWL_STYLE) & ES_MULTILINE);
}

TEST_F(WebViewControl, RefusedAddressShowsAMessageAndRaisesNothing) {
  view->Navigate("http://example.com/search?word=x");
  EXPECT_NE(view->LastError().find("127.0.0.1 or localhost"), std::string::npos);
  EXPECT_NE(WindowText().find(view->LastError()), std::string::npos);
}

TEST_F(WebViewControl, PlainTextPagesKeepTheirLines) {
  LocalServer server({Ok("text/plain; charset=utf-8", "a <b>\n  c")});
  view->Navigate(server.Url());
  EXPECT_EQ(view->PageText(), "a <b>\r\n  c");
}

}  // namespace

namespace {

TEST_F(WebViewControl, ReadsFromAWindowDescription) {
  InitControlsProps();
  InitExtCtrlsProps();
  const AnsiString text =
      "object Holder: TForm\n  object Search: TWebView\n    Left = 2\n    Top = 3\n    Width = 120\n"
      "    Height = 90\n    Align = alClient\n  end\nend\n";
  auto* holder = new TForm(Application, 0);
  ReadComponentFromText(text, holder);
  auto* read = dynamic_cast<TWebView*>(holder->FindComponent("Search"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Align(), alClient);
  EXPECT_NE(WriteComponentToText(holder).find("object Search: TWebView"), AnsiString::npos);
}

}  // namespace
