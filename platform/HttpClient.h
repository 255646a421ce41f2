// A small HTTP/1.1 client over Winsock: GET to a string or a stream and form
// POST of name=value lines, each object with its own cookie store. One request
// per connection ("Connection: close"); bodies framed by Content-Length, by
// chunked transfer coding or by the end of the connection.
#pragma once

#include "platform/Event.h"
#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Stream.h"
#include "platform/StringList.h"
#include "platform/Text.h"

#include <cstdint>
#include <vector>

// Failures of the connection or of the reply's framing.
class EHttpError : public Exception { public: using Exception::Exception; };
// Nothing arrived within the read time-out.
class EHttpTimeout : public EHttpError { public: using EHttpError::EHttpError; };
// The service answered with a status of 400 or more; the message is the
// status line ("HTTP/1.1 404 Not Found").
class EHttpProtocolError : public EHttpError {
public:
  EHttpProtocolError(int code, std::string message, AnsiString body)
      : EHttpError(std::move(message)), FErrorCode(code), FBody(std::move(body)) {}
  int ErrorCode() const { return FErrorCode; }
  const AnsiString& Body() const { return FBody; }

private:
  int FErrorCode;
  AnsiString FBody;
};

// A wait for the connection's socket to become readable (or writable): false
// when `TimeoutMs` (0: for ever) passed first.
using TSocketWaitEvent = TEvent<bool(uintptr_t Socket, bool ForWrite, uint32_t TimeoutMs)>;

// One cookie as a service set it; only name and value travel back, and only
// to the host that set it (or the domain it named) under its path.
struct THttpCookie {
  AnsiString Name;
  AnsiString Value;
  AnsiString Domain;     // lower case: the host that set it, or the domain it named
  bool HostOnly = true;  // false: the domain's hosts get it too
  AnsiString Path;       // "/" when the service named none
};

class THttpClient : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  THttpClient();
  ~THttpClient() override;

  // The reply body as bytes.
  AnsiString Get(const AnsiString& url);
  void Get(const AnsiString& url, TStream& target);
  // Posts `params` (one "name=value" line each) as an
  // "application/x-www-form-urlencoded" form, encoded by EncodeForm. The
  // caller's list is left as it was, so a retry sends the same text.
  AnsiString Post(const AnsiString& url, const TStrings& params);
  // Closes the connection if one is open; the next request opens a new one.
  void Disconnect();

  // Percent-encoding of one form value: ASCII letters and digits stay, a space
  // becomes "+", every other byte "%XX" with uppercase hexadecimal digits.
  static AnsiString EncodeFormValue(const AnsiString& value);
  // The body of a form: each line's name unencoded, "=", its value encoded;
  // with two or more lines every pair is followed by "&" (the last one too).
  static AnsiString EncodeForm(const TStrings& params);
  // Where a reference (a redirect's Location) points from `base`, as a
  // browser resolves it: absolute, host-relative, path-relative or query
  // only, with "." and ".." segments removed; a fragment is dropped.
  static AnsiString ResolveUrl(const AnsiString& base, const AnsiString& reference);

  // Settings. A read time-out of 0 waits for ever.
  uint32_t ReadTimeout = 0;         // ms
  uint32_t ConnectTimeout = 20000;  // ms
  bool HandleRedirects = false;
  int RedirectMaximum = 15;
  bool AllowCookies = true;
  AnsiString Accept = "text/html, */*";
  AnsiString UserAgent = "Mozilla/3.0 (compatible; Mevra)";
  // Replies larger than this raise ("The reply is larger than N bytes")
  // instead of exhausting memory.
  int64_t MaxResponseSize = 64 * 1024 * 1024;  // bytes

  // When assigned, the client waits for its socket through this instead of
  // WaitSocket: tests let a time-out pass at once.
  TSocketWaitEvent OnSocketWait;
  // The system's wait on a socket.
  static bool WaitSocket(uintptr_t socket, bool forWrite, uint32_t timeoutMs);

  // The last reply.
  int ResponseCode() const { return FResponseCode; }
  const AnsiString& ResponseText() const { return FResponseText; }
  // Value of a header of the last reply (first of that name), "" when absent.
  AnsiString ResponseHeader(const AnsiString& name) const;
  // Where the last request ended up after redirects.
  const AnsiString& FinalUrl() const { return FFinalUrl; }
  const std::vector<THttpCookie>& Cookies() const { return FCookies; }
  void ClearCookies() { FCookies.clear(); }

private:
  struct TUrl {
    AnsiString Host;
    uint16_t Port = 80;
    AnsiString Path;
  };
  static TUrl ParseUrl(const AnsiString& url);
  AnsiString Execute(AnsiString url, const AnsiString* formBody);
  AnsiString RoundTrip(const TUrl& url, const AnsiString& method, const AnsiString* formBody);
  void Connect(const TUrl& url);
  void SendAll(const AnsiString& bytes);
  void ReadReply(const TUrl& url, bool headRequest, AnsiString& body);
  bool Wait(bool forWrite, uint32_t timeoutMs, uintptr_t socket);
  void StoreCookie(const AnsiString& header, const TUrl& url);
  AnsiString CookieHeader(const TUrl& url) const;

  // The buffered connection reader.
  bool Fill();
  AnsiString ReadLine();
  void ReadExact(size_t count, AnsiString& target);

  uintptr_t FSocket;
  AnsiString FBuffer;
  size_t FBufferPos = 0;
  int FResponseCode = 0;
  AnsiString FResponseText;
  std::vector<std::pair<AnsiString, AnsiString>> FResponseHeaders;
  AnsiString FFinalUrl;
  std::vector<THttpCookie> FCookies;
};
