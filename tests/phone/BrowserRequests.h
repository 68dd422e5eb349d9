#pragma once
// Requests as phones' browsers send them to the phone view (Chromium on
// Android, Firefox on Android), for the parser's and the access rules' tests.
#include <string>

namespace qvtest {

inline constexpr char kToken[] = "00112233445566778899aabbccddeeff";    // pairs the next phone
inline constexpr char kSession[] = "ffeeddccbbaa99887766554433221100";  // a paired phone's cookie
inline constexpr char kOtherPhone[] = "0f1e2d3c4b5a69788796a5b4c3d2e1f0";

inline std::string ChromiumPage(const std::string& host, const std::string& target) {
  return "GET " + target +
         " HTTP/1.1\r\n"
         "Host: " +
         host +
         "\r\n"
         "Connection: keep-alive\r\n"
         "Upgrade-Insecure-Requests: 1\r\n"
         "User-Agent: Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) "
         "Chrome/120.0.0.0 Mobile Safari/537.36\r\n"
         "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,image/webp,image/apng,*/*;"
         "q=0.8,application/signed-exchange;v=b3;q=0.7\r\n"
         "Accept-Encoding: gzip, deflate\r\n"
         "Accept-Language: de-DE,de;q=0.9,en-US;q=0.8,en;q=0.7\r\n"
         "\r\n";
}

inline std::string ChromiumEvents(const std::string& host, const std::string& cookie) {
  return "GET /events HTTP/1.1\r\n"
         "Host: " +
         host +
         "\r\n"
         "Connection: keep-alive\r\n"
         "Accept: text/event-stream\r\n"
         "Cache-Control: no-cache\r\n"
         "User-Agent: Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) "
         "Chrome/120.0.0.0 Mobile Safari/537.36\r\n"
         "Accept-Encoding: gzip, deflate\r\n"
         "Accept-Language: de-DE,de;q=0.9,en-US;q=0.8,en;q=0.7\r\n"
         "Cookie: " +
         cookie + "\r\n\r\n";
}

inline std::string FirefoxScript(const std::string& host, const std::string& cookie) {
  return "GET /app.js HTTP/1.1\r\n"
         "Host: " +
         host +
         "\r\n"
         "User-Agent: Mozilla/5.0 (Android 14; Mobile; rv:121.0) Gecko/121.0 Firefox/121.0\r\n"
         "Accept: */*\r\n"
         "Accept-Language: en-US,en;q=0.5\r\n"
         "Accept-Encoding: gzip, deflate\r\n"
         "Connection: keep-alive\r\n"
         "Cookie: " +
         cookie +
         "\r\n"
         "Sec-Fetch-Dest: script\r\n"
         "Sec-Fetch-Mode: no-cors\r\n"
         "Sec-Fetch-Site: same-origin\r\n"
         "\r\n";
}

}  // namespace qvtest
