#include "setup/record/uninstall_data_text.h"

#include <initializer_list>
#include <optional>
#include <utility>

namespace setup {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kSectionGap = "\r\n\r\n";
constexpr std::string_view kAssociationSeparator = "~!~";

enum class Section {
  kNone,
  kStrings,
  kAutoClose,
  kAssociations,
  kFirewall,
  kInf,
  kMsi,
  kRegistry,
  kRegistry2,
  kConditionalDelete
};

struct Header {
  std::string_view text;
  Section section;
};

constexpr Header kHeaders[] = {
    {"[Strings]", Section::kStrings},
    {"[AutoClose]", Section::kAutoClose},
    {"[Associations]", Section::kAssociations},
    {"[Firewall]", Section::kFirewall},
    {"[INF]", Section::kInf},
    {"[MSI]", Section::kMsi},
    {"[Registry]", Section::kRegistry},
    {"[Registry2]", Section::kRegistry2},
    {"[ConditionalDelete]", Section::kConditionalDelete},
};

std::optional<Section> HeaderSection(std::string_view line) {
  for (const Header& h : kHeaders)
    if (line == h.text) return h.section;
  return std::nullopt;
}

bool BeginsWithHeader(std::string_view line) {
  for (const Header& h : kHeaders)
    if (line.substr(0, h.text.size()) == h.text) return true;
  return false;
}

// A string's text ends before a raw line that begins like this.
bool EndsStringText(std::string_view rawLine) {
  return (!rawLine.empty() && rawLine[0] == '~') || BeginsWithHeader(rawLine);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// One line of a text: [begin, end) without its line end; next is where the
// following line begins. A line ends at CR, LF, CR LF or LF CR.
struct Line {
  size_t begin, end, next;
};

Line LineAt(std::string_view text, size_t pos) {
  Line line{pos, pos, pos};
  size_t end = pos;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  line.end = end;
  size_t next = end;
  if (next < text.size()) {
    const char first = text[next++];
    if (next < text.size() && (text[next] == '\r' || text[next] == '\n') && text[next] != first) ++next;
  }
  line.next = next;
  return line;
}

std::string_view LineText(std::string_view text, const Line& line) {
  return text.substr(line.begin, line.end - line.begin);
}

// Decimal digits only (blanks around allowed), at most `max`.
std::optional<uint32_t> ParseNumber(std::string_view s, uint32_t max) {
  s = Trim(s);
  if (s.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > max) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

std::optional<UninstallAssociation> ParseAssociation(std::string_view line) {
  const size_t first = line.find(kAssociationSeparator);
  if (first == std::string_view::npos) return std::nullopt;
  const std::string_view rest = line.substr(first + kAssociationSeparator.size());
  const size_t second = rest.find(kAssociationSeparator);
  if (second == std::string_view::npos) return std::nullopt;
  UninstallAssociation a{std::string(line.substr(0, first)), std::string(rest.substr(0, second)),
                         std::string(rest.substr(second + kAssociationSeparator.size()))};
  if (a.extension.empty() || a.fileType.empty() || a.verb.empty()) return std::nullopt;
  return a;
}

// A line of the path list or of a plain list section, as the reader will see
// it, or nothing when the reader could not take it back.
std::optional<std::string_view> CarriedLine(std::string_view line) {
  line = Trim(line);
  if (line.empty() || HasLineBreak(line) || HeaderSection(line)) return std::nullopt;
  return line;
}

void AppendLines(std::string& out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (const auto carried = CarriedLine(line)) {
      out.append(*carried);
      out.append(kCrLf);
    }
  }
}

void AppendSection(std::string& out, std::string_view header, std::string_view body) {
  if (body.empty()) return;
  out.append(kSectionGap);
  out.append(header);
  out.append(kCrLf);
  out.append(body);
}

// A string text with one space before each line that would end it early.
std::string StringTextForFile(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const Line line = LineAt(text, pos);
    if (EndsStringText(LineText(text, line))) out += ' ';
    out.append(text.substr(line.begin, line.next - line.begin));
    pos = line.next;
  }
  return out;
}

void AppendString(std::string& out, int number, std::string_view text) {
  out += '~';
  out += std::to_string(number);
  out.append(kCrLf);
  out.append(StringTextForFile(text));
  out.append(kCrLf);
}

bool FieldsCarried(std::initializer_list<std::string_view> fields) {
  for (std::string_view f : fields)
    if (HasLineBreak(f)) return false;
  return true;
}

}  // namespace

std::string QuoteCommaField(std::string_view field) {
  const bool quote = field.find_first_of(",\"\t\r\n;|") != std::string_view::npos ||
                     (!field.empty() && (field.front() == ' ' || field.front() == '\'' || field.back() == ' '));
  std::string out;
  out.reserve(field.size() + 2);
  if (quote) out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  if (quote) out += '"';
  return out;
}

namespace {

// Stops after maxFields + 1 fields: enough to tell a line with too many, and
// a line of commas alone cannot make it allocate one string per comma.
std::vector<std::string> SplitFields(std::string_view line, size_t maxFields) {
  std::vector<std::string> fields;
  size_t i = 0;
  while (fields.size() <= maxFields) {
    std::string field;
    if (i < line.size() && line[i] == '"') {
      ++i;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += line[i++];
      }
    }
    while (i < line.size() && line[i] != ',') field += line[i++];
    fields.push_back(std::move(field));
    if (i >= line.size()) break;
    ++i;  // the comma
  }
  return fields;
}

// The records of "[AutoClose]" and "[ConditionalDelete]" have four fields.
constexpr size_t kRecordFields = 4;

}  // namespace

std::vector<std::string> SplitCommaFields(std::string_view line) { return SplitFields(line, SIZE_MAX); }

