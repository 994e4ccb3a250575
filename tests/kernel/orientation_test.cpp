// The orientation services against a model written from the orientation codes' definitions:
// the stored image of an upright picture for each code, built pixel by pixel.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "qskrn.h"

namespace {
struct Image {
  int W = 0, H = 0;
  std::vector<int> Pixels;
  int At(int x, int y) const { return Pixels[size_t(y) * W + x]; }
  bool operator==(const Image& o) const { return W == o.W && H == o.H && Pixels == o.Pixels; }
};

// The picture dw x dh holds unique ids; stored(code) is how that picture is stored.
Image Stored(int code, int dw, int dh) {
  auto P = [&](int row, int col) { return row * dw + col; };
  const bool transposed = code >= 5;
  Image s;
  s.W = transposed ? dh : dw;
  s.H = transposed ? dw : dh;
  s.Pixels.resize(size_t(s.W) * s.H);
  for (int y = 0; y < s.H; ++y) {
    for (int x = 0; x < s.W; ++x) {
      int v = 0;
      switch (code) {
        case 1: v = P(y, x); break;
        case 2: v = P(y, dw - 1 - x); break;
        case 3: v = P(dh - 1 - y, dw - 1 - x); break;
        case 4: v = P(dh - 1 - y, x); break;
        case 5: v = P(x, y); break;                      // first row = left column, from the top
        case 6: v = P(x, dw - 1 - y); break;             // first row = right column, from the top
        case 7: v = P(dh - 1 - x, dw - 1 - y); break;    // first row = right column, from the bottom
        case 8: v = P(dh - 1 - x, y); break;             // first row = left column, from the bottom
      }
      s.Pixels[size_t(y) * s.W + x] = v;
    }
  }
  return s;
}

Image FlipRows(const Image& in) {
  Image out = in;
  for (int y = 0; y < in.H; ++y)
    for (int x = 0; x < in.W; ++x) out.Pixels[size_t(y) * in.W + x] = in.At(x, in.H - 1 - y);
  return out;
}

Image TurnClockwise(const Image& in) {
  Image out;
  out.W = in.H;
  out.H = in.W;
  out.Pixels.resize(in.Pixels.size());
  for (int y = 0; y < out.H; ++y)
    for (int x = 0; x < out.W; ++x) out.Pixels[size_t(y) * out.W + x] = in.At(y, in.H - 1 - x);
  return out;
}

std::multiset<int> Contents(const Image& img, const RECT& r) {
  std::multiset<int> values;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) values.insert(img.At(x, y));
  return values;
}
}  // namespace

TEST(Orientation, InfoTurnsEveryFrameIntoEveryOther) {
  const int dw = 5, dh = 3;
  for (int from = 1; from <= 8; ++from) {
    for (int to = 1; to <= 8; ++to) {
      int flip = -1, angle = -1;
      ASSERT_EQ(KrnOrientationInfo(from, to, &flip, &angle), 1);
      Image image = Stored(from, dw, dh);
      if (flip) image = FlipRows(image);
      for (int k = 0; k < angle / 90; ++k) image = TurnClockwise(image);
      EXPECT_TRUE(image == Stored(to, dw, dh)) << "from " << from << " to " << to << ": flip " << flip
                                               << ", angle " << angle;
    }
  }
  int flip, angle;
  EXPECT_EQ(KrnOrientationInfo(1, 1, &flip, &angle), 1);
  EXPECT_EQ(flip, 0);
  EXPECT_EQ(angle, 0);
  EXPECT_EQ(KrnOrientationInfo(0, 1, &flip, &angle), -13);
  EXPECT_EQ(KrnOrientationInfo(1, 9, &flip, &angle), -13);
}

TEST(Orientation, MappedRectanglesHoldTheSamePixels) {
  const int dw = 7, dh = 4;
  for (int from = 1; from <= 8; ++from) {
    const Image source = Stored(from, dw, dh);
    for (int to = 1; to <= 8; ++to) {
      const Image target = Stored(to, dw, dh);
      for (int l = 0; l < source.W; l += 2) {
        for (int t = 0; t < source.H; ++t) {
          RECT r{l, t, source.W - (l % 3 == 0 ? 0 : 1), t + 1 + (source.H - t - 1) / 2};
          RECT mapped = r;
          ASSERT_EQ(KrnMapViewPoint(from, source.W, source.H, to, &mapped), 1);
          ASSERT_LE(mapped.left, mapped.right);
          ASSERT_LE(mapped.top, mapped.bottom);
          ASSERT_GE(mapped.left, 0);
          ASSERT_LE(mapped.right, target.W);
          ASSERT_LE(mapped.bottom, target.H);
          EXPECT_EQ(Contents(source, r), Contents(target, mapped)) << "from " << from << " to " << to;
        }
      }
    }
  }
}

TEST(Orientation, BitmapPerspectiveServicesRoundTrip) {
  BitmapRecord bitmap{};
  bitmap.StructSize = QS_RECORD_SIZE;
  bitmap.Width = 9;
  bitmap.Height = 4;
  for (int o = 1; o <= 8; ++o) {
    bitmap.Orientation = o;
    const Image stored = Stored(o, o >= 5 ? 4 : 9, o >= 5 ? 9 : 4);
    const Image upright = Stored(1, o >= 5 ? 4 : 9, o >= 5 ? 9 : 4);
    RECT r{2, 1, 7, 3};
    RECT view = r;
    ASSERT_EQ(KrnRectToPerspective(&bitmap, 1, &view), 1);
    EXPECT_EQ(Contents(stored, r), Contents(upright, view)) << "orientation " << o;
    ASSERT_EQ(KrnRectFromPerspective(&bitmap, 1, &view), 1);
    EXPECT_EQ(view.left, r.left);
    EXPECT_EQ(view.top, r.top);
    EXPECT_EQ(view.right, r.right);
    EXPECT_EQ(view.bottom, r.bottom);

    POINT p{8, 3};
    ASSERT_EQ(KrnPointToPerspective(&bitmap, 1, &p), 1);
    EXPECT_EQ(upright.At(p.x, p.y), stored.At(8, 3)) << "orientation " << o;
    ASSERT_EQ(KrnPointFromPerspective(&bitmap, 1, &p), 1);
    EXPECT_EQ(p.x, 8);
    EXPECT_EQ(p.y, 3);
  }
}
