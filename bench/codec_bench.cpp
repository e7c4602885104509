// Side-by-side figures for the payload codec: pack and unpack speed and the
// packed size on a fixed generated corpus, next to zlib's deflate at level 9
// (what gzip -9 does) and inflate, and a plain memcpy, all measured in the
// same run. Times are the process's CPU time, best of several runs, so that
// other work on a shared machine counts less; still, read the ratios more
// than the MB/s.
//
//   codec_bench [--level N] [--scale F] [--save DIR] [--files PATH...]
//
// The input is packed in 4 MiB pieces, as the authoring tool cuts the
// archive; deflate gets each corpus as one stream. --files adds a corpus
// made of the given files (directories are read recursively); --save
// writes the generated corpora to DIR for other tools.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "setup/payload/pack.h"
#include "setup/payload/unpack.h"

namespace {

using Bytes = std::vector<uint8_t>;

// CPU time of this process in seconds.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

constexpr size_t kChunk = size_t{4} << 20;

// ---- Corpus -------------------------------------------------------------

// A fixed pseudo-random source, the same on every machine and library.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<uint32_t>(state_ >> 16);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
  // Rank 0 .. n-1, small ranks far more often (about Zipf's law).
  uint32_t Skewed(uint32_t n) {
    double u = (Next() + 0.5) / 4294967296.0;
    return std::min<uint32_t>(n - 1, static_cast<uint32_t>(std::pow(static_cast<double>(n), u)) - 1);
  }

 private:
  uint64_t state_;
};

std::vector<std::string> Vocabulary(size_t count, uint64_t seed) {
  static const char* const kSyllables[] = {"ka", "ri", "ton", "es", "ma", "lin", "or", "de", "ver", "sa",
                                           "in", "co", "pro", "tion", "al", "er", "st", "an", "re", "ment",
                                           "di", "ble", "ing", "un", "ex", "at", "ic", "ly", "ter", "ol"};
  Rng rng(seed);
  std::vector<std::string> words = {"the", "of", "and", "to", "a", "in", "is", "for", "that", "with",
                                    "file", "setup", "you", "on", "be", "this", "are", "or", "by", "not"};
  while (words.size() < count) {
    std::string w;
    for (uint32_t s = 1 + rng.Below(3) + rng.Below(2); s > 0; --s) w += kSyllables[rng.Below(std::size(kSyllables))];
    words.push_back(w);
  }
  return words;
}

