#include "PhoneResponse.h"

namespace qv::phone {

std::string_view ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 303: return "See Other";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 421: return "Misdirected Request";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
  }
}

std::string Serialize(const Response& r) {
  std::string out;
  out.reserve(512 + (r.headOnly ? 0 : r.body.size()));
  out += "HTTP/1.1 ";
  out += std::to_string(r.status);
  out += ' ';
  out += ReasonPhrase(r.status);
  out += "\r\n";
  const auto header = [&out](std::string_view name, std::string_view value) {
    out += name;
    out += ": ";
    out += value;
    out += "\r\n";
  };
  if (!r.contentType.empty()) header("Content-Type", r.contentType);
  if (!r.stream) header("Content-Length", std::to_string(r.body.size()));
  header("Cache-Control", "no-store");
  header("X-Content-Type-Options", "nosniff");
  header("Content-Security-Policy", kContentSecurityPolicy);
  header("X-Frame-Options", "DENY");
  header("Referrer-Policy", "no-referrer");
  header("Cross-Origin-Resource-Policy", "same-origin");
  header("Connection", "close");
  for (const auto& [name, value] : r.headers) header(name, value);
  out += "\r\n";
  if (!r.headOnly && !r.stream) out += r.body;
  return out;
}

}  // namespace qv::phone
