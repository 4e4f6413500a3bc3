// Files of the site: found inside the folder whatever the path says, typed by their
// extension, and sent with the page's Content-Security-Policy.
#include "server/static_site.h"

#include <fstream>
#include <map>
#include <sstream>

namespace tilerush::board {
namespace {

// The policy of the page's <meta>, with what only a header can say; a worker takes
// its policy from its own response, so every file carries it.
constexpr const char* kPolicy =
    "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self' blob:; "
    "object-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

const std::map<std::string, std::string>& types() {
  static const std::map<std::string, std::string> kTypes = {
      {".html", "text/html; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".mjs", "text/javascript; charset=utf-8"},
      {".wasm", "application/wasm"},
      {".woff", "font/woff"},
      {".woff2", "font/woff2"},
      {".svg", "image/svg+xml"},
      {".png", "image/png"},
      {".webmanifest", "application/manifest+json"},
      {".json", "application/json"},
      {".txt", "text/plain; charset=utf-8"},
  };
  return kTypes;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

Response plain(http::status status, const std::string& text) {
  Response answer{status, 11};
  answer.set(http::field::content_type, "text/plain; charset=utf-8");
  answer.set("X-Content-Type-Options", "nosniff");
  answer.body() = text + "\n";
  answer.prepare_payload();
  return answer;
}

}  // namespace

std::optional<std::string> decodedPath(std::string_view target) {
  target = target.substr(0, target.find('?'));
  std::string path;
  for (std::size_t i = 0; i < target.size(); ++i) {
    if (target[i] != '%') {
      path.push_back(target[i]);
      continue;
    }
    if (i + 2 >= target.size()) return std::nullopt;
    const int high = hexDigit(target[i + 1]), low = hexDigit(target[i + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
    path.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return path;
}

StaticSite::StaticSite(const std::filesystem::path& folder) : top_(std::filesystem::canonical(folder)) {}

// Inside the folder after every "..", "." and symbolic link is resolved, or nothing.
std::optional<std::filesystem::path> StaticSite::fileOf(std::string_view path) const {
  if (path.empty() || path.front() != '/' || path.find('\0') != std::string_view::npos) return std::nullopt;
  std::filesystem::path file = top_ / std::filesystem::path(path.substr(1)).relative_path();
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) file /= "index.html";
  file = std::filesystem::weakly_canonical(file, error);
  if (error) return std::nullopt;
  const auto [topEnd, fileAt] = std::mismatch(top_.begin(), top_.end(), file.begin(), file.end());
  if (topEnd != top_.end() || fileAt == file.end()) return std::nullopt;
  return file;
}

Response StaticSite::answer(const Request& request) const {
  if (request.method() != http::verb::get && request.method() != http::verb::head) {
    Response answer = plain(http::status::method_not_allowed, "method not allowed");
    answer.set(http::field::allow, "GET, HEAD");
    return answer;
  }
  std::optional<std::string> path = decodedPath(view(request.target()));
  if (!path) return plain(http::status::bad_request, "bad request");
  if (path->back() == '/') *path += "index.html";
  const std::optional<std::filesystem::path> file = fileOf(*path);
  if (!file) return plain(http::status::forbidden, "forbidden");
  std::ifstream in(*file, std::ios::binary);
  std::error_code error;
  if (!in || !std::filesystem::is_regular_file(*file, error))
    return plain(http::status::not_found, "not found");
  std::ostringstream body;
  body << in.rdbuf();
  Response answer{http::status::ok, 11};
  const auto type = types().find(file->extension().string());
  answer.set(http::field::content_type, type == types().end() ? "application/octet-stream" : type->second);
  answer.set(http::field::cache_control, "no-cache");
  answer.set("Content-Security-Policy", kPolicy);
  answer.set("X-Content-Type-Options", "nosniff");
  answer.body() = std::move(body).str();
  answer.prepare_payload();
  if (request.method() == http::verb::head) answer.body().clear();
  return answer;
}

}  // namespace tilerush::board
