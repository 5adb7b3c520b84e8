// The picture as the view shows it at a zoom: the window pixels of a
// rectangle of the zoomed picture, made from the picture's own rows on each
// paint. Whole factors (200 %, 300 % ...) repeat each picture pixel,
// pixel-exact; every other scale averages the picture pixels each window
// pixel covers, weighted by the part of it they cover (an area average).
// That smooths a reduction without dropping thin lines, which a sampling
// filter such as bilinear skips below 50 % (and which then flicker as the
// foreground moves), gives the exact mean of each 2 × 2 block at 50 %, and
// at 150 % keeps pixels sharp with only the seams between them mixed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Window pixels per picture pixel, as a fraction in lowest terms: 2/1 at
// 200 %, 1/3 at 33 %. Both parts are positive.
struct Scale {
  int32_t num = 1;
  int32_t den = 1;
};

inline bool operator==(Scale a, Scale b) { return a.num == b.num && a.den == b.den; }
inline bool operator!=(Scale a, Scale b) { return !(a == b); }

// Rows stored bottom-up as the document keeps them: 3 bytes a pixel (blue,
// green, red) or 4 (the fourth, alpha, is not shown: a lone foreground
// shows its premultiplied colour as it is).
struct ScaleSource {
  const uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  size_t stride = 0;
  int bytesPerPixel = 3;
};

// A rectangle of the zoomed picture, in window pixels from its top-left
// corner.
struct ScaleRegion {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The rows of a region are made and shown a strip at a time, each strip
// small enough to stay in the processor's cache between the two: this
// many rows of `width` pixels, at least one.
int32_t StripRows(int32_t width);

class ZoomScaler {
 public:
  // `simd` false keeps to the plain loops, which give the same rows: for
  // the tests, which compare the two.
  explicit ZoomScaler(bool simd = true) : simd_(simd) {}

  // Prepares the rows of `region`, which must lie inside the zoomed picture
  // (ceil(size × scale) on each axis); false, with nothing to make, when it
  // does not or is empty.
  bool Begin(const ScaleSource& source, Scale scale, ScaleRegion region);
  // The next `rows` rows of the region, top first, each `region.width`
  // pixels of 32 bits (blue, green, red, 0) one after the other, no more
  // rows than the region has left.
  void NextRows(int32_t rows, uint32_t* out);

 private:
  // The picture pixels that a window pixel covers on one axis, each with
  // its share of the window pixel in kWeightOne parts.
  struct Taps {
    int32_t first = 0;
    int32_t count = 0;
    size_t weights = 0;  // index of the first weight
  };
  void MakeTaps(int32_t start, int32_t length, int32_t pictureLength, std::vector<Taps>& taps,
                std::vector<uint16_t>& weights) const;
  void MakeEvenTaps();
  const uint8_t* SourceRow(int32_t fromTop) const;
  void NearestRow(int32_t y, uint32_t* out);
  void AverageRow(int32_t y, uint32_t* out);

  ScaleSource source_;
  Scale scale_;
  ScaleRegion region_;
  int32_t next_ = 0;  // the region's next row
  bool whole_ = false;
  // Nearest neighbour: the picture row of the last row made.
  int32_t lastSourceRow_ = -1;
  // Area average: the taps of the region's columns and rows, and one row of
  // vertical sums over the picture columns the region covers.
  std::vector<Taps> columns_, rows_;
  std::vector<uint16_t> columnWeights_, rowWeights_;
  std::vector<uint32_t> sums_;
  std::vector<const uint8_t*> rowPointers_;
  int32_t firstColumn_ = 0;
  int32_t columnCount_ = 0;
  // The vertical sums a colour to a plane, 16 bits each.
  std::vector<int16_t> planes_;
  size_t planeStride_ = 0;
  // Where every window pixel covers at most kEvenTaps columns (all scales
  // from a third up): each pixel's first column and its weights, padded
  // with zeros, twice over (MakeEvenTaps).
  static constexpr int32_t kEvenTaps = 4;
  bool even_ = false;
  std::vector<uint32_t> evenStarts_;
  std::vector<int16_t> evenWeights_;
  bool simd_ = true;
};
