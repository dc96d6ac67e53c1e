// Makes the program's images at build time: bitmaps 101 to 106, which paint the on-screen
// layout, and the program's icon. Runs on the build machine, so it uses nothing but the
// standard library and writes every file format byte by byte.
//
//   make_resources OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Pixel {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;  // top row first
  Image(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
  Pixel& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

std::uint8_t Mix(int from, int to, double t) {
  return static_cast<std::uint8_t>(std::lround(from + (to - from) * std::clamp(t, 0.0, 1.0)));
}

Pixel Blend(Pixel from, Pixel to, double t) {
  return {Mix(from.r, to.r, t), Mix(from.g, to.g, t), Mix(from.b, to.b, t), Mix(from.a, to.a, t)};
}

// A top-to-bottom gradient.
Image Vertical(int w, int h, Pixel top, Pixel bottom) {
  Image image(w, h);
  for (int y = 0; y < h; ++y) {
    const Pixel p = Blend(top, bottom, h > 1 ? double(y) / (h - 1) : 0.0);
    for (int x = 0; x < w; ++x) image.at(x, y) = p;
  }
  return image;
}

// The panel: top-left to bottom-right, inside a 1-pixel lighter edge.
Image Panel(int w, int h, Pixel topLeft, Pixel bottomRight, Pixel edge) {
  Image image(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool onEdge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
      const double t = (double(x) / (w - 1) + double(y) / (h - 1)) / 2;
      image.at(x, y) = onEdge ? edge : Blend(topLeft, bottomRight, t);
    }
  }
  return image;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// BITMAPINFOHEADER, uncompressed; `heightFactor` 2 for an icon's XOR and AND images.
void PutInfoHeader(std::vector<std::uint8_t>& out, const Image& image, int bits, int heightFactor,
                   std::uint32_t imageSize) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(image.width));
  Put32(out, static_cast<std::uint32_t>(image.height * heightFactor));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
}

// Rows bottom-up, each padded to 4 bytes.
std::vector<std::uint8_t> PixelRows(const Image& image, int bits) {
  std::vector<std::uint8_t> rows;
  const int bytes = bits / 8;
  const int stride = (image.width * bytes + 3) & ~3;
  for (int y = image.height - 1; y >= 0; --y) {
    const std::size_t start = rows.size();
    for (int x = 0; x < image.width; ++x) {
      Pixel p = image.pixels[static_cast<std::size_t>(y) * image.width + x];
      rows.push_back(p.b);
      rows.push_back(p.g);
      rows.push_back(p.r);
      if (bytes == 4) rows.push_back(p.a);
    }
    rows.resize(start + stride, 0);
  }
  return rows;
}

std::vector<std::uint8_t> Bmp(const Image& image, int bits) {
  const std::vector<std::uint8_t> rows = PixelRows(image, bits);
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(14 + 40 + rows.size()));
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, image, bits, 1, static_cast<std::uint32_t>(rows.size()));
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

// An icon file of 32-bit images, each with its AND mask.
std::vector<std::uint8_t> Ico(const std::vector<Image>& images) {
  std::vector<std::vector<std::uint8_t>> entries;
  for (const Image& image : images) {
    std::vector<std::uint8_t> data;
    const std::vector<std::uint8_t> rows = PixelRows(image, 32);
    const int maskStride = ((image.width + 31) / 32) * 4;
    std::vector<std::uint8_t> mask;
    for (int y = image.height - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(maskStride, 0);
      for (int x = 0; x < image.width; ++x) {
        if (image.pixels[static_cast<std::size_t>(y) * image.width + x].a == 0) {
          row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
      }
      mask.insert(mask.end(), row.begin(), row.end());
    }
    PutInfoHeader(data, image, 32, 2, static_cast<std::uint32_t>(rows.size() + mask.size()));
    data.insert(data.end(), rows.begin(), rows.end());
    data.insert(data.end(), mask.begin(), mask.end());
    entries.push_back(std::move(data));
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(images[i].width % 256));
    out.push_back(static_cast<std::uint8_t>(images[i].height % 256));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(entries[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(entries[i].size());
  }
  for (const auto& entry : entries) out.insert(out.end(), entry.begin(), entry.end());
  return out;
}

// Coverage of a pixel by a rounded rectangle, softened over one pixel at its edge.
double RoundedRect(double x, double y, double left, double top, double right, double bottom,
                   double radius) {
  const double cx = std::clamp(x, left + radius, right - radius);
  const double cy = std::clamp(y, top + radius, bottom - radius);
  const double d = std::hypot(x - cx, y - cy) - radius;
  return std::clamp(0.5 - d, 0.0, 1.0);
}

double Circle(double x, double y, double cx, double cy, double r) {
  return std::clamp(0.5 - (std::hypot(x - cx, y - cy) - r), 0.0, 1.0);
}

// The icon: a dark remote with an orange button above three rows of keys.
Image Icon(int size) {
  Image image(size, size);
  const double s = size / 32.0;
  const Pixel body{58, 58, 58, 255};
  const Pixel rim{120, 120, 120, 255};
  const Pixel orange{241, 148, 0, 255};
  const Pixel key{150, 150, 150, 255};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double outer = RoundedRect(px, py, 7 * s, 1 * s, 25 * s, 31 * s, 5 * s);
      const double inner = RoundedRect(px, py, 8 * s, 2 * s, 24 * s, 30 * s, 4 * s);
      Pixel p = Blend(rim, body, inner);
      p = Blend(p, orange, Circle(px, py, 16 * s, 8 * s, 3.2 * s));
      for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
          p = Blend(p, key,
                    Circle(px, py, (11.5 + 4.5 * col) * s, (15.5 + 4.5 * row) * s, 1.4 * s));
        }
      }
      p.a = static_cast<std::uint8_t>(std::lround(255 * outer));
      image.at(x, y) = p;
    }
  }
  return image;
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

Pixel Grey(int v) {
  return {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), 255};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_resources OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  // Key bitmaps are 400 x 60 and stretched to each key; only their outer pixel shows of the
  // edges, which are lighter at the top than at the bottom, like a bevel.
  const struct {
    int id;
    Image image;
    int bits;
  } bitmaps[] = {
      {101, Vertical(400, 60, Grey(103), Grey(60)), 32},
      {102, Vertical(400, 60, Grey(120), Grey(79)), 32},
      {103, Vertical(400, 60, {241, 148, 0, 255}, {210, 127, 0, 255}), 32},
      {104, Panel(800, 300, Grey(62), Grey(20), Grey(96)), 24},
      {105, Vertical(400, 60, Grey(66), Grey(26)), 32},
      {106, Vertical(400, 60, Grey(46), Grey(21)), 32},
  };
  for (const auto& bitmap : bitmaps) {
    const std::string path = dir + "bitmap" + std::to_string(bitmap.id) + ".bmp";
    if (!Write(path, Bmp(bitmap.image, bitmap.bits))) {
      std::fprintf(stderr, "make_resources: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  if (!Write(dir + "bkremote.ico", Ico({Icon(16), Icon(32), Icon(48)}))) {
    std::fprintf(stderr, "make_resources: cannot write %sbkremote.ico\n", dir.c_str());
    return 1;
  }
  return 0;
}
