#include "net/http_message.h"

namespace net {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads one character at the cursor when it is what the caller expects.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool Skip(std::string_view literal) {
    if (text_.substr(position_, literal.size()) != literal) return false;
    position_ += literal.size();
    return true;
  }
  // Exactly count decimal digits.
  std::optional<int> Digits(size_t count) {
    int value = 0;
    for (size_t i = 0; i < count; ++i) {
      if (position_ >= text_.size() || !IsDigit(text_[position_])) return std::nullopt;
      value = value * 10 + (text_[position_++] - '0');
    }
    return value;
  }
  bool AtLineEnd() const {
    return position_ == text_.size() || text_[position_] == '\r' || text_[position_] == '\n';
  }
  std::string_view RestOfLine() {
    const size_t end = text_.find_first_of("\r\n", position_);
    std::string_view line = text_.substr(position_, end == std::string_view::npos ? std::string_view::npos : end - position_);
    position_ += line.size();
    return line;
  }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

}  // namespace

std::string BuildGetRequest(const Url& url) {
  std::string request = "GET ";
  request += url.target;
  request += " HTTP/1.1\r\nHost: ";
  request += url.host;
  if (url.port != DefaultPort(url.scheme)) {
    request += ':';
    request += std::to_string(url.port);
  }
  request +=
      "\r\n"
      "Connection: close\r\n"
      "User-Agent: Orvanta Setup\r\n"
      "\r\n";
  return request;
}

std::optional<StatusLine> ParseStatusLine(std::string_view answer) {
  Cursor cursor(answer);
  StatusLine status;
  if (!cursor.Skip("HTTP/")) return std::nullopt;
  const std::optional<int> major = cursor.Digits(1);
  if (!major || !cursor.Skip(".")) return std::nullopt;
  const std::optional<int> minor = cursor.Digits(1);
  if (!minor || !cursor.Skip(" ")) return std::nullopt;
  const std::optional<int> code = cursor.Digits(3);
  if (!code || *code < 100) return std::nullopt;
  if (!cursor.AtLineEnd()) {
    if (!cursor.Skip(" ")) return std::nullopt;
    status.reason = std::string(cursor.RestOfLine());
  }
  status.major = *major;
  status.minor = *minor;
  status.code = *code;
  return status;
}

}  // namespace net
