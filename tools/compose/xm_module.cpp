// Writes the XM model byte for byte: header, packed patterns, instruments, delta-coded samples.
#include "xm_module.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Fixed layout sizes of the format.
constexpr uint32_t kHeaderSize = 276;          // counted from offset 60
constexpr uint32_t kPatternHeaderSize = 9;
constexpr uint32_t kInstrumentHeaderSize = 263;  // with samples
constexpr uint32_t kSampleHeaderSize = 40;
constexpr int kMaxEnvelopePoints = 12;

class ByteSink {
 public:
  void U8(int v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void U16(int v) {
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
  }
  void U32(uint32_t v) {
    for (int b = 0; b < 4; ++b) U8(static_cast<int>((v >> (8 * b)) & 0xFF));
  }
  // A fixed-width text field, padded with spaces as trackers do.
  void Text(const std::string& s, size_t width, char pad) {
    for (size_t i = 0; i < width; ++i) U8(i < s.size() ? static_cast<uint8_t>(s[i]) : static_cast<uint8_t>(pad));
  }
  void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
  std::vector<uint8_t> bytes;
};

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error("XM writer: " + what);
}

void WriteEnvelopePoints(ByteSink& out, const XmEnvelope& env) {
  for (int i = 0; i < kMaxEnvelopePoints; ++i) {
    if (i < static_cast<int>(env.points.size())) {
      out.U16(env.points[i].tick);
      out.U16(env.points[i].value);
    } else {
      out.U16(0);
      out.U16(0);
    }
  }
}

int EnvelopeFlags(const XmEnvelope& env) {
  if (!env.Enabled()) return 0;
  int flags = 1;
  if (env.sustain >= 0) flags |= 2;
  if (env.loopStart >= 0) flags |= 4;
  return flags;
}

void CheckEnvelope(const XmEnvelope& env, const std::string& owner) {
  Check(env.points.size() <= kMaxEnvelopePoints, owner + ": more than 12 envelope points");
  for (size_t i = 0; i < env.points.size(); ++i) {
    Check(env.points[i].value <= 64, owner + ": envelope value above 64");
    if (i == 0) Check(env.points[0].tick == 0, owner + ": envelope must start at tick 0");
    if (i > 0) Check(env.points[i].tick > env.points[i - 1].tick, owner + ": envelope ticks must rise");
  }
  int n = static_cast<int>(env.points.size());
  Check(env.sustain < n && env.loopStart < n && env.loopEnd < n, owner + ": envelope index out of range");
}

}  // namespace

std::vector<uint8_t> PackXmPattern(const XmPattern& pattern, int channels) {
  std::vector<uint8_t> out;
  for (const XmCell& c : pattern.cells) {
    bool all = c.note && c.instrument && c.volume && c.effect && c.param;
    if (all) {
      out.insert(out.end(), {c.note, c.instrument, c.volume, c.effect, c.param});
      continue;
    }
    uint8_t flags = 0x80;
    if (c.note) flags |= 1;
    if (c.instrument) flags |= 2;
    if (c.volume) flags |= 4;
    if (c.effect) flags |= 8;
    if (c.param) flags |= 16;
    out.push_back(flags);
    if (c.note) out.push_back(c.note);
    if (c.instrument) out.push_back(c.instrument);
    if (c.volume) out.push_back(c.volume);
    if (c.effect) out.push_back(c.effect);
    if (c.param) out.push_back(c.param);
  }
  (void)channels;
  return out;
}

size_t XmInstrumentBytes(const XmInstrument& instrument) {
  size_t n = kInstrumentHeaderSize + kSampleHeaderSize * instrument.samples.size();
  for (const XmSample& s : instrument.samples) n += s.ByteLength();
  return n;
}

