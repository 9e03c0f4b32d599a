#include "pdf/image_stream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <queue>
#include <utility>
#include <vector>

namespace morvane::pdf {
namespace {

constexpr int kLiteralCodes = 286;  // 256 literals, the end of the block, 29 lengths
constexpr int kEndOfBlock = 256;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr uint16_t kMatch = 0x100;  // a token at or above it is a match of (token - kMatch)
constexpr size_t kMaxMatch = 258;
// A zero run shorter than this is cheaper as literals than as a literal and a match.
constexpr size_t kMinRun = 4;
constexpr uint64_t kAdlerModulus = 65521;

struct LengthCode {
  uint16_t symbol = 0;
  uint8_t extraBits = 0;
  uint16_t extra = 0;
};

// The symbol and extra bits of every match length, 3 to 258.
constexpr std::array<LengthCode, kMaxMatch + 1> lengthCodes() {
  constexpr int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                            31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  constexpr int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                             2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  std::array<LengthCode, kMaxMatch + 1> table{};
  for (int code = 0; code < 29; ++code) {
    const int end = code == 28 ? int(kMaxMatch) + 1 : base[code + 1];
    for (int length = base[code]; length < end; ++length)
      table[size_t(length)] = {uint16_t(257 + code), uint8_t(extra[code]),
                               uint16_t(length - base[code])};
  }
  return table;
}
constexpr auto kLengthCodes = lengthCodes();

// Huffman code lengths for `counts`, none longer than `limit` (the counts are halved until the
// tree is shallow enough). At least two symbols get a code, so the code is always complete.
std::vector<uint8_t> codeLengths(std::vector<uint64_t> counts, int limit) {
  int used = int(std::count_if(counts.begin(), counts.end(), [](uint64_t c) { return c > 0; }));
  for (size_t s = 0; used < 2 && s < counts.size(); ++s)
    if (counts[s] == 0) counts[s] = 1, ++used;
  std::vector<uint8_t> lengths(counts.size());
  for (;;) {
    using Node = std::pair<uint64_t, int>;  // weight, node
    std::priority_queue<Node, std::vector<Node>, std::greater<>> heap;
    std::vector<int> parent(2 * counts.size(), -1);
    for (size_t s = 0; s < counts.size(); ++s)
      if (counts[s] > 0) heap.push({counts[s], int(s)});
    int next = int(counts.size());
    while (heap.size() > 1) {
      const Node a = heap.top();
      heap.pop();
      const Node b = heap.top();
      heap.pop();
      parent[size_t(a.second)] = parent[size_t(b.second)] = next;
      heap.push({a.first + b.first, next++});
    }
    int deepest = 0;
    for (size_t s = 0; s < counts.size(); ++s) {
      if (counts[s] == 0) continue;
      int depth = 0;
      for (int n = int(s); parent[size_t(n)] >= 0; n = parent[size_t(n)]) ++depth;
      lengths[s] = uint8_t(depth);
      deepest = std::max(deepest, depth);
    }
    if (deepest <= limit) return lengths;
    for (auto& c : counts)
      if (c > 0) c = (c + 1) / 2;
  }
}

// The canonical codes of `lengths`, bit-reversed as the stream sends them.
std::vector<uint32_t> canonicalCodes(const std::vector<uint8_t>& lengths) {
  int count[kMaxCodeBits + 1] = {};
  for (const uint8_t length : lengths) ++count[length];
  count[0] = 0;
  uint32_t next[kMaxCodeBits + 1] = {};
  uint32_t code = 0;
  for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
    code = (code + uint32_t(count[bits - 1])) << 1;
    next[bits] = code;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t s = 0; s < lengths.size(); ++s) {
    if (lengths[s] == 0) continue;
    const uint32_t forward = next[lengths[s]]++;
    uint32_t reversed = 0;
    for (int bit = 0; bit < lengths[s]; ++bit)
      reversed |= ((forward >> bit) & 1u) << (lengths[s] - 1 - bit);
    codes[s] = reversed;
  }
  return codes;
}

// Least significant bit first, as deflate packs them.
class BitWriter {
 public:
  explicit BitWriter(uint8_t* out) : m_out(out) {}
  void put(uint32_t value, int count) {
    m_bits |= uint64_t(value) << m_count;
    m_count += count;
    if (m_count >= 32) {
      for (int i = 0; i < 4; ++i) *m_out++ = uint8_t(m_bits >> (8 * i));
      m_bits >>= 32;
      m_count -= 32;
    }
  }
  // Pads to a whole byte; returns the end of what was written.
  uint8_t* finish() {
    for (; m_count > 0; m_count -= 8, m_bits >>= 8) *m_out++ = uint8_t(m_bits);
    m_count = 0;
    return m_out;
  }

