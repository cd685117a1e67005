// Preloaded into the program, an iconv as other C libraries have it: with
// ICONV_AS=musl it opens no converter, as where the C library has none for the
// locale's code page; with ICONV_AS=freebsd it reports a character replaced
// in every conversion, as FreeBSD's does where it puts "?".
#include <dlfcn.h>
#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool acting_as(const char* system) {
  const char* chosen = std::getenv("ICONV_AS");
  return chosen != nullptr && std::strcmp(chosen, system) == 0;
}

}  // namespace

extern "C" iconv_t iconv_open(const char* to, const char* from) {
  if (acting_as("musl")) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  using Open = iconv_t (*)(const char*, const char*);
  return reinterpret_cast<Open>(dlsym(RTLD_NEXT, "iconv_open"))(to, from);
}

extern "C" size_t iconv(iconv_t converter, char** in, size_t* in_left, char** out,
                        size_t* out_left) {
  using Convert = size_t (*)(iconv_t, char**, size_t*, char**, size_t*);
  const size_t result =
      reinterpret_cast<Convert>(dlsym(RTLD_NEXT, "iconv"))(converter, in, in_left, out, out_left);
  return result == 0 && in != nullptr && acting_as("freebsd") ? 1 : result;
}
