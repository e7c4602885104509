#include "setup/payload/unpack.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <new>
#include <stdexcept>

#include "setup/payload/packed_format.h"

namespace setup {
namespace {

// Room behind the last output byte for whole-word stores: short copies,
// runs and literals are written 8 or 16 bytes at a time and the surplus is
// overwritten by the next operation or cut off at the end.
constexpr size_t kOutputSlack = 16;

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

inline void Store64(uint8_t* p, uint64_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  std::memcpy(p, &v, sizeof v);
}

inline uint32_t Load32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads the stream least significant bit first from a 64-bit buffer. While
// at least 8 input bytes are left a refill leaves 56..63 bits in the buffer.
// Bits above `avail_` are either zero or the true next bits of the stream
// (they come from the same input bytes), never anything else; bits past the
// end of the input are never loaded, so they read as zero.
class BitReader {
 public:
  BitReader(const uint8_t* begin, const uint8_t* end) : base_(begin), next_(begin), end_(end) {}

  void Refill() {
    if (end_ - next_ >= 8) {
      buf_ |= Load64(next_) << avail_;
      next_ += (63 - avail_) >> 3;
      avail_ |= 56;
    } else {
      while (avail_ < 56 && next_ < end_) {
        buf_ |= static_cast<uint64_t>(*next_++) << avail_;
        avail_ += 8;
      }
    }
  }

  uint64_t RemainingBits() const { return avail_ + 8 * static_cast<uint64_t>(end_ - next_); }
  uint64_t Position() const { return 8 * static_cast<uint64_t>(next_ - base_) - avail_; }
  const uint8_t* base() const { return base_; }
  const uint8_t* end() const { return end_; }
  unsigned avail() const { return avail_; }
  uint64_t buffer() const { return buf_; }

  // Only for n <= avail() and n < 64.
  void Skip(unsigned n) {
    buf_ >>= n;
    avail_ -= n;
  }
  // Only for 1 <= n <= 32 and n <= avail().
  uint32_t Take(unsigned n) {
    uint32_t v = static_cast<uint32_t>(buf_ & ((uint64_t{1} << n) - 1));
    Skip(n);
    return v;
  }

  // Up to 32 bits, with a refill; false when the stream has fewer.
  bool Read(unsigned n, uint32_t& value) {
    if (avail_ < n) Refill();
    if (avail_ < n) return false;
    value = Take(n);
    return true;
  }

  // Moves to an absolute bit position inside the input.
  void Seek(uint64_t bitPosition) {
    next_ = base_ + static_cast<size_t>(bitPosition >> 3);
    buf_ = 0;
    avail_ = 0;
    Refill();
    Skip(static_cast<unsigned>(bitPosition & 7));
  }

  // Var(n, step) with the bias of `code` added. The fast path finds the
  // zero-bit and the whole value inside the buffer.
  bool ReadVar(VarCode code, uint64_t& value) {
    if (avail_ < 56) Refill();
    uint64_t inverted = ~buf_;
    if (inverted != 0) {
      unsigned ones = static_cast<unsigned>(std::countr_zero(inverted));
      if (ones < avail_) {
        unsigned width = VarWidth(code, ones);
        if (ones + 1 + width <= avail_) {
          Skip(ones + 1);
          value = uint64_t{Take(width)} + code.bias;
          return true;
        }
      }
    }
    return ReadVarSlow(code, value);
  }

 private:
  // Long runs of one-bits and the end of the input.
  [[gnu::noinline]] bool ReadVarSlow(VarCode code, uint64_t& value) {
    if (RemainingBits() < 2) return false;
    uint64_t ones = 0;
    for (;;) {
      Refill();
      if (avail_ == 0) break;  // the input ran out: the count ends here
      uint64_t inverted = ~buf_;
      unsigned run = inverted != 0 ? static_cast<unsigned>(std::countr_zero(inverted)) : 64;
      if (run < avail_) {
        ones += run;
        Skip(run + 1);
        break;
      }
      ones += avail_;
      Skip(avail_);
    }
    uint32_t raw;
    if (!Read(VarWidth(code, ones), raw)) return false;
    value = uint64_t{raw} + code.bias;
    return true;
  }