 private:
  uint8_t* m_out;
  uint64_t m_bits = 0;
  int m_count = 0;
};

// Literals and matches at distance 1, counted, with the Adler-32 checksum of the bytes they
// stand for (a run of zeros adds nothing to its first sum and that sum once a byte to the
// second).
struct Tokens {
  // Room for the most tokens `bytes` can make, one a byte; only what is used is touched.
  explicit Tokens(size_t bytes) : list(new uint16_t[bytes + 1]), end(list.get()) {}

  std::unique_ptr<uint16_t[]> list;  // a literal, or kMatch plus a match's length
  uint16_t* end;
  std::array<uint32_t, kLiteralCodes> counts{};
  uint64_t sum1 = 1, sum2 = 0;

  [[gnu::always_inline]] void literal(uint8_t byte) {
    *end++ = byte;
    ++counts[byte];
    sum1 += byte;
    sum2 += sum1;
  }
  void zeros(size_t run) {
    if (run < kMinRun) {
      for (size_t i = 0; i < run; ++i) literal(0);
      return;
    }
    literal(0);
    sum2 += sum1 * (run - 1);
    sum1 %= kAdlerModulus;
    sum2 %= kAdlerModulus;
    // The rest of the run as matches of the byte before, none shorter than 3.
    for (size_t left = run - 1; left > 0;) {
      size_t length = std::min(left, kMaxMatch);
      if (left - length > 0 && left - length < 3) length = left - 3;
      *end++ = uint16_t(kMatch + length);
      ++counts[kLengthCodes[length].symbol];
      left -= length;
    }
  }
  uint32_t adler() const { return uint32_t((sum2 % kAdlerModulus) << 16 | (sum1 % kAdlerModulus)); }
};

// Without branches: noisy pixels would mispredict them half the time.
int paeth(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  const int bc = pb <= pc ? b : c;
  return (pa <= pb) & (pa <= pc) ? a : bc;
}

}  // namespace

QByteArray deflatedRows(const QImage& image) {
  // Runs are found pixel by pixel, without writing the filtered rows out; a row's filter byte
  // ends any run.
  const int width = image.width();
  Tokens tokens((3 * size_t(width) + 1) * size_t(image.height()));
  // Paeth's predictor: zero where a pixel, and the one left of it, equal those above them.
  constexpr QRgb kColour = 0xffffff;
  const std::vector<QRgb> none(size_t(width), 0);
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* above =
        y > 0 ? reinterpret_cast<const QRgb*>(image.constScanLine(y - 1)) : none.data();
    const auto same = [&](int x) { return ((line[x] ^ above[x]) & kColour) == 0; };
    tokens.literal(4);
    for (int x = 0; x < width;) {
      if (same(x) && (x == 0 || same(x - 1))) {
        int end = x + 1;
        for (uint64_t now = 0, up = 0; end + 2 <= width; end += 2) {  // two pixels at a time
          std::memcpy(&now, line + end, 8);
          std::memcpy(&up, above + end, 8);
          if ((now ^ up) & 0x00ffffff00ffffff) break;
        }
        while (end < width && same(end)) ++end;
        tokens.zeros(3 * size_t(end - x));
        x = end;
        continue;
      }
      const QRgb pixel = line[x], b = above[x];
      const QRgb a = x > 0 ? line[x - 1] : 0, c = x > 0 ? above[x - 1] : 0;
      tokens.literal(uint8_t(qRed(pixel) - paeth(qRed(a), qRed(b), qRed(c))));
      tokens.literal(uint8_t(qGreen(pixel) - paeth(qGreen(a), qGreen(b), qGreen(c))));
      tokens.literal(uint8_t(qBlue(pixel) - paeth(qBlue(a), qBlue(b), qBlue(c))));
      ++x;
    }
  }
  tokens.counts[kEndOfBlock] = 1;

  const std::vector<uint8_t> lengths =
      codeLengths(std::vector<uint64_t>(tokens.counts.begin(), tokens.counts.end()), kMaxCodeBits);
  const std::vector<uint32_t> codes = canonicalCodes(lengths);
  // The one distance used (1) and a second one, so that code is complete: one bit each.
  constexpr int kDistanceCodes = 2;
  std::vector<uint64_t> lengthCounts(19);
  for (const uint8_t length : lengths) ++lengthCounts[length];
  lengthCounts[1] += kDistanceCodes;
  const std::vector<uint8_t> metaLengths = codeLengths(lengthCounts, kMaxCodeLengthBits);
  const std::vector<uint32_t> metaCodes = canonicalCodes(metaLengths);

  // Header, code tables, at most 21 bits a token, the end of the block and the checksum.
  QByteArray out(qsizetype(2 + 400 + 3 * size_t(tokens.end - tokens.list.get()) + 8),
                 Qt::Uninitialized);
  auto* begin = reinterpret_cast<uint8_t*>(out.data());
  begin[0] = 0x78;  // deflate, 32 KB window
  begin[1] = 0x01;  // fastest level, no dictionary; the two bytes are a multiple of 31
  BitWriter bits(begin + 2);
  bits.put(1, 1);  // the last block
  bits.put(2, 2);  // with its own Huffman codes
  bits.put(kLiteralCodes - 257, 5);
  bits.put(kDistanceCodes - 1, 5);
  bits.put(19 - 4, 4);
  static constexpr uint8_t kMetaOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                             11, 4,  12, 3, 13, 2, 14, 1, 15};
  for (const uint8_t symbol : kMetaOrder) bits.put(metaLengths[symbol], 3);
  for (const uint8_t length : lengths) bits.put(metaCodes[length], metaLengths[length]);
  for (int d = 0; d < kDistanceCodes; ++d) bits.put(metaCodes[1], metaLengths[1]);
  // Every token's bits at once: a literal's code; a length's code, its extra bits and the
  // one-bit code of distance 1.
  struct Bits {
    uint32_t value;
    int count;
  };
  std::array<Bits, kMatch + kMaxMatch + 1> written{};
  for (int literal = 0; literal < 256; ++literal)
    written[size_t(literal)] = {codes[size_t(literal)], lengths[size_t(literal)]};
  for (size_t length = 3; length <= kMaxMatch; ++length) {
    const LengthCode& code = kLengthCodes[length];
    const int bits = lengths[code.symbol];
    written[kMatch + length] = {codes[code.symbol] | uint32_t(code.extra) << bits,
                                bits + code.extraBits + 1};
  }
  for (const uint16_t* token = tokens.list.get(); token != tokens.end; ++token)
    bits.put(written[*token].value, written[*token].count);
  bits.put(codes[kEndOfBlock], lengths[kEndOfBlock]);
  uint8_t* end = bits.finish();
  const uint32_t adler = tokens.adler();
  for (int shift = 24; shift >= 0; shift -= 8) *end++ = uint8_t(adler >> shift);
  out.truncate(qsizetype(end - begin));
  return out;
}

