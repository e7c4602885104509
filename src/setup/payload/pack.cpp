#include "setup/payload/pack.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "setup/payload/packed_format.h"

namespace setup {
namespace {

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// Appends fields least significant bit first; whole bytes go out as they
// fill, the last byte is padded with zero-bits.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}

  // `value` must fit in `bits` (at most 32) bits.
  void Put(uint32_t value, unsigned bits) {
    acc_ |= uint64_t{value} << used_;
    used_ += bits;
    if (used_ >= 32) {
      const uint8_t bytes[4] = {static_cast<uint8_t>(acc_), static_cast<uint8_t>(acc_ >> 8),
                                static_cast<uint8_t>(acc_ >> 16), static_cast<uint8_t>(acc_ >> 24)};
      out_.insert(out_.end(), bytes, bytes + 4);
      acc_ >>= 32;
      used_ -= 32;
    }
  }

  // The shortest form: the fewest one-bits whose width holds the value.
  void PutVar(VarCode code, uint64_t count) {
    const uint32_t value = static_cast<uint32_t>(count - code.bias);
    const unsigned ones = VarOnes(code, value);
    Put((uint32_t{1} << ones) - 1, ones + 1);  // ones < 32 for every code
    Put(value, VarWidth(code, ones));
  }

  void Finish() {
    while (used_ > 0) {
      out_.push_back(static_cast<uint8_t>(acc_));
      acc_ >>= 8;
      used_ = used_ > 8 ? used_ - 8 : 0;
    }
  }

 private:
  std::vector<uint8_t>& out_;
  uint64_t acc_ = 0;
  unsigned used_ = 0;
};

class OpWriter {
 public:
  explicit OpWriter(std::vector<uint8_t>& out) : bits_(out) {}

  void Literals(const uint8_t* p, size_t count) {
    bits_.Put(kLiteralPrefix, kLiteralPrefixBits);
    bits_.PutVar(kLiteralCount, count);
    for (size_t i = 0; i < count; ++i) bits_.Put(p[i], 8);
  }
  void Run(uint8_t value, size_t count) {
    bits_.Put(kRunPrefix, kRunPrefixBits);
    bits_.Put(value, 8);
    bits_.PutVar(kRunCount, count);
  }
  void Copy(size_t length, size_t distance) {
    bits_.Put(kCopyPrefix, kCopyPrefixBits);
    bits_.PutVar(kCopyLength, length);
    bits_.PutVar(kCopyDistance, distance);
  }
  void Finish() { bits_.Finish(); }

 private:
  BitWriter bits_;
};

// A copy (distance > 0) or a byte run (distance 0) of `length` bytes.
struct Op {
  size_t length = 0;
  size_t distance = 0;
};

// Writes the parser's operations one operation late, so that a copy or run
// between two literal runs can be turned back into literals when one merged
// literal run is cheaper. The parser cannot see that: it prices a new
// literal run by its first bytes, while the count field of a long run keeps
// growing, which makes a short copy inside incompressible data a loss.
class Sequencer {
 public:
  Sequencer(const uint8_t* in, OpWriter& writer) : in_(in), writer_(writer) {}

  // `op` at input position `at`; the bytes since the previous operation
  // are literals.
  void Put(size_t at, const Op& op) {
    if (held_.length != 0) Settle(at);
    heldAt_ = at;
    held_ = op;
  }

  void Finish(size_t end) {
    if (held_.length != 0) Settle(end);
    if (end > literalStart_) writer_.Literals(in_ + literalStart_, end - literalStart_);
  }

 private:
  static uint64_t LiteralBits(size_t count) { return count == 0 ? 0 : LiteralRunBits(count); }

  // Decides the held operation now that the literals after it end at `next`.
  void Settle(size_t next) {
    const size_t heldEnd = heldAt_ + held_.length;
    const size_t before = heldAt_ - literalStart_;
    const size_t after = next - heldEnd;
    const uint64_t opBits = held_.distance == 0 ? ByteRunBits(held_.length) : CopyBits(held_.length, held_.distance);
    const uint64_t keep = LiteralBits(before) + opBits + LiteralBits(after);
    if (LiteralBits(before + held_.length + after) < keep) return;  // stays literal
    if (before > 0) writer_.Literals(in_ + literalStart_, before);
    if (held_.distance == 0) {
      writer_.Run(in_[heldAt_], held_.length);
    } else {
      writer_.Copy(held_.length, held_.distance);
    }
    literalStart_ = heldEnd;
  }

