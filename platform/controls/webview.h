// The web view of the story window's search pane. It does not embed a browser:
// it fetches one page from a service on this machine (http://127.0.0.1:port/...
// or http://localhost:port/...) with a plain HTTP/1.0 GET and a short time-out,
// and shows the page's text, tags stripped and entities decoded, converted to
// CP936, in a read-only multi-line edit window. Every other address is refused.
#pragma once
#include "platform/controls/controls.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

PV_DECLARE_EXCEPTION(EWebViewError, Exception)

// The pieces of an address the view accepts. ParseLocalUrl raises
// EWebViewError for anything but http to 127.0.0.1 or localhost.
struct TLocalUrl {
  AnsiString Host;  // "127.0.0.1" or "localhost"
  int Port = 80;
  AnsiString Path;  // starts with '/': path and query
};
TLocalUrl ParseLocalUrl(const AnsiString& Url);

// Percent-encodes CP936 text as UTF-8 for a query value (unreserved
// characters stay, everything else becomes %XX).
AnsiString UrlEncodeUtf8(const AnsiString& Text);
// The address of the local search service for a word.
AnsiString SearchUrl(const AnsiString& Word, int Port = 7887);

// A fetched page: status, the charset named by the headers or the page, body bytes.
struct THttpPage {
  int Status = 0;
  AnsiString Reason;
  AnsiString ContentType;
  std::string Body;
};
// GET over HTTP/1.0 on 127.0.0.1; raises EWebViewError on a refused address,
// a connection failure, a time-out, a malformed response or a non-2xx status.
// Bodies above MaxBytes are refused.
THttpPage HttpGetLocal(const AnsiString& Url, int TimeoutMs, std::size_t MaxBytes = 4 << 20);

// The text of an HTML page in CP936: script and style contents dropped, tags
// removed, block tags ending lines, runs of blanks collapsed, entities
// decoded. The body is read in Charset (from the headers or a meta tag; UTF-8
// or CP936 when neither names one). Raises EWebViewError for a charset it
// cannot read.
AnsiString HtmlToText(const std::string& Html, const AnsiString& Charset = "");
// The charset named by a Content-Type value or the page's meta tags ("" when none).
AnsiString CharsetOf(const AnsiString& ContentType, const std::string& Html);

class TWebView : public TWinControl {
  PV_CLASS(TWebView, TWinControl)
 public:
  explicit TWebView(TComponent* AOwner);

  // Fetches and shows the page. A refused address or a failed fetch shows a
  // message in place of the page and leaves it in LastError; nothing is raised.
  void Navigate(const AnsiString& Url);
  AnsiString LocationURL() const { return FUrl; }
  // The shown text (CP936, lines separated by CR LF).
  AnsiString PageText() const { return FPage; }
  // "" after a successful fetch.
  AnsiString LastError() const { return FError; }
  int Timeout() const { return FTimeout; }
  void SetTimeout(int Ms) { FTimeout = Ms > 0 ? Ms : 1; }
  TNotifyEvent OnDocumentComplete;

  void CreateParams(TCreateParams& Params) override;

 private:
  void ShowText(const AnsiString& Text);
  AnsiString FUrl, FPage, FError;
  int FTimeout = 3000;
};
