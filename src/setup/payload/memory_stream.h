#pragma once
// Byte streams of the payload formats. The reader never reads past its end:
// a short read delivers what is left, zero-fills the rest and leaves the
// position at the end. It also marks the reader truncated, for good: every
// read after it finds nothing (zeros, empty texts), and the caller checks
// once, where its reading ends, whether and where the stream was cut off.
// The writer produces exactly what the reader takes back.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace setup {

class MemoryReader {
 public:
  explicit MemoryReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // False on a short read (the destination is zero-filled beyond what was
  // there), and on every read once the reader is truncated.
  bool Read(void* destination, size_t length);
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  uint64_t U64();
  int32_t I32();
  double F64();
  // Characters up to a NUL, which is consumed; empty at the end. A text
  // without its NUL is a short read: the characters that are there.
  std::string Text();
  // An I32 length, then that many bytes (a negative length reads as empty).
  std::vector<uint8_t> Blob();
  std::vector<uint8_t> Bytes(size_t length);

  size_t position() const { return position_; }
  size_t remaining() const { return bytes_.size() - position_; }
  bool atEnd() const { return position_ == bytes_.size(); }

  // Whether a read has wanted more than was left (sticky).
  bool truncated() const { return shortReadAt_.has_value(); }
  // The offset at which the first short read began.
  std::optional<size_t> shortReadAt() const { return shortReadAt_; }

 private:
  uint64_t Integer(size_t width);
  void MarkShortRead(size_t at);

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  std::optional<size_t> shortReadAt_;
};

class MemoryWriter {
 public:
  void Write(const void* source, size_t length);
  void U8(uint8_t v) { Integer(v, 1); }
  void U16(uint16_t v) { Integer(v, 2); }
  void U32(uint32_t v) { Integer(v, 4); }
  void U64(uint64_t v) { Integer(v, 8); }
  void I32(int32_t v) { Integer(static_cast<uint32_t>(v), 4); }
  void F64(double v);
  // The text must not hold a NUL: it would end the text for the reader.
  void Text(const std::string& text);
  void Blob(const std::vector<uint8_t>& blob);
  // Exactly `length` bytes: the given ones, zero-padded or cut.
  void Bytes(const std::vector<uint8_t>& bytes, size_t length);

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  void Integer(uint64_t value, size_t width);
  std::vector<uint8_t> bytes_;
};

}  // namespace setup
