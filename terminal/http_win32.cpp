// The service check's GET through WinHTTP. winhttp.dll is not one of the
// DLLs Windows always takes from its own folder, so it is not imported at
// load time, when the program's folder would be searched first: it is
// loaded from the system folder here and its calls are looked up by name.
#include <windows.h>
// winhttp.h needs windows.h first.
#include <winhttp.h>

#include "host.h"
#include "http.h"
#include "unique_handle.h"
#include "version.h"

namespace {

// Through void (*)(), which converts to any function type without a warning.
template <typename function>
function look_up(HMODULE module, const char* name) {
  return reinterpret_cast<function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct winhttp_calls {
  explicit winhttp_calls(HMODULE module)
      : open(look_up<decltype(&WinHttpOpen)>(module, "WinHttpOpen")),
        connect(look_up<decltype(&WinHttpConnect)>(module, "WinHttpConnect")),
        open_request(look_up<decltype(&WinHttpOpenRequest)>(module, "WinHttpOpenRequest")),
        set_option(look_up<decltype(&WinHttpSetOption)>(module, "WinHttpSetOption")),
        set_timeouts(look_up<decltype(&WinHttpSetTimeouts)>(module, "WinHttpSetTimeouts")),
        send_request(look_up<decltype(&WinHttpSendRequest)>(module, "WinHttpSendRequest")),
        receive_response(
            look_up<decltype(&WinHttpReceiveResponse)>(module, "WinHttpReceiveResponse")),
        query_headers(look_up<decltype(&WinHttpQueryHeaders)>(module, "WinHttpQueryHeaders")),
        close_handle(look_up<decltype(&WinHttpCloseHandle)>(module, "WinHttpCloseHandle")) {}
  bool complete() const {
    return open && connect && open_request && set_option && set_timeouts && send_request &&
           receive_response && query_headers && close_handle;
  }
  decltype(&WinHttpOpen) open;
  decltype(&WinHttpConnect) connect;
  decltype(&WinHttpOpenRequest) open_request;
  decltype(&WinHttpSetOption) set_option;
  decltype(&WinHttpSetTimeouts) set_timeouts;
  decltype(&WinHttpSendRequest) send_request;
  decltype(&WinHttpReceiveResponse) receive_response;
  decltype(&WinHttpQueryHeaders) query_headers;
  decltype(&WinHttpCloseHandle) close_handle;
};

// A session, connection or request, closed through the loaded DLL.
class internet_handle {
 public:
  internet_handle(HINTERNET handle, const winhttp_calls& calls) : handle_(handle), calls_(calls) {}
  ~internet_handle() {
    if (handle_) calls_.close_handle(handle_);
  }
  internet_handle(const internet_handle&) = delete;
  internet_handle& operator=(const internet_handle&) = delete;
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
  const winhttp_calls& calls_;
};

web_reply failed_with_last_error() {
  web_reply reply;
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      reply.failure = web_failure::name_not_found;
      break;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      reply.failure = web_failure::refused;
      break;
    case ERROR_WINHTTP_TIMEOUT:
      reply.failure = web_failure::timeout;
      break;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      reply.failure = web_failure::secure_channel;
      break;
    default:
      reply.failure = web_failure::other;
      reply.reason = system_message(static_cast<int>(error));
  }
  return reply;
}

}  // namespace

// Every step (name, connection, sending, the answer) gets the whole time.
web_reply get_with_key(const web_address& address, const wide& key, unsigned milliseconds) {
  const unique_module module(LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  if (!module) return failed_with_last_error();
  const winhttp_calls calls(module.get());
  if (!calls.complete()) return failed_with_last_error();

  const wide agent = u"morvanectl/" + from_utf8(MORVANE_VERSION_TEXT);
  const internet_handle session(calls.open(win(agent), WINHTTP_ACCESS_TYPE_NO_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0),
                                calls);
  if (!session) return failed_with_last_error();
  const int time = static_cast<int>(milliseconds);
  calls.set_timeouts(session.get(), time, time, time, time);
  const internet_handle connection(calls.connect(session.get(), win(from_utf8(address.host)),
                                                 static_cast<INTERNET_PORT>(address.port), 0),
                                   calls);
  if (!connection) return failed_with_last_error();
  const internet_handle request(
      calls.open_request(connection.get(), L"GET", win(from_utf8(address.path)), nullptr,
                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                         address.secure ? WINHTTP_FLAG_SECURE : 0),
      calls);
  if (!request) return failed_with_last_error();
  DWORD no_redirects = WINHTTP_DISABLE_REDIRECTS;
  calls.set_option(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &no_redirects,
                   sizeof no_redirects);

  const wide authorization = u"Authorization: Bearer " + key;
  if (!calls.send_request(request.get(), win(authorization), static_cast<DWORD>(-1),
                          WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !calls.receive_response(request.get(), nullptr))
    return failed_with_last_error();
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!calls.query_headers(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
    return failed_with_last_error();
  web_reply reply;
  reply.status = static_cast<int>(status);
  return reply;
}
