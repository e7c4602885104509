#include "setup/payload/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace setup {

void MemoryReader::MarkShortRead(size_t at) {
  if (!shortReadAt_) shortReadAt_ = at;
  position_ = bytes_.size();
}

bool MemoryReader::Read(void* destination, size_t length) {
  if (length == 0) return true;
  const size_t available = truncated() ? 0 : std::min(remaining(), length);
  if (available) std::memcpy(destination, bytes_.data() + position_, available);
  if (available < length) {
    std::memset(static_cast<uint8_t*>(destination) + available, 0, length - available);
    MarkShortRead(position_);
    return false;
  }
  position_ += available;
  return true;
}

uint64_t MemoryReader::Integer(size_t width) {
  uint8_t b[8];
  Read(b, width);
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value |= static_cast<uint64_t>(b[i]) << (8 * i);
  return value;
}

uint8_t MemoryReader::U8() { return static_cast<uint8_t>(Integer(1)); }
uint16_t MemoryReader::U16() { return static_cast<uint16_t>(Integer(2)); }
uint32_t MemoryReader::U32() { return static_cast<uint32_t>(Integer(4)); }
uint64_t MemoryReader::U64() { return Integer(8); }
int32_t MemoryReader::I32() { return static_cast<int32_t>(U32()); }

double MemoryReader::F64() {
  uint64_t bits = U64();
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string MemoryReader::Text() {
  if (truncated()) return {};
  const uint8_t* begin = bytes_.data() + position_;
  const void* nul = std::memchr(begin, 0, remaining());
  if (!nul) {
    std::string text(reinterpret_cast<const char*>(begin), remaining());
    MarkShortRead(position_);
    return text;
  }
  const size_t length = static_cast<const uint8_t*>(nul) - begin;
  std::string text(reinterpret_cast<const char*>(begin), length);
  position_ += length + 1;
  return text;
}

std::vector<uint8_t> MemoryReader::Blob() {
  int32_t length = I32();
  if (length <= 0) return {};
  return Bytes(static_cast<size_t>(length));
}

std::vector<uint8_t> MemoryReader::Bytes(size_t length) {
  const size_t available = truncated() ? 0 : remaining();
  if (length <= available) {
    std::vector<uint8_t> out(length);
    Read(out.data(), length);
    return out;
  }
  // A short read: the stream is truncated and will fail its end check, so a
  // hostile length must not make us allocate it; the zero fill is capped.
  constexpr size_t kMaxZeroFill = 64 * 1024;
  const size_t start = position_;
  std::vector<uint8_t> out(available + std::min(length - available, kMaxZeroFill), 0);
  Read(out.data(), available);
  MarkShortRead(start);
  return out;
}

void MemoryWriter::Write(const void* source, size_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(source);
  bytes_.insert(bytes_.end(), p, p + length);
}

void MemoryWriter::Integer(uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void MemoryWriter::F64(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  U64(bits);
}

void MemoryWriter::Text(const std::string& text) {
  Write(text.data(), text.size());
  bytes_.push_back(0);
}

void MemoryWriter::Blob(const std::vector<uint8_t>& blob) {
  I32(static_cast<int32_t>(blob.size()));
  Write(blob.data(), blob.size());
}

void MemoryWriter::Bytes(const std::vector<uint8_t>& bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) bytes_.push_back(i < bytes.size() ? bytes[i] : 0);
}

}  // namespace setup