  const uint8_t* in_;
  OpWriter& writer_;
  size_t literalStart_ = 0;
  size_t heldAt_ = 0;
  Op held_;
};

struct LevelParams {
  unsigned nearLog;   // window of the hash chains, 2^nearLog bytes
  unsigned depth;     // chain entries examined per position
  unsigned farLog;    // window of the far table, 2^farLog bytes (0: none)
  unsigned farWays;   // far table entries per hash row
  unsigned nice;      // a copy or run this long is taken at once
};

// Memory is slow against the parser, so near and far copies are searched
// in two structures: chains over a window that stays in the cache, and a
// far table whose row for a position is prefetched ahead of time.
constexpr LevelParams kLevels[] = {
    {15, 4, 0, 0, 16},       // 1
    {16, 8, 20, 4, 24},      // 2
    {16, 12, 22, 4, 32},     // 3
    {16, 16, 22, 4, 48},     // 4
    {16, 24, 22, 8, 64},     // 5
    {16, 32, 22, 8, 96},     // 6
    {17, 64, 23, 8, 192},    // 7
    {17, 128, 24, 8, 384},   // 8
    {18, 256, 24, 8, 1024},  // 9
};

inline void Prefetch(const void* p) { __builtin_prefetch(p); }

// Finds copies for the parser. Positions are inserted lazily: a search at
// `pos` first inserts everything before it, so positions inside a long
// copy cost only their insertion.
//
// Near copies come from hash chains over 4-byte prefixes in a window small
// enough for the cache. Far copies come from a table of rows, one row per
// hash of a 6-byte prefix holding the latest positions with that hash,
// newest first; a far copy pays for its longer distance field only when
// it is longer than a near one could be anyway.
class MatchFinder {
 public:
  static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
  static constexpr size_t kFarPrefix = 6;
  // Rows are fetched this many positions before they are used.
  static constexpr size_t kAhead = 8;

  MatchFinder(std::span<const uint8_t> input, const LevelParams& params)
      : in_(input.data()), size_(input.size()), params_(params) {
    const size_t nearWindow = FitWindow(params.nearLog);
    nearMask_ = nearWindow - 1;
    nearDistance_ = nearWindow;
    unsigned hashLog = params.nearLog + 1;
    while (hashLog > 10 && (size_t{1} << (hashLog - 1)) >= size_) --hashLog;
    hashShift_ = 32 - hashLog;
    head_.assign(size_t{1} << hashLog, kNone);
    chain_.assign(nearWindow, kNone);
    if (params.farLog > params.nearLog && size_ > nearWindow) {
      const size_t farWindow = FitWindow(params.farLog);
      farDistance_ = farWindow;
      // About one row for every two positions of the window.
      unsigned rowLog = 4;
      while ((size_t{2} << rowLog) * params.farWays < farWindow / 2 && rowLog < 24) ++rowLog;
      farShift_ = 64 - rowLog;
      ways_ = params.farWays;
      far_.assign((size_t{1} << rowLog) * ways_, kNone);
    }
  }