QByteArray imageDictionary(int width, int height, qsizetype length) {
  const QByteArray w = QByteArray::number(width);
  return "/Type /XObject\n/Subtype /Image\n/Width " + w + "\n/Height " +
         QByteArray::number(height) + "\n/BitsPerComponent 8\n/ColorSpace /DeviceRGB\n/Length " +
         QByteArray::number(length) +
         "\n/Filter /FlateDecode\n/DecodeParms << /Predictor 15 /Colors 3 /BitsPerComponent 8 "
         "/Columns " +
         w + " >>\n";
}

QByteArray jpegImageDictionary(const QByteArray& jpeg) {
  const auto byte = [&jpeg](qsizetype at) { return quint8(jpeg[at]); };
  if (jpeg.size() < 4 || byte(0) != 0xff || byte(1) != 0xd8) return {};
  qsizetype at = 2;
  while (at + 4 <= jpeg.size()) {
    if (byte(at) != 0xff) return {};
    const quint8 marker = byte(at + 1);
    if (marker == 0xff) {  // fill byte before a marker
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {  // markers without a length
      at += 2;
      continue;
    }
    const qsizetype length = byte(at + 2) << 8 | byte(at + 3);
    if (length < 2 || at + 2 + length > jpeg.size()) return {};
    // A frame header: any SOFn but the define-table markers that share its range.
    const bool frame =
        marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
    if (frame) {
      if (length < 8) return {};
      const int precision = byte(at + 4);
      const int height = byte(at + 5) << 8 | byte(at + 6);
      const int width = byte(at + 7) << 8 | byte(at + 8);
      const int components = byte(at + 9);
      // Baseline, extended or progressive Huffman coding: what every reader decodes.
      if (precision != 8 || width == 0 || height == 0 || marker > 0xc2 ||
          (components != 1 && components != 3))
        return {};
      return "/Type /XObject\n/Subtype /Image\n/Width " + QByteArray::number(width) + "\n/Height " +
             QByteArray::number(height) + "\n/BitsPerComponent 8\n/ColorSpace " +
             (components == 1 ? QByteArrayLiteral("/DeviceGray")
                              : QByteArrayLiteral("/DeviceRGB")) +
             "\n/Length " + QByteArray::number(jpeg.size()) + "\n/Filter /DCTDecode\n";
    }
    if (marker == 0xda || marker == 0xd9) return {};  // a scan or the end before any frame
    at += 2 + length;
  }
  return {};
}

}  // namespace morvane::pdf
