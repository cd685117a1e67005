// The POSIX side of the console's encoding: the locale names it, and iconv
// converts the texts.
#include <iconv.h>
#include <langinfo.h>

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "console/platform/platform.h"

namespace {

// "zh_CN.GBK@modifier" -> "GBK".
std::string_view codeset_suffix(std::string_view locale_name) {
  const auto dot = locale_name.find('.');
  if (dot == std::string_view::npos) return {};
  std::string_view codeset = locale_name.substr(dot + 1);
  return codeset.substr(0, codeset.find('@'));
}

const char* locale_variable() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return nullptr;
}

bool convert(iconv_t converter, std::string_view source, std::string& converted) {
  std::string in(source);
  // Two bytes of UTF-8 may take four of GB18030, and two of GBK three of
  // UTF-8: never more than twice as many.
  converted.assign(in.size() * 2 + 1, '\0');
  char* in_cursor = in.data();
  size_t in_left = in.size();
  char* out_cursor = converted.data();
  size_t out_left = converted.size();
  // A count of characters replaced (FreeBSD puts "?" for them) is a failure too.
  const bool whole = iconv(converter, &in_cursor, &in_left, &out_cursor, &out_left) == 0;
  converted.resize(converted.size() - out_left);
  return whole;
}

// GBK, GB2312, CP936 and EUC-CN are read as GBK, GB18030 as itself; in any
// case, with or without '-' or '_'.
Console_Encoding encoding_of_codeset(std::string_view codeset) {
  std::string plain;
  for (const char ch : codeset) {
    if (ch != '-' && ch != '_')
      plain += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  }
  if (plain == "GB18030") return Console_Encoding::kGb18030;
  for (const char* gbk : {"GBK", "GB2312", "CP936", "EUCCN"}) {
    if (plain == gbk) return Console_Encoding::kGbk;
  }
  return Console_Encoding::kUtf8;
}

}  // namespace

// The locale says it for the terminal and for whatever reads the output alike.
Console_Encoding choose_console_encoding(bool) {
  const char* name = locale_variable();
  if (name == nullptr) return Console_Encoding::kUtf8;  // the C locale
  // A name with its codeset says it all, and loading the locale costs time
  // and memory at every start.
  std::string codeset(codeset_suffix(name));
  if (codeset.empty() && std::strcmp(name, "C") != 0 && std::strcmp(name, "POSIX") != 0) {
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string previous_locale = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
      codeset = nl_langinfo(CODESET);
      std::setlocale(LC_CTYPE, previous_locale.c_str());
    }
  }
  return encoding_of_codeset(codeset);
}

bool convert_text(std::string_view text, Console_Encoding from, Console_Encoding to,
                  std::string& converted) {
  static constexpr const char* kNames[] = {"UTF-8", "GBK", "GB18030"};  // as Console_Encoding
  // Each pair opened once, when first used, and kept for the run.
  static iconv_t converters[std::size(kNames)][std::size(kNames)];
  static bool opened[std::size(kNames)][std::size(kNames)];
  const auto from_index = static_cast<std::size_t>(from);
  const auto to_index = static_cast<std::size_t>(to);
  iconv_t& converter = converters[from_index][to_index];
  if (!opened[from_index][to_index]) {
    converter = iconv_open(kNames[to_index], kNames[from_index]);
    opened[from_index][to_index] = true;
  }
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh start after a failure
  return convert(converter, text, converted);
}

bool has_man_pages() { return true; }