  // Copies usable at `pos`, with strictly growing length and, for each
  // length, the smallest distance found: for any length the first entry
  // that reaches it is the cheapest. A copy's length is capped by its
  // distance (no overlap) and by the end of the input.
  size_t Find(size_t pos, Op* out) {
    InsertUpTo(pos);
    next_ = pos + 1;
    if (size_ - pos < kMinCopyLength) return 0;
    if (!far_.empty() && pos + kAhead + 8 <= size_) Prefetch(FarRow(pos + kAhead));
    const uint8_t* cur = in_ + pos;
    const size_t remaining = size_ - pos;
    const uint32_t first = Load32(cur);
    const uint32_t h = NearHash(first);
    size_t best = kMinCopyLength - 1;
    size_t count = 0;
    auto consider = [&](size_t distance) {
      const size_t limit = std::min(distance, remaining);
      const uint8_t* match = cur - distance;
      if (limit > best && match[best] == cur[best] && Load32(match) == first) {
        const size_t length = MatchLength(match, cur, limit);
        if (length > best) {
          out[count++] = {length, distance};
          best = length;
        }
      }
      return best >= params_.nice || best == remaining;
    };

    bool done = false;
    uint32_t candidate = head_[h];
    for (unsigned depth = params_.depth; candidate != kNone && depth > 0; --depth) {
      const size_t distance = pos - candidate;
      if (distance > nearDistance_) break;
      if (distance >= kMinCopyDistance && consider(distance)) {
        done = true;
        break;
      }
      candidate = chain_[candidate & nearMask_];
    }
    chain_[pos & nearMask_] = head_[h];
    head_[h] = static_cast<uint32_t>(pos);

    if (!far_.empty() && pos + 8 <= size_) {
      uint32_t* row = FarRow(pos);
      for (unsigned i = 0; i < ways_ && !done; ++i) {
        if (row[i] == kNone) break;
        const size_t distance = pos - row[i];
        if (distance > farDistance_) break;
        // Nearer copies were the chains' to find.
        if (distance > nearDistance_ && best < remaining) done = consider(distance);
      }
      InsertFar(row, pos);
    }

    // A copy cut short by its own distance sits in data that repeats with
    // a short period; the same data twice, four times ... as far back
    // gives longer copies than the nearby entries can. This finds the
    // doubling copies that cover a long periodic stretch in few steps.
    if (count > 0 && best == out[count - 1].distance) {
      const size_t farthest = std::min(pos, std::max(nearDistance_, farDistance_));
      for (size_t distance = 2 * best; distance <= farthest; distance *= 2) {
        const size_t length = MatchLength(cur - distance, cur, std::min(distance, remaining));
        if (length <= best) break;
        out[count++] = {length, distance};
        best = length;
        if (length < distance) break;
      }
    }
    return count;
  }

  // Room the candidate list needs.
  size_t MaxCandidates() const { return params_.depth + ways_ + 64; }

 private:
  size_t FitWindow(unsigned log) const {
    size_t window = 1;
    while (window < (size_t{1} << log) && window < size_) window <<= 1;
    return window;
  }

  uint32_t NearHash(uint32_t prefix) const { return (prefix * 2654435761u) >> hashShift_; }

  uint32_t* FarRow(size_t pos) {
    const uint64_t prefix = Load64(in_ + pos) << (64 - 8 * kFarPrefix);
    return far_.data() + ((prefix * 0xCF1BBCDCB7A56463ull) >> farShift_) * ways_;
  }

  void InsertFar(uint32_t* row, size_t pos) {
    for (unsigned i = ways_ - 1; i > 0; --i) row[i] = row[i - 1];
    row[0] = static_cast<uint32_t>(pos);
  }

  void InsertUpTo(size_t pos) {
    const size_t nearStop = std::min(pos, size_ >= kMinCopyLength ? size_ - kMinCopyLength + 1 : 0);
    for (size_t p = next_; p < nearStop; ++p) {
      const uint32_t h = NearHash(Load32(in_ + p));
      chain_[p & nearMask_] = head_[h];
      head_[h] = static_cast<uint32_t>(p);
    }
    if (!far_.empty()) {
      const size_t farStop = std::min(pos, size_ >= 8 ? size_ - 8 + 1 : 0);
      for (size_t p = next_; p < farStop; ++p) {
        if (p + kAhead + 8 <= size_) Prefetch(FarRow(p + kAhead));
        InsertFar(FarRow(p), p);
      }
    }
    if (next_ < pos) next_ = pos;
  }

