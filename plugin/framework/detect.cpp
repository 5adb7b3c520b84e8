#include "plugin/framework/detect.h"

#include <cstring>

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const char* a, const char* b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// The text after the last '.' anywhere in the name; a name without a dot
// is its own extension. Null when there is no name.
const char* ExtensionOf(const char* fileName) {
  if (!fileName) return nullptr;
  const char* dot = std::strrchr(fileName, '.');
  return dot ? dot + 1 : fileName;
}

// A gate is open when there is no extension or the extension matches.
bool GateOpen(const char* extension, const char* gate) {
  if (!extension) return true;
  size_t length = std::strlen(gate);
  return std::strlen(extension) == length && EqualIgnoringCase(extension, gate, length);
}

bool BytesAre(const uint8_t* header, const char* text, size_t count) {
  return std::memcmp(header, text, count) == 0;
}

ImageFormat DetectPX(const uint8_t* h) {
  const uint32_t a = Le32(h), b = Le32(h + 4), t = Le32(h + 16), c = Le32(h + 20), d = Le32(h + 24);
  const uint32_t low = t & 0xFFFF, high = t >> 16;
  const char* text = reinterpret_cast<const char*>(h + 20);
  if ((t == 0x00200001 || t == 0x00080007) && a == c && b == d) return ImageFormat::PX;
  if (t == 0x90 && b == 1 && EqualIgnoringCase(text, "LeafAQUAPLUS", 12)) return ImageFormat::PX;
  if (t == 0x0020000A || t == 0x00080001) return ImageFormat::PX;
  if (high == 16 && static_cast<int16_t>(low) < 4) return ImageFormat::PX;
  if ((low == 0x40 && a != 0) || (low == 0x44 && a > 1)) return ImageFormat::PX3;
  if (t == 0x00200004 && (a == c || BytesAre(h + 20, "LeafAquaPlus", 12))) return ImageFormat::PX2;
  if (t == 0x0020000B && (Le16(h + 4) == 16 || Le16(h + 4) == 32)) return ImageFormat::PX4;
  if (t == 0x0020000C) return ImageFormat::PX5;
  return ImageFormat::None;
}

}  // namespace

ImageFormat DetectFormat(const char* fileName, const uint8_t* h) {
  const char* ext = ExtensionOf(fileName);
  const uint32_t first = Le32(h);
  if (GateOpen(ext, "TGA") && (first == 0x00020000 || first == 0x00010100)) return ImageFormat::Tga;
  if (GateOpen(ext, "BBM") && h[8] == h[1] && h[9] == h[0] && h[10] == h[3] && h[11] == h[2])
    return ImageFormat::Bbm;
  if (GateOpen(ext, "LFB") && BytesAre(h, "LFB\0", 4)) return ImageFormat::Lfb;
  if (GateOpen(ext, "LFF") && BytesAre(h, "LEAFFUL\0", 8)) return ImageFormat::Lff;
  if (GateOpen(ext, "LCF") && BytesAre(h, "LEAFCFL\0", 8)) return ImageFormat::Lcf;
  if (BytesAre(h, "lgf", 3)) return ImageFormat::Lgf;
  if (BytesAre(h, "cz10", 4)) return ImageFormat::CZ1;
  if (BytesAre(h, "cz20", 4) && (h[4] == 1 || BytesAre(h + 5, "cz2", 3))) return ImageFormat::CZ2;
  if (!GateOpen(ext, "PX")) return ImageFormat::None;
  return DetectPX(h);
}

int CreateDecoder(const char* fileName, ByteSpan data, DecoderPtr* decoder) {
  uint8_t header[kDetectionBytes] = {};
  if (data.size) std::memcpy(header, data.data, data.size < kDetectionBytes ? data.size : kDetectionBytes);
  const ImageFormat format = DetectFormat(fileName, header);
  if (format == ImageFormat::None) return 0;
  if (decoder) *decoder = NewDecoder(format);
  return 1;
}
