// zlib and libjpeg are linked and work in the target build.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <zlib.h>
extern "C" {
#include <jpeglib.h>
}

namespace {

TEST(Libraries, ZlibDeflateInflateRoundTrip) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "今日日志 line " + std::to_string(i) + "\r\n";
  uLongf packedSize = compressBound(static_cast<uLong>(text.size()));
  std::vector<Bytef> packed(packedSize);
  ASSERT_EQ(compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text.data()),
                      static_cast<uLong>(text.size()), 1),
            Z_OK);
  EXPECT_LT(packedSize, text.size() / 4);
  std::string back(text.size(), '\0');
  uLongf backSize = static_cast<uLongf>(back.size());
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(back.data()), &backSize, packed.data(), packedSize), Z_OK);
  EXPECT_EQ(backSize, text.size());
  EXPECT_EQ(back, text);
}

TEST(Libraries, JpegEncodesAndDecodesInMemory) {
  const int width = 37, height = 21;
  std::vector<unsigned char> rgb(width * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &rgb[(y * width + x) * 3];
      p[0] = static_cast<unsigned char>(x * 6);
      p[1] = static_cast<unsigned char>(y * 12);
      p[2] = 128;
    }

  jpeg_compress_struct c{};
  jpeg_error_mgr cerr{};
  c.err = jpeg_std_error(&cerr);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&c, &out, &outSize);
  c.image_width = width;
  c.image_height = height;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = &rgb[c.next_scanline * width * 3];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  ASSERT_GT(outSize, 100u);
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[1], 0xD8);

  jpeg_decompress_struct d{};
  jpeg_error_mgr derr{};
  d.err = jpeg_std_error(&derr);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, out, outSize);
  ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
  jpeg_start_decompress(&d);
  EXPECT_EQ(d.output_width, static_cast<JDIMENSION>(width));
  EXPECT_EQ(d.output_height, static_cast<JDIMENSION>(height));
  std::vector<unsigned char> back(width * height * 3);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = &back[d.output_scanline * width * 3];
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  std::free(out);
  // Lossy, but close: the centre pixel stays within a few levels.
  const unsigned char* a = &rgb[(10 * width + 18) * 3];
  const unsigned char* b = &back[(10 * width + 18) * 3];
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[k], b[k], 8);
}

}  // namespace