  const uint8_t* base_;
  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t buf_ = 0;
  unsigned avail_ = 0;
};

// `count` bytes stored at bit position `bitPosition` of the input, which
// holds all of them.
void CopyLiteralBits(uint8_t* out, const BitReader& reader, uint64_t bitPosition, size_t count) {
  const uint8_t* p = reader.base() + static_cast<size_t>(bitPosition >> 3);
  const unsigned shift = static_cast<unsigned>(bitPosition & 7);
  if (shift == 0) {
    std::memcpy(out, p, count);
    return;
  }
  size_t i = 0;
  // Eight output bytes take nine input bytes when the stream is not byte
  // aligned.
  while (count - i >= 8 && reader.end() - p >= 9) {
    Store64(out + i, (Load64(p) >> shift) | (uint64_t{p[8]} << (64 - shift)));
    p += 8;
    i += 8;
  }
  // The last byte's high bits come from the byte after it, which exists
  // because the stream holds all count * 8 bits.
  for (; i < count; ++i, ++p) {
    out[i] = static_cast<uint8_t>((p[0] >> shift) | (p[1] << (8 - shift)));
  }
}

// Source and destination may share bytes only beyond `length`: the caller
// guarantees length <= out - src. Each 16-byte block is loaded before it is
// stored, and the bytes it needs all lie before `out`, so copying forward in
// whole blocks is exact; the surplus lands in bytes written later.
inline void CopyMatch(uint8_t* out, const uint8_t* src, size_t length) {
  if (length > 64) {
    std::memcpy(out, src, length);
    return;
  }
  for (size_t i = 0; i < length; i += 16) {
    uint8_t block[16];
    std::memcpy(block, src + i, 16);
    std::memcpy(out + i, block, 16);
  }
}

// An upper bound on the bytes a stream of `bits` bits can produce. Every
// operation of c bits yields at most 2^((c-8)/2) bytes (literal run: c >=
// 12 + 8(count-1); byte run: count <= 2^w + 2 with c >= 11 + 2w; copy:
// length <= 2^w + 3 with c >= 14 + 2w), and the sum over operations of at
// least 12 bits each stays below 2^((total-8)/2). So a block can be
// rejected before its output is allocated only when it is tiny; from 71
// bits on any 32-bit N may be genuine (a 10-byte stream can hold one byte
// run of four billion bytes).
uint64_t MaxOutputForBits(uint64_t bits) {
  if (bits < 12) return 0;
  uint64_t exponent = (bits - 8 + 1) / 2;  // rounded up: a bound, never less
  return exponent >= 63 ? UINT64_MAX : uint64_t{1} << exponent;
}

// A literal run and the copy or byte run after it, parsed and checked
// against the output length: the unit the decoder carries out.
struct Sequence {
  // Up to 7 literal bytes themselves, or the bit position in the input of
  // a longer run.
  uint64_t literals;
  uint32_t literalCount;
  uint32_t length;    // of the copy or byte run; 0 when there is none
  uint32_t distance;  // 0 for a byte run
  uint32_t value;     // the byte of a byte run
};

constexpr uint32_t kMaxShortLiterals = 7;

// Sequences are parsed a batch at a time and then carried out: while the
// batch is parsed, the sources of its copies are fetched, which hides the
// memory latency of copies from far back in a large output.
constexpr int kBatch = 32;

inline void Prefetch(const void* p) { __builtin_prefetch(p); }

void Execute(const Sequence* sequences, int count, uint8_t* out, const BitReader& reader) {
  for (int i = 0; i < count; ++i) {
    const Sequence& s = sequences[i];
    // Short literals go out as one 8-byte store, also when there are none:
    // the surplus lands where the copy or run below, a later sequence or
    // the slack writes anyway.
    if (s.literalCount <= kMaxShortLiterals) {
      Store64(out, s.literals);
    } else {
      CopyLiteralBits(out, reader, s.literals, s.literalCount);
    }
    out += s.literalCount;
    if (s.length == 0) continue;
    if (s.distance != 0) {
      CopyMatch(out, out - s.distance, s.length);
    } else {
      std::memset(out, static_cast<int>(s.value), s.length <= 16 ? 16 : s.length);
    }
    out += s.length;
  }
}

// The head of one operation: its kind, its count and, for a copy, the
// distance or, for a byte run, the byte.
struct OpHead {
  enum Kind : uint32_t { kLiterals, kRun, kCopy };
  Kind kind;
  uint64_t count;
  uint64_t argument;
};

// Decoding the head of an operation from its first bits in one look-up:
// the prefix and, for literal runs and copies, the count field in its short
// forms (literal runs of up to 64, copies of up to 19 bytes). An entry
// holds the bits the look-up takes (0: too long for the table), the kind
// and the count.
constexpr unsigned kHeadBits = 10;

constexpr uint32_t HeadEntry(uint32_t bits) {
  auto head = [](VarCode code, unsigned prefixBits, uint32_t rest, OpHead::Kind kind) -> uint32_t {
    unsigned ones = 0;
    while ((rest >> ones) & 1) ++ones;
    const unsigned width = VarWidth(code, ones);
    const unsigned used = prefixBits + ones + 1 + width;
    if (used > kHeadBits) return uint32_t{kind} << 8;
    const uint32_t value = (rest >> (ones + 1)) & ((uint32_t{1} << width) - 1);
    return used | uint32_t{kind} << 8 | (value + code.bias) << 16;
  };
  if ((bits & 1) == kLiteralPrefix) return head(kLiteralCount, kLiteralPrefixBits, bits >> 1, OpHead::kLiterals);
  if ((bits & 3) == kCopyPrefix) return head(kCopyLength, kCopyPrefixBits, bits >> 2, OpHead::kCopy);
  return uint32_t{OpHead::kRun} << 8;
}

struct HeadTable {
  uint32_t entries[1u << kHeadBits];
  constexpr HeadTable() : entries() {
    for (uint32_t i = 0; i < (1u << kHeadBits); ++i) entries[i] = HeadEntry(i);
  }
};
constexpr HeadTable kHeads;
static_assert(kRunPrefix == 0b11 && kCopyPrefix == 0b01 && kLiteralPrefix == 0b0,
              "the head table tells the kinds apart by these prefixes");

inline uint64_t Mask(unsigned width) { return (uint64_t{1} << width) - 1; }

// The head of an operation field by field, for every case the quick path
// leaves out: long fields and the end of the input.
[[gnu::noinline]] bool ReadHeadSlow(BitReader& reader, OpHead& head) {
  reader.Refill();
  if (reader.avail() < 1) return false;
  if ((reader.buffer() & 1) == kLiteralPrefix) {
    reader.Skip(kLiteralPrefixBits);
    head.kind = OpHead::kLiterals;
    return reader.ReadVar(kLiteralCount, head.count);
  }
  if (reader.avail() < 2) return false;
  if ((reader.buffer() & 3) == kRunPrefix) {
    reader.Skip(kRunPrefixBits);
    head.kind = OpHead::kRun;
    uint32_t value;
    if (!reader.Read(8, value)) return false;
    head.argument = value;
    return reader.ReadVar(kRunCount, head.count);
  }
  reader.Skip(kCopyPrefixBits);
  head.kind = OpHead::kCopy;
  return reader.ReadVar(kCopyLength, head.count) && reader.ReadVar(kCopyDistance, head.argument);
}

// While the buffer holds 56 bits the whole head of a common operation is
// taken from one snapshot of it and skipped at once.
inline bool ReadHead(BitReader& reader, OpHead& head) {
  reader.Refill();
  const unsigned avail = reader.avail();
  if (avail >= 56) {
    const uint64_t bits = reader.buffer();
    const uint32_t entry = kHeads.entries[bits & ((1u << kHeadBits) - 1)];
    const unsigned used = entry & 0xFF;
    head.kind = static_cast<OpHead::Kind>((entry >> 8) & 3);
    if (used != 0) {
      head.count = entry >> 16;
      if (head.kind == OpHead::kLiterals) {
        reader.Skip(used);
        return true;
      }
      // A copy: the distance field follows.
      const uint64_t rest = bits >> used;
      const unsigned ones = static_cast<unsigned>(std::countr_zero(~rest));
      const unsigned width = VarWidth(kCopyDistance, ones);
      const unsigned total = used + ones + 1 + width;
      if (total <= avail) {
        head.argument = ((rest >> (ones + 1)) & Mask(width)) + kCopyDistance.bias;
        reader.Skip(total);
        return true;
      }
    } else if (head.kind == OpHead::kRun) {
      constexpr unsigned kCountAt = kRunPrefixBits + 8;
      const uint64_t rest = bits >> kCountAt;
      const unsigned ones = static_cast<unsigned>(std::countr_zero(~rest));
      const unsigned width = VarWidth(kRunCount, ones);
      const unsigned total = kCountAt + ones + 1 + width;
      if (total <= avail) {
        head.argument = (bits >> kRunPrefixBits) & 0xFF;
        head.count = ((rest >> (ones + 1)) & Mask(width)) + kRunCount.bias;
        reader.Skip(total);
        return true;
      }
    }
  }
  return ReadHeadSlow(reader, head);
}

// Runs the operations until `size` bytes are produced. With kWrite false
// nothing is stored and `begin` is null: that dry run only checks that the
// stream decodes to exactly `size` bytes.
template <bool kWrite>
bool Decode(BitReader& reader, uint8_t* const begin, const uint64_t size) {
  Sequence batch[kBatch];
  uint64_t produced = 0;  // by the operations parsed so far
  uint64_t written = 0;
  while (produced < size) {
    int done = 0;
    Sequence* s = &batch[0];
    s->literals = 0;
    s->literalCount = 0;
    do {
      OpHead head;
      if (!ReadHead(reader, head)) return false;
      const uint64_t count = head.count;
      if (count > size - produced) return false;
      if (head.kind == OpHead::kLiterals) {
        if (count * 8 > reader.RemainingBits()) return false;
        if (s->literalCount != 0) {
          // Two literal runs in a row: the first stands alone.
          s->length = 0;
          s = &batch[++done];
        }
        s->literalCount = static_cast<uint32_t>(count);
        if (count > kMaxShortLiterals) {
          const uint64_t position = reader.Position();
          s->literals = position;
          reader.Seek(position + count * 8);
        } else {
          if (reader.avail() < count * 8) reader.Refill();
          if (reader.avail() >= count * 8) {
            s->literals = reader.buffer();
            reader.Skip(static_cast<unsigned>(count * 8));
          } else {
            uint64_t bytes = 0;
            for (unsigned i = 0; i < count; ++i) {
              uint32_t byte;
              if (!reader.Read(8, byte)) return false;
              bytes |= uint64_t{byte} << (8 * i);
            }
            s->literals = bytes;
          }
        }
      } else {
        if (head.kind == OpHead::kRun) {
          s->distance = 0;
          s->value = static_cast<uint32_t>(head.argument);
        } else {
          const uint64_t distance = head.argument;
          // source = produced - distance must be >= 0, source + length <= produced.
          if (distance > produced || count > distance) return false;
          if constexpr (kWrite) Prefetch(begin + (produced - distance));
          s->distance = static_cast<uint32_t>(distance);
        }
        s->length = static_cast<uint32_t>(count);
        s = &batch[++done];
        s->literals = 0;
        s->literalCount = 0;
      }
      produced += count;
    } while (done < kBatch - 1 && produced < size);
    if (s->literalCount != 0) {
      s->length = 0;
      ++done;
    }
    if constexpr (kWrite) {
      Execute(batch, done, begin + written, reader);
      written = produced;
    }
  }
  return true;
}

// A block whose output is many times its own size is decoded once without
// output before N bytes are allocated: a hostile N then costs a pass over
// the block instead of gigabytes. The dry run visits each operation, and
// operations take at least 12 bits, so it stays short against N.
bool NeedsDryRun(uint64_t size, size_t blockSize) {
  constexpr uint64_t kPlainRatio = 32;
  constexpr uint64_t kSmallOutput = uint64_t{1} << 20;
  return size > kSmallOutput && size / kPlainRatio > blockSize;
}

}  // namespace

namespace {

// Sizes `output` for N bytes plus the slack and fills it. Memory already
// held by `output` is reused without being cleared: every byte of the
// result is written by the decoder, and old bytes that a whole-word copy
// picks up past its length only land where later writes go.
bool UnpackInto(std::span<const uint8_t> block, std::vector<uint8_t>& output) {
  // Less than the 8-byte header cannot say how long the output is.
  if (block.size() < kPackedHeaderSize || Load32(block.data()) != kPackedMagic) return false;
  const uint32_t size = Load32(block.data() + 4);
  const uint8_t* stream = block.data() + kPackedHeaderSize;
  const uint8_t* streamEnd = block.data() + block.size();
  if (size > MaxOutputForBits(8 * static_cast<uint64_t>(streamEnd - stream))) return false;
  if (NeedsDryRun(size, block.size())) {
    BitReader dryReader(stream, streamEnd);
    if (!Decode<false>(dryReader, nullptr, size)) return false;
  }
  try {
    if (uint64_t{size} + kOutputSlack > output.max_size()) return false;
    output.resize(static_cast<size_t>(size) + kOutputSlack);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  BitReader reader(stream, streamEnd);
  if (!Decode<true>(reader, output.data(), size)) return false;
  output.resize(size);
  return true;
}

}  // namespace

bool Unpack(std::span<const uint8_t> block, std::vector<uint8_t>& output) {
  if (UnpackInto(block, output)) return true;
  output.clear();
  return false;
}

std::optional<std::vector<uint8_t>> Unpack(std::span<const uint8_t> block) {
  std::vector<uint8_t> output;
  if (!Unpack(block, output)) return std::nullopt;
  return output;
}

}  // namespace setup