void Append(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

// Prose wrapped in lines, log lines, XML and INI entries.
Bytes TextLike(size_t size, uint64_t seed) {
  static const std::vector<std::string> words = Vocabulary(3000, 1);
  Rng rng(seed);
  Bytes out;
  char line[256];
  while (out.size() < size) {
    const uint32_t kind = rng.Below(10);
    if (kind < 6) {  // a paragraph
      size_t column = 0;
      for (uint32_t sentence = 3 + rng.Below(6); sentence > 0; --sentence) {
        for (uint32_t w = 6 + rng.Below(18); w > 0; --w) {
          std::string word = words[rng.Skewed(static_cast<uint32_t>(words.size()))];
          if (w == 1) word += rng.Below(5) ? "." : "?";
          if (column + word.size() > 76) {
            Append(out, "\r\n");
            column = 0;
          } else if (column > 0) {
            Append(out, " ");
            ++column;
          }
          Append(out, word);
          column += word.size();
        }
      }
      Append(out, "\r\n\r\n");
    } else if (kind < 8) {  // log lines
      for (uint32_t n = 5 + rng.Below(30); n > 0; --n) {
        std::snprintf(line, sizeof line, "2024-%02u-%02u %02u:%02u:%02u [%s] %s \"C:\\Program Files\\%s\\%s%03u.dll\" (%u bytes)\r\n",
                      1 + rng.Below(12), 1 + rng.Below(28), rng.Below(24), rng.Below(60), rng.Below(60),
                      rng.Below(8) ? "INFO" : "WARN", rng.Below(3) ? "Copying" : "Registering",
                      words[20 + rng.Skewed(200)].c_str(), words[20 + rng.Skewed(500)].c_str(), rng.Below(1000),
                      rng.Below(5000000));
        Append(out, line);
      }
    } else if (kind < 9) {  // XML
      for (uint32_t n = 5 + rng.Below(30); n > 0; --n) {
        std::snprintf(line, sizeof line,
                      "  <File Id=\"f%u\" Name=\"%s.%s\" Size=\"%u\" Version=\"%u.%u.%u.0\" Component=\"%s\"/>\r\n",
                      rng.Below(100000), words[20 + rng.Skewed(800)].c_str(), rng.Below(3) ? "dll" : "txt",
                      rng.Below(900000), rng.Below(10), rng.Below(20), rng.Below(3000),
                      words[20 + rng.Skewed(50)].c_str());
        Append(out, line);
      }
    } else {  // INI
      std::snprintf(line, sizeof line, "[%s]\r\n", words[20 + rng.Skewed(100)].c_str());
      Append(out, line);
      for (uint32_t n = 3 + rng.Below(12); n > 0; --n) {
        std::snprintf(line, sizeof line, "%s=%u\r\n", words[20 + rng.Skewed(400)].c_str(), rng.Below(rng.Below(2) ? 2 : 65536));
        Append(out, line);
      }
    }
  }
  out.resize(size);
  return out;
}

void Put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Program-file-like bytes: 32-bit x86 code built from common instruction
// shapes with near branch targets and a small set of called addresses,
// pointer tables, records, zero padding and ASCII / UTF-16 strings.
Bytes BinaryLike(size_t size, uint64_t seed) {
  static const std::vector<std::string> words = Vocabulary(3000, 1);
  Rng rng(seed);
  Bytes out;
  std::vector<uint32_t> imports, functions;
  for (int i = 0; i < 150; ++i) imports.push_back(0x10002000 + 4 * static_cast<uint32_t>(i));
  for (int i = 0; i < 400; ++i) functions.push_back(0x10001000 + 16 * rng.Below(0x8000));
  while (out.size() < size) {
    const uint32_t kind = rng.Below(20);
    if (kind < 13) {  // a function
      out.insert(out.end(), {0x55, 0x8B, 0xEC});
      if (rng.Below(2)) out.insert(out.end(), {0x83, 0xEC, static_cast<uint8_t>(4 * (1 + rng.Below(16)))});
      for (uint32_t n = 5 + rng.Below(60); n > 0; --n) {
        const uint8_t reg = static_cast<uint8_t>(rng.Skewed(8));
        switch (rng.Skewed(12)) {
          case 0: out.insert(out.end(), {0x8B, static_cast<uint8_t>(0x45 + 8 * reg), static_cast<uint8_t>(0x08 + 4 * rng.Skewed(8))}); break;
          case 1: out.insert(out.end(), {0x89, static_cast<uint8_t>(0x45 + 8 * reg), static_cast<uint8_t>(0x100 - 4 * (1 + rng.Skewed(16)))}); break;
          case 2: out.push_back(static_cast<uint8_t>(0x50 + reg)); break;
          case 3: out.push_back(0xE8); Put32(out, functions[rng.Skewed(400)] - 0x10001000 - static_cast<uint32_t>(out.size())); break;
          case 4: out.insert(out.end(), {0xFF, 0x15}); Put32(out, imports[rng.Skewed(150)]); break;
          case 5: out.insert(out.end(), {0x85, static_cast<uint8_t>(0xC0 + 9 * reg)}); out.push_back(rng.Below(2) ? 0x74 : 0x75); out.push_back(static_cast<uint8_t>(2 + rng.Below(40))); break;
          case 6: out.insert(out.end(), {0x6A, static_cast<uint8_t>(rng.Skewed(16))}); break;
          case 7: out.push_back(0x68); Put32(out, 0x10005000 + 4 * rng.Skewed(2000)); break;
          case 8: out.insert(out.end(), {0x33, static_cast<uint8_t>(0xC0 + 9 * reg)}); break;
          case 9: out.insert(out.end(), {0x83, 0xC4, static_cast<uint8_t>(4 * (1 + rng.Skewed(6)))}); break;
          case 10: out.insert(out.end(), {0x0F, 0x84}); Put32(out, 16 + rng.Below(400)); break;
          default: out.insert(out.end(), {0x8D, static_cast<uint8_t>(0x4D + 8 * reg), static_cast<uint8_t>(0x100 - 4 * (1 + rng.Skewed(32)))}); break;
        }
      }
      out.insert(out.end(), {0x8B, 0xE5, 0x5D, 0xC3});
      while (out.size() % 16 != 0) out.push_back(0xCC);
    } else if (kind < 15) {  // pointer table
      uint32_t base = 0x10001000 + 16 * rng.Below(0x8000);
      for (uint32_t n = 4 + rng.Below(60); n > 0; --n) Put32(out, base += 16 * (1 + rng.Skewed(40)));
    } else if (kind < 17) {  // records
      for (uint32_t n = 2 + rng.Below(40); n > 0; --n) {
        Put32(out, rng.Skewed(100));
        Put32(out, rng.Below(3) ? 0 : rng.Next());
        Put32(out, 0x10005000 + 4 * rng.Skewed(2000));
        Put32(out, static_cast<uint32_t>(1) << rng.Below(12));
      }
    } else if (kind < 18) {  // alignment padding
      out.resize(out.size() + 16 * (1 + rng.Skewed(256)), 0);
    } else {  // strings, ASCII or UTF-16LE
      const bool wide = rng.Below(2);
      for (uint32_t n = 3 + rng.Below(20); n > 0; --n) {
        std::string s = words[rng.Skewed(3000)];
        for (uint32_t w = rng.Below(4); w > 0; --w) s += (rng.Below(2) ? "\\" : " ") + words[rng.Skewed(3000)];
        for (char c : s) {
          out.push_back(static_cast<uint8_t>(c));
          if (wide) out.push_back(0);
        }
        out.push_back(0);
        if (wide) out.push_back(0);
      }
    }
  }
  out.resize(size);
  return out;
}

// Already-compressed bytes: deflate output of generated text, as found in
// archives, images and installers inside the product.
Bytes Compressed(size_t size, uint64_t seed) {
  Bytes out;
  for (uint64_t part = 0; out.size() < size; ++part) {
    Bytes text = TextLike(size_t{1} << 20, seed * 1000 + part);
    uLongf packedSize = compressBound(static_cast<uLong>(text.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, text.data(), static_cast<uLong>(text.size()), 6);
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<ptrdiff_t>(packedSize));
  }
  out.resize(size);
  return out;
}

// Files of the three kinds in random order, about 45% program files, 30%
// text and 25% already compressed by volume, as in a product's archive.
Bytes Mixed(size_t size, uint64_t seed) {
  Rng rng(seed);
  Bytes out;
  for (uint64_t part = 0; out.size() < size; ++part) {
    const size_t n = 4096 + rng.Below(600000);
    const uint32_t kind = rng.Below(20);
    Bytes piece = kind < 9 ? BinaryLike(n, seed + part) : kind < 15 ? TextLike(n, seed + part) : Compressed(n, seed + part);
    out.insert(out.end(), piece.begin(), piece.end());
  }
  out.resize(size);
  return out;
}

Bytes ReadFiles(const std::vector<std::string>& paths) {
  Bytes out;
  auto readOne = [&](const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    out.insert(out.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  for (const auto& path : paths) {
    if (std::filesystem::is_directory(path)) {
      std::vector<std::filesystem::path> files;
      for (const auto& e : std::filesystem::recursive_directory_iterator(path)) {
        if (e.is_regular_file()) files.push_back(e.path());
      }
      std::sort(files.begin(), files.end());
      for (const auto& f : files) readOne(f);
    } else {
      readOne(path);
    }
  }
  return out;
}

// ---- Measurement --------------------------------------------------------

// Best time of repeated runs: at least `minRuns` and about 0.5 s in all.
template <class F>
double BestSeconds(F&& run, int minRuns = 3) {
  double best = 1e30, total = 0;
  for (int i = 0; i < minRuns || (total < 0.5 && i < 200); ++i) {
    const double start = CpuSeconds();
    run();
    const double s = CpuSeconds() - start;
    best = std::min(best, s);
    total += s;
  }
  return best;
}

double MBs(size_t bytes, double seconds) { return bytes / seconds / 1e6; }

struct Figures {
  size_t size = 0, packed = 0, deflated = 0;
  double packMBs = 0, unpackMBs = 0, deflateMBs = 0, inflateMBs = 0, memcpyMBs = 0;
};

Figures Measure(const Bytes& input, int level) {
  Figures f;
  f.size = input.size();
  std::vector<Bytes> chunks;
  const double packStart = CpuSeconds();
  for (size_t at = 0; at < input.size(); at += kChunk) {
    const size_t n = std::min(kChunk, input.size() - at);
    chunks.push_back(setup::Pack(std::span(input.data() + at, n), setup::PackOptions{level, 0}));
  }
  f.packMBs = MBs(input.size(), CpuSeconds() - packStart);
  for (const auto& c : chunks) f.packed += c.size();

  // Each chunk is checked once, then timed.
  size_t at = 0;
  for (const auto& c : chunks) {
    auto out = setup::Unpack(c);
    if (!out || !std::equal(out->begin(), out->end(), input.begin() + static_cast<ptrdiff_t>(at))) {
      std::fprintf(stderr, "round trip failed at offset %zu\n", at);
      std::exit(1);
    }
    at += out->size();
  }
  // One output buffer for all chunks, as the archive reader keeps it and
  // as inflate gets it below.
  size_t sink = 0;
  Bytes output;
  f.unpackMBs = MBs(input.size(), BestSeconds([&] {
                      for (const auto& c : chunks) {
                        setup::Unpack(c, output);
                        sink += output.size();
                      }
                    }));

  uLongf bound = compressBound(static_cast<uLong>(input.size()));
  Bytes deflated(bound);
  uLongf deflatedSize = bound;
  const double deflateStart = CpuSeconds();
  compress2(deflated.data(), &deflatedSize, input.data(), static_cast<uLong>(input.size()), 9);
  f.deflateMBs = MBs(input.size(), CpuSeconds() - deflateStart);
  f.deflated = deflatedSize;
  Bytes inflated(input.size());
  f.inflateMBs = MBs(input.size(), BestSeconds([&] {
                       uLongf n = static_cast<uLongf>(inflated.size());
                       uncompress(inflated.data(), &n, deflated.data(), deflatedSize);
                       sink += n;
                     }));
  if (inflated != input) {
    std::fprintf(stderr, "zlib round trip failed\n");
    std::exit(1);
  }
  Bytes copy(input.size());
  f.memcpyMBs = MBs(input.size(), BestSeconds([&] {
                      std::memcpy(copy.data(), input.data(), input.size());
                      sink += copy[input.size() / 2];
                    }));
  if (sink == 42) std::puts("");
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  int level = setup::PackOptions{}.level;
  double scale = 1.0;
  std::vector<std::string> files;
  std::string saveDir;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--level" && i + 1 < argc) {
      level = std::atoi(argv[++i]);
    } else if (arg == "--scale" && i + 1 < argc) {
      scale = std::atof(argv[++i]);
    } else if (arg == "--save" && i + 1 < argc) {
      saveDir = argv[++i];
    } else if (arg == "--files") {
      while (i + 1 < argc) files.push_back(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: %s [--level N] [--scale F] [--save DIR] [--files PATH...]\n", argv[0]);
      return 2;
    }
  }
  auto scaled = [&](size_t mib) { return static_cast<size_t>(mib * scale * (1 << 20)); };
  struct Named {
    const char* name;
    Bytes data;
  };
  std::vector<Named> corpora;
  corpora.push_back({"text", TextLike(scaled(4), 11)});
  corpora.push_back({"binary", BinaryLike(scaled(4), 12)});
  corpora.push_back({"compressed", Compressed(scaled(2), 13)});
  corpora.push_back({"mixed", Mixed(scaled(12), 14)});
  if (!saveDir.empty()) {
    for (const auto& c : corpora) {
      std::ofstream(std::filesystem::path(saveDir) / c.name, std::ios::binary)
          .write(reinterpret_cast<const char*>(c.data.data()), static_cast<std::streamsize>(c.data.size()));
    }
  }
  if (!files.empty()) corpora.push_back({"files", ReadFiles(files)});

  std::printf("level %d, packed in 4 MiB pieces; gzip -9 = zlib deflate level 9 on the whole corpus\n\n", level);
  std::printf("%-10s %9s %9s %9s %7s | %8s %8s | %8s %8s %7s | %8s\n", "corpus", "bytes", "packed", "gzip-9",
              "vs gz", "pack", "deflate", "unpack", "inflate", "vs inf", "memcpy");
  std::printf("%-10s %9s %9s %9s %7s | %8s %8s | %8s %8s %7s | %8s\n", "", "", "", "", "", "MB/s", "MB/s", "MB/s",
              "MB/s", "", "MB/s");
  for (const auto& c : corpora) {
    if (c.data.empty()) continue;
    Figures f = Measure(c.data, level);
    std::printf("%-10s %9zu %9zu %9zu %7.3f | %8.1f %8.1f | %8.0f %8.0f %7.2f | %8.0f\n", c.name, f.size, f.packed,
                f.deflated, static_cast<double>(f.packed) / f.deflated, f.packMBs, f.deflateMBs, f.unpackMBs,
                f.inflateMBs, f.unpackMBs / f.inflateMBs, f.memcpyMBs);
    std::fflush(stdout);
  }
  return 0;
}