std::string WriteUninstallDataText(const UninstallDataContent& content) {
  std::string out;
  AppendLines(out, content.paths);

  out.append(kSectionGap);
  out.append("[Strings]");
  out.append(kCrLf);
  for (int number : kUninstallerStringNumbers) {
    const auto found = content.strings.find(number);
    AppendString(out, number, found == content.strings.end() ? std::string_view() : found->second);
  }
  AppendString(out, kDialogCaptionStringNumber, content.dialogCaption);

  std::string body;
  for (const CloseRecord& r : content.closeList) {
    if (!FieldsCarried({r.classPattern, r.titlePattern, r.applicationName})) continue;
    body += QuoteCommaField(r.classPattern) + ',' + QuoteCommaField(r.titlePattern) + ',' +
            QuoteCommaField(r.applicationName) + ',' + std::to_string(r.action);
    body.append(kCrLf);
  }
  AppendSection(out, "[AutoClose]", body);

  body.clear();
  for (const UninstallAssociation& a : content.associations) {
    std::string line = a.extension;
    line.append(kAssociationSeparator).append(a.fileType).append(kAssociationSeparator).append(a.verb);
    if (HasLineBreak(line) || Trim(line).size() != line.size() || ParseAssociation(line) != a) continue;
    body.append(line).append(kCrLf);
  }
  AppendSection(out, "[Associations]", body);

  const std::pair<std::string_view, const std::vector<std::string>*> lists[] = {{"[Firewall]", &content.firewall},
                                                                                {"[INF]", &content.inf},
                                                                                {"[MSI]", &content.msi},
                                                                                {"[Registry]", &content.registry}};
  for (const auto& [header, lines] : lists) {
    body.clear();
    AppendLines(body, *lines);
    AppendSection(out, header, body);
  }

  body.clear();
  for (size_t pos = 0; pos < content.registry2.size();) {
    const Line line = LineAt(content.registry2, pos);
    if (const auto carried = CarriedLine(LineText(content.registry2, line))) body.append(*carried).append(kCrLf);
    pos = line.next;
  }
  AppendSection(out, "[Registry2]", body);

  body.clear();
  for (const DeleteRecord& d : content.deleteList) {
    if (!(d.flags & 0x08) || !FieldsCarried({d.fileSpecification, d.value})) continue;
    body += QuoteCommaField(d.fileSpecification) + ',' + std::to_string(d.condition) + ',' + QuoteCommaField(d.value) +
            ',' + std::to_string(d.flags);
    body.append(kCrLf);
  }
  AppendSection(out, "[ConditionalDelete]", body);
  return out;
}

UninstallDataReadResult ReadUninstallDataText(std::string_view text) {
  UninstallDataReadResult result;
  if (text.size() > kMaxUninstallDataTextSize) {
    result.error = UninstallDataReadError::kTooLarge;
    return result;
  }
  UninstallDataContent& c = result.content;
  size_t entries = 0;
  Section section = Section::kNone;
  size_t pos = 0;
  while (pos < text.size()) {
    const Line current = LineAt(text, pos);
    pos = current.next;
    const std::string_view line = Trim(LineText(text, current));
    if (const auto header = HeaderSection(line)) {
      section = *header;
      continue;
    }
    if (line.empty()) continue;
    if (section != Section::kStrings && ++entries > kMaxUninstallDataEntries) {
      result.content = {};
      result.error = UninstallDataReadError::kTooManyEntries;
      return result;
    }
    switch (section) {
      case Section::kNone:
        c.paths.emplace_back(line);
        break;
      case Section::kStrings: {
        if (line[0] != '~') break;
        // The text is the raw lines that follow, up to a line that begins a
        // new string or section; they are consumed here whatever the number.
        const size_t textBegin = pos;
        while (pos < text.size()) {
          const Line next = LineAt(text, pos);
          if (EndsStringText(LineText(text, next))) break;
          pos = next.next;
        }
        const auto number = ParseNumber(line.substr(1), 1000);
        if (!number || *number < 1) break;
        std::string value(TrimRight(text.substr(textBegin, pos - textBegin)));
        if (*number == static_cast<uint32_t>(kDialogCaptionStringNumber))
          c.dialogCaption = std::move(value);
        else
          c.strings[static_cast<int>(*number)] = std::move(value);
        break;
      }
      case Section::kAutoClose: {
        const std::vector<std::string> f = SplitFields(line, kRecordFields);
        if (f.size() != kRecordFields) break;
        const auto action = ParseNumber(f[3], UINT32_MAX);
        if (!action) break;
        c.closeList.push_back(CloseRecord{f[0], f[1], f[2], *action, 0});
        break;
      }
      case Section::kAssociations:
        if (auto a = ParseAssociation(line)) c.associations.push_back(std::move(*a));
        break;
      case Section::kFirewall:
        c.firewall.emplace_back(line);
        break;
      case Section::kInf:
        c.inf.emplace_back(line);
        break;
      case Section::kMsi:
        c.msi.emplace_back(line);
        break;
      case Section::kRegistry:
        c.registry.emplace_back(line);
        break;
      case Section::kRegistry2:
        c.registry2.append(line).append(kCrLf);
        break;
      case Section::kConditionalDelete: {
        const std::vector<std::string> f = SplitFields(line, kRecordFields);
        if (f.size() != kRecordFields) break;
        const auto condition = ParseNumber(f[1], 255);
        const auto flags = ParseNumber(f[3], 255);
        if (!condition || !flags) break;
        c.deleteList.push_back(
            DeleteRecord{f[0], static_cast<uint8_t>(*condition), f[2], static_cast<uint8_t>(*flags)});
        break;
      }
    }
  }
  return result;
}

}  // namespace setup
