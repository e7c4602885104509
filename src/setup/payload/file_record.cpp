#include "setup/payload/file_record.h"

#include <cstring>

#include "setup/payload/check_codes.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/payload_header.h"

namespace setup {
namespace {

// Reads a record body; a field that runs past the body's end marks the
// body as cut instead of reading beyond it.
class BodyReader {
 public:
  static constexpr bool kReading = true;
  explicit BodyReader(std::span<const uint8_t> body) : body_(body) {}

  void U32(uint32_t& v) {
    if (remaining() < 4) return Cut();
    v = LoadLittleEndian(body_.data() + position_);
    position_ += 4;
  }
  void I32(int32_t& v) {
    uint32_t u = 0;
    U32(u);
    v = static_cast<int32_t>(u);
  }
  void Text(std::string& v) {
    const uint8_t* begin = body_.data() + position_;
    const void* nul = remaining() ? std::memchr(begin, 0, remaining()) : nullptr;
    if (!nul) return Cut();
    const size_t length = static_cast<const uint8_t*>(nul) - begin;
    v.assign(reinterpret_cast<const char*>(begin), length);
    position_ += length + 1;
  }
  void Data(size_t size, std::span<const uint8_t>& data) {
    if (remaining() < size) return Cut();
    data = body_.subspan(position_, size);
    position_ += size;
  }
  // The stored checksum must match the data's.
  void Checksum(std::span<const uint8_t> data) {
    uint32_t stored = 0;
    U32(stored);
    checksumMatches_ = !cut_ && stored == PayloadChecksum(data);
  }

  bool cut() const { return cut_; }
  bool wholeAndChecked() const { return !cut_ && position_ == body_.size() && checksumMatches_; }

 private:
  static uint32_t LoadLittleEndian(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  }
  size_t remaining() const { return body_.size() - position_; }
  void Cut() {
    cut_ = true;
    position_ = body_.size();
  }

  std::span<const uint8_t> body_;
  size_t position_ = 0;
  bool cut_ = false;
  bool checksumMatches_ = false;
};

class BodyWriter {
 public:
  static constexpr bool kReading = false;
  explicit BodyWriter(size_t expectedSize) { out_.reserve(expectedSize); }
  void U32(uint32_t& v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t& v) {
    uint32_t u = static_cast<uint32_t>(v);
    U32(u);
  }
  void Text(std::string& v) {
    out_.insert(out_.end(), v.begin(), v.end());
    out_.push_back(0);
  }
  void Data(size_t, std::span<const uint8_t>& data) { out_.insert(out_.end(), data.begin(), data.end()); }
  void Checksum(std::span<const uint8_t> data) {
    uint32_t sum = PayloadChecksum(data);
    U32(sum);
  }
  std::vector<uint8_t> Take() { return std::move(out_); }

 private:
  std::vector<uint8_t> out_;
};

bool IsPackageKind(uint32_t kind) { return kind == KindValue(FileKind::kInstallerPackage); }

// The fields in order, with the reader's checks where the runtime makes
// them; for the writer no check stops the list. `data` is the record's
// data: read into when reading, written from when writing.
template <class IO>
int VisitRecord(IO& io, FileRecord& r, int32_t dataSize, std::span<const uint8_t>& data) {
  io.Text(r.name);
  if constexpr (IO::kReading) {
    if (io.cut()) return check::kDataChecksum;
    if (r.name.empty()) return check::kEmptyFileName;
  }
  io.U32(r.kind);
  io.U32(r.flags);
  io.U32(r.attributes);
  for (int32_t* part : {&r.stamp.year, &r.stamp.month, &r.stamp.day, &r.stamp.hour, &r.stamp.minute, &r.stamp.second})
    io.I32(*part);
  io.Text(r.text);
  if (r.HasShortcut()) io.Text(r.shortcutIcon);
  io.Text(r.shortcutArguments);
  io.Text(r.target);
  io.Text(r.shortcutWorkingFolder);
  if (IsPackageKind(r.kind)) io.U32(r.packageOption);
  if constexpr (IO::kReading) {
    if (dataSize < 0) return check::kNegativeFileSize;
    if (dataSize > kMaxFileSize) return check::kFileSizeTooLarge;
  }
  io.Data(static_cast<size_t>(dataSize), data);
  io.Checksum(data);
  return 0;
}

size_t TextBytes(const FileRecord& r) {
  return r.name.size() + r.text.size() + r.shortcutIcon.size() + r.shortcutArguments.size() + r.target.size() +
         r.shortcutWorkingFolder.size() + 6;
}

}  // namespace

bool IsKnownFileKind(uint32_t kind) {
  switch (static_cast<FileKind>(kind)) {
    case FileKind::kApplication:
    case FileKind::kShared:
    case FileKind::kFont:
    case FileKind::kStartupApplication:
    case FileKind::kSystem:
    case FileKind::kComServer:
    case FileKind::kTypeLibrary:
    case FileKind::kVersionedApplication:
    case FileKind::kDriverPackage:
    case FileKind::kInstallerPackage:
    case FileKind::kControlPanelApplet:
      return true;
  }
  return false;
}

FileRecord FileRecordView::ToRecord() const {
  FileRecord record = fields;
  record.data.assign(data.begin(), data.end());
  return record;
}

int ParseFileRecord(std::span<const uint8_t> body, int32_t dataSize, FileRecordView& out) {
  out = FileRecordView{};
  BodyReader reader(body);
  const int code = VisitRecord(reader, out.fields, dataSize, out.data);
  if (code != 0) return code;
  if (!reader.wholeAndChecked()) return check::kDataChecksum;
  if (!IsKnownFileKind(out.fields.kind)) return check::kFileKind;
  return 0;
}

std::string FileRecordError(const FileRecord& r) {
  if (r.name.empty()) return "file record without a name";
  for (const std::string* text :
       {&r.name, &r.text, &r.shortcutIcon, &r.shortcutArguments, &r.target, &r.shortcutWorkingFolder}) {
    if (text->find('\0') != std::string::npos) return "text of \"" + r.name + "\" holds a NUL character";
  }
  if (!IsKnownFileKind(r.kind)) return "\"" + r.name + "\" has an unknown kind " + std::to_string(r.kind);
  if (r.data.size() > static_cast<size_t>(kMaxFileSize)) return "\"" + r.name + "\" is larger than 1 GiB";
  if (TextBytes(r) + kRecordFixedFieldsSize + 4 > kMaxRecordFieldsSize)
    return "texts of \"" + r.name + "\" are too long";
  if (!r.HasShortcut() && !r.shortcutIcon.empty())
    return "\"" + r.name + "\" has a shortcut icon but no shortcut flag";
  if (!IsPackageKind(r.kind) && r.packageOption != 0)
    return "\"" + r.name + "\" has a package option but is not an installer package";
  return {};
}

std::vector<uint8_t> WriteFileRecordBody(const FileRecord& record) {
  std::span<const uint8_t> data = record.data;
  BodyWriter writer(TextBytes(record) + kRecordFixedFieldsSize + 4 + record.data.size());
  // The writer only reads the fields; the list takes them by reference for
  // the reader's sake, and a copy would double a file of up to 1 GiB.
  VisitRecord(writer, const_cast<FileRecord&>(record), static_cast<int32_t>(record.data.size()), data);
  return writer.Take();
}

void AppendFileRecord(std::vector<uint8_t>& out, const FileRecord& record) {
  const std::vector<uint8_t> body = WriteFileRecordBody(record);
  const uint32_t length = static_cast<uint32_t>(body.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(length >> (8 * i)));
  out.insert(out.end(), body.begin(), body.end());
}

}  // namespace setup
