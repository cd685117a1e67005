// UTF-8 test texts in GBK, as a GBK console gets them, or in another encoding.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

inline std::string converted(const std::string& utf8, const char* encoding) {
  iconv_t converter = iconv_open(encoding, "UTF-8");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  std::string in = utf8;
  std::string out(in.size() * 2, '\0');
  char* in_cursor = in.data();
  char* out_cursor = out.data();
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  EXPECT_NE(iconv(converter, &in_cursor, &in_left, &out_cursor, &out_left),
            static_cast<size_t>(-1));
  iconv_close(converter);
  out.resize(out.size() - out_left);
  return out;
}

inline std::string to_gbk(const std::string& utf8) { return converted(utf8, "GBK"); }