  static size_t MatchLength(const uint8_t* a, const uint8_t* b, size_t limit) {
    size_t length = 0;
    while (limit - length >= 8) {
      uint64_t diff = Load64(a + length) ^ Load64(b + length);
      if (diff != 0) return length + static_cast<size_t>(std::countr_zero(diff)) / 8;
      length += 8;
    }
    while (length < limit && a[length] == b[length]) ++length;
    return length;
  }

  const uint8_t* in_;
  size_t size_;
  LevelParams params_;
  size_t nearMask_ = 0;
  size_t nearDistance_ = 0;
  size_t farDistance_ = 0;
  unsigned hashShift_ = 0;
  unsigned farShift_ = 0;
  unsigned ways_ = 0;
  std::vector<uint32_t> head_;
  std::vector<uint32_t> chain_;
  std::vector<uint32_t> far_;
  size_t next_ = 0;
};

// Bits of each format field, tabulated for the lengths the parser weighs.
class Prices {
 public:
  explicit Prices(size_t maxLength) : copyLength_(maxLength + 1), run_(maxLength + 1) {
    for (size_t n = kMinCopyLength; n <= maxLength; ++n) {
      copyLength_[n] = kCopyPrefixBits + VarBits(kCopyLength, static_cast<uint32_t>(n - kCopyLength.bias));
    }
    for (size_t n = kMinByteRun; n <= maxLength; ++n) run_[n] = ByteRunBits(n);
    for (size_t r = 0; r < kLiteralTable; ++r) literal_[r] = LiteralSlow(r);
  }

  // Adding one literal to a literal run of `run` bytes.
  uint32_t Literal(size_t run) const { return run < kLiteralTable ? literal_[run] : LiteralSlow(run); }
  // A copy without its distance field.
  uint32_t CopyLength(size_t length) const { return copyLength_[length]; }
  static uint32_t Distance(size_t distance) {
    return VarBits(kCopyDistance, static_cast<uint32_t>(distance - kCopyDistance.bias));
  }
  uint32_t Run(size_t length) const { return run_[length]; }

 private:
  static constexpr size_t kLiteralTable = 1024;
  static uint32_t LiteralSlow(size_t run) {
    return static_cast<uint32_t>(LiteralRunBits(run + 1) - (run == 0 ? 0 : LiteralRunBits(run)));
  }
  std::vector<uint32_t> copyLength_;
  std::vector<uint32_t> run_;
  uint32_t literal_[kLiteralTable];
};

// Cost-based parse: the bit cost of every operation is exact, so within a
// stretch of input the cheapest sequence of literal runs, byte runs and
// copies is found by a shortest-path pass over positions. A stretch ends
// where no pending operation reaches past the current position, after
// kStretch positions, or at a copy or run of the nice length, which is
// taken as it is.
class Parser {
 public:
  Parser(std::span<const uint8_t> input, const LevelParams& params, Sequencer& writer)
      : in_(input.data()),
        size_(input.size()),
        params_(params),
        finder_(input, params),
        prices_(params.nice),
        writer_(writer),
        nodes_(kStretch + params.nice + 1),
        candidates_(finder_.MaxCandidates()) {}

  void Run() {
    size_t pos = 0;
    while (pos < size_) pos = Stretch(pos);
    writer_.Finish(size_);
  }

 private:
  static constexpr size_t kStretch = 4096;
  static constexpr uint32_t kInfinite = std::numeric_limits<uint32_t>::max();

  // Cheapest way found to reach a position, and the step that got there:
  // length 0 a literal, else a copy (distance > 0) or byte run (0).
  struct Node {
    uint32_t cost;
    uint32_t literalRun;  // literal bytes just before this position
    uint32_t length;
    uint32_t distance;
  };

  void Relax(size_t index, uint32_t cost, uint32_t literalRun, size_t length, size_t distance) {
    Node& node = nodes_[index];
    if (cost < node.cost) {
      node = {cost, literalRun, static_cast<uint32_t>(length), static_cast<uint32_t>(distance)};
    }
  }

  size_t RunLength(size_t pos) {
    if (pos < runStart_ || pos >= runEnd_) {
      const uint8_t value = in_[pos];
      size_t end = pos + 1;
      while (end < size_ && in_[end] == value) ++end;
      runStart_ = pos;
      runEnd_ = end;
    }
    return runEnd_ - pos;
  }