std::vector<uint8_t> SerializeXm(const XmModule& m) {
  Check(m.channels >= 2 && m.channels <= 32 && m.channels % 2 == 0, "channel count must be even, 2..32");
  Check(m.speed >= 1 && m.speed <= 31, "speed out of range");
  Check(m.bpm >= 32 && m.bpm <= 255, "BPM out of range");
  Check(!m.orders.empty() && m.orders.size() <= 256, "order list must hold 1..256 entries");
  Check(m.restart >= 0 && m.restart < static_cast<int>(m.orders.size()), "restart outside the order list");
  Check(m.patterns.size() <= 256, "too many patterns");
  Check(m.instruments.size() <= 128, "too many instruments");
  for (uint8_t o : m.orders) Check(o < m.patterns.size(), "order refers to a missing pattern");

  ByteSink out;
  out.Text("Extended Module: ", 17, '\0');
  out.Text(m.name, 20, '\0');
  out.U8(0x1A);
  out.Text(m.trackerName, 20, '\0');
  out.U16(0x0104);
  out.U32(kHeaderSize);
  out.U16(static_cast<int>(m.orders.size()));
  out.U16(m.restart);
  out.U16(m.channels);
  out.U16(static_cast<int>(m.patterns.size()));
  out.U16(static_cast<int>(m.instruments.size()));
  out.U16(1);  // linear frequency table
  out.U16(m.speed);
  out.U16(m.bpm);
  for (int i = 0; i < 256; ++i) out.U8(i < static_cast<int>(m.orders.size()) ? m.orders[i] : 0);

  for (const XmPattern& p : m.patterns) {
    Check(p.rows >= 1 && p.rows <= 256, "pattern rows must be 1..256");
    Check(p.cells.size() == static_cast<size_t>(p.rows * m.channels), "pattern cell count mismatch");
    for (const XmCell& c : p.cells) {
      Check(c.note <= kXmKeyOff, "note out of range");
      Check(c.instrument <= m.instruments.size(), "cell names a missing instrument");
    }
    std::vector<uint8_t> packed = PackXmPattern(p, m.channels);
    Check(packed.size() <= 0xFFFF, "packed pattern too large");
    out.U32(kPatternHeaderSize);
    out.U8(0);
    out.U16(p.rows);
    out.U16(static_cast<int>(packed.size()));
    out.bytes.insert(out.bytes.end(), packed.begin(), packed.end());
  }

  for (const XmInstrument& ins : m.instruments) {
    Check(!ins.samples.empty() && ins.samples.size() <= 16, ins.name + ": an instrument needs 1..16 samples");
    CheckEnvelope(ins.volumeEnvelope, ins.name);
    CheckEnvelope(ins.panningEnvelope, ins.name);
    out.U32(kInstrumentHeaderSize);
    out.Text(ins.name, 22, '\0');
    out.U8(0);
    out.U16(static_cast<int>(ins.samples.size()));
    out.U32(kSampleHeaderSize);
    for (uint8_t k : ins.keymap) {
      Check(k < ins.samples.size(), ins.name + ": keymap names a missing sample");
      out.U8(k);
    }
    WriteEnvelopePoints(out, ins.volumeEnvelope);
    WriteEnvelopePoints(out, ins.panningEnvelope);
    out.U8(static_cast<int>(ins.volumeEnvelope.points.size()));
    out.U8(static_cast<int>(ins.panningEnvelope.points.size()));
    out.U8(std::max(ins.volumeEnvelope.sustain, 0));
    out.U8(std::max(ins.volumeEnvelope.loopStart, 0));
    out.U8(std::max(ins.volumeEnvelope.loopEnd, 0));
    out.U8(std::max(ins.panningEnvelope.sustain, 0));
    out.U8(std::max(ins.panningEnvelope.loopStart, 0));
    out.U8(std::max(ins.panningEnvelope.loopEnd, 0));
    out.U8(EnvelopeFlags(ins.volumeEnvelope));
    out.U8(EnvelopeFlags(ins.panningEnvelope));
    out.U8(ins.vibratoType);
    out.U8(ins.vibratoSweep);
    out.U8(ins.vibratoDepth);
    out.U8(ins.vibratoRate);
    out.U16(ins.fadeout);
    out.Zeros(kInstrumentHeaderSize - 241);  // reserved to the end of the header

    for (const XmSample& s : ins.samples) {
      Check(!s.frames.empty(), ins.name + ": empty sample");
      Check(s.loopStart + s.loopLength <= s.frames.size(), ins.name + ": loop beyond the sample end");
      int width = s.sixteenBit ? 2 : 1;
      out.U32(s.ByteLength());
      out.U32(s.loopStart * width);
      out.U32(s.loopLength * width);
      out.U8(s.volume);
      out.U8(static_cast<uint8_t>(s.finetune));
      int type = s.loopLength == 0 ? 0 : (s.pingPong ? 2 : 1);
      if (s.sixteenBit) type |= 0x10;
      out.U8(type);
      out.U8(s.panning);
      out.U8(static_cast<uint8_t>(s.relativeNote));
      out.U8(0);
      out.Text(s.name, 22, '\0');
    }
    for (const XmSample& s : ins.samples) {
      int previous = 0;
      for (int v : s.frames) {
        if (s.sixteenBit) {
          Check(v >= -32768 && v <= 32767, ins.name + ": 16-bit sample value out of range");
          out.U16((v - previous) & 0xFFFF);
        } else {
          Check(v >= -128 && v <= 127, ins.name + ": 8-bit sample value out of range");
          out.U8((v - previous) & 0xFF);
        }
        previous = v;
      }
    }
  }
  return out.bytes;
}
