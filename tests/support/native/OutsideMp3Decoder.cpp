#include "tests/support/native/OutsideMp3Decoder.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "tests/support/native/Programs.h"

namespace audiotest {

namespace {
std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
}  // namespace

bool HaveOutsideMp3Decoder() { return testsupport::HaveProgram("mpg123"); }

Decoded DecodeMp3Outside(const std::string& path) {
  const std::string wav = path + ".mpg123-" + std::to_string(::getpid()) + ".wav";
  Decoded d;
  if (testsupport::Shell("mpg123 -q -e f32 -w " + Quoted(wav) + " " + Quoted(path))) d = DecodeSndfile(wav);
  std::remove(wav.c_str());
  return d;
}

double Mp3AnnouncedSeconds(const std::string& path) {
  // In its verbose test mode mpg123 shows, before the first frame, the
  // position and the time left: "> 00+60  00:00.00+00:01.54 ...".
  const std::string text = testsupport::Run("mpg123 -t -v " + Quoted(path) + " 2>&1 | tr '\\r' '\\n'");
  std::size_t at = 0;
  while ((at = text.find("> ", at)) != std::string::npos) {
    int frame = 0, left = 0, m0 = 0, m1 = 0;
    double s0 = 0, s1 = 0;
    if (std::sscanf(text.c_str() + at, "> %d+%d %d:%lf+%d:%lf", &frame, &left, &m0, &s0, &m1, &s1) == 6)
      return m0 * 60 + s0 + m1 * 60 + s1;
    at += 2;
  }
  return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace audiotest