  size_t Stretch(const size_t pos) {
    nodes_[0] = {0, static_cast<uint32_t>(pos - literalStart_), 0, 0};
    size_t last = 0;
    size_t end = 0;
    Op tail;
    for (size_t cur = 0;; ++cur) {
      if ((cur > 0 && cur == last) || cur >= kStretch || pos + cur == size_) {
        end = cur;
        break;
      }
      const size_t p = pos + cur;
      const size_t found = finder_.Find(p, candidates_.data());
      const size_t run = RunLength(p);
      const size_t copyLength = found > 0 ? candidates_[found - 1].length : 0;
      if (copyLength >= params_.nice || run >= params_.nice) {
        tail = run >= copyLength ? Op{run, 0} : candidates_[found - 1];
        end = cur;
        break;
      }
      const Node node = nodes_[cur];
      const size_t reach = cur + std::max<size_t>({1, copyLength, run >= kMinByteRun ? run : 0});
      while (last < reach) nodes_[++last].cost = kInfinite;

      Relax(cur + 1, node.cost + prices_.Literal(node.literalRun), node.literalRun + 1, 0, 0);
      if (run >= kMinByteRun) {
        for (size_t n = kMinByteRun; n <= run; ++n) Relax(cur + n, node.cost + prices_.Run(n), 0, n, 0);
      }
      size_t length = kMinCopyLength;
      for (size_t i = 0; i < found; ++i) {
        const Op& c = candidates_[i];
        const uint32_t base = node.cost + Prices::Distance(c.distance);
        for (; length <= c.length; ++length) {
          Relax(cur + length, base + prices_.CopyLength(length), 0, length, c.distance);
        }
      }
    }
    Commit(pos, end);
    if (tail.length == 0) return pos + end;
    Emit(pos + end, tail);
    return pos + end + tail.length;
  }

  // Writes the operations on the cheapest path to `end`; literals stay
  // pending so that a run can continue into the next stretch.
  void Commit(size_t pos, size_t end) {
    path_.clear();
    for (size_t index = end; index > 0;) {
      const Node& node = nodes_[index];
      if (node.length == 0) {
        --index;
      } else {
        index -= node.length;
        path_.push_back({index, Op{node.length, node.distance}});
      }
    }
    for (auto it = path_.rbegin(); it != path_.rend(); ++it) Emit(pos + it->first, it->second);
  }

  void Emit(size_t at, const Op& op) {
    writer_.Put(at, op);
    literalStart_ = at + op.length;
  }

  const uint8_t* in_;
  size_t size_;
  LevelParams params_;
  MatchFinder finder_;
  Prices prices_;
  Sequencer& writer_;
  std::vector<Node> nodes_;
  std::vector<Op> candidates_;
  std::vector<std::pair<size_t, Op>> path_;
  size_t literalStart_ = 0;
  size_t runStart_ = 0;
  size_t runEnd_ = 0;
};

void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> Pack(std::span<const uint8_t> input, const PackOptions& options) {
  if (uint64_t{input.size()} > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("Pack: input longer than 4 GiB - 1");
  }
  const int level = std::clamp(options.level, 1, static_cast<int>(std::size(kLevels)));
  LevelParams params = kLevels[level - 1];
  if (options.windowLog != 0) {
    const unsigned log = std::clamp(options.windowLog, 8u, 8 * sizeof(size_t) == 4 ? 30u : 31u);
    params.nearLog = std::min(params.nearLog, log);
    params.farLog = log > params.nearLog ? log : 0;
  }

  std::vector<uint8_t> out;
  out.reserve(kPackedHeaderSize + input.size() + input.size() / 64 + 16);
  AppendLe32(out, kPackedMagic);
  AppendLe32(out, static_cast<uint32_t>(input.size()));
  OpWriter writer(out);
  if (!input.empty()) {
    Sequencer sequencer(input.data(), writer);
    Parser(input, params, sequencer).Run();
  }
  writer.Finish();
  return out;
}

}  // namespace setup
