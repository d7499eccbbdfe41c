// The effects that sox also has, against sox as an outside reference, on the same
// float samples. Where the two differ by design the test states how.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audiofiles/effects/EffectAmplify.h"
#include "audiofiles/effects/EffectEcho.h"
#include "audiofiles/effects/EffectFadeIn.h"
#include "audiofiles/effects/EffectFadeOut.h"
#include "audiofiles/effects/EffectReverse.h"
#include "tests/audiofiles/effects/effect_test_support.h"

namespace {

using effecttest::EffectProject;

constexpr double kRate = 8000.0;

bool HaveSox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

class SoxReference : public EffectProject {
protected:
  void SetUp() override {
    EffectProject::SetUp();
    if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
  }

  // sox's output for `input` (mono float at kRate) through `effect` (sox's words).
  std::vector<float> Sox(const std::vector<float>& input, const std::string& effect) {
    const std::string in = mFolder + "/sox-in.raw", out = mFolder + "/sox-out.raw";
    {
      std::ofstream f(in, std::ios::binary);
      f.write(reinterpret_cast<const char*>(input.data()),
              static_cast<std::streamsize>(input.size() * sizeof(float)));
    }
    const std::string command = "sox -V1 -t f32 -r " + std::to_string(int(kRate)) + " -c 1 '" + in +
                                "' -t f32 '" + out + "' " + effect;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream f(out, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    std::vector<float> result(bytes.size() / sizeof(float));
    std::memcpy(result.data(), bytes.data(), result.size() * sizeof(float));
    return result;
  }

  // Ours on the whole of `input`.
  std::vector<float> Ours(Effect& effect, const std::vector<float>& input) {
    mList.Clear(false);
    mTracks.clear();
    WaveTrack* track = AddTrack(input, kRate);
    EXPECT_TRUE(Run(effect, 0.0, input.size() / kRate));
    return Samples(track);
  }

  static std::vector<float> Signal(std::size_t n) {
    std::vector<float> v(n);
    for (std::size_t i = 0; i < n; ++i)
      v[i] = static_cast<float>(0.3 * std::sin(0.01 * i) + 0.1 * std::sin(0.37 * i));
    return v;
  }
};

void ExpectClose(const std::vector<float>& ours, const std::vector<float>& sox, std::size_t count,
                 std::size_t soxShift = 0) {
  ASSERT_GE(ours.size(), count);
  ASSERT_GE(sox.size(), count + soxShift);
  for (std::size_t i = 0; i < count; ++i) ASSERT_NEAR(ours[i], sox[i + soxShift], 2e-6) << i;
}

TEST_F(SoxReference, AmplifyIsVol) {
  const std::vector<float> x = Signal(5000);
  EffectAmplify amplify;
  amplify.SetRatio(0.5f);
  ExpectClose(Ours(amplify, x), Sox(x, "vol 0.5"), x.size());
  amplify.SetRatio(2.0f);
  ExpectClose(Ours(amplify, x), Sox(x, "vol 2.0"), x.size());
}

TEST_F(SoxReference, ReverseIsReverse) {
  const std::vector<float> x = Signal(4321);
  EffectReverse reverse;
  ExpectClose(Ours(reverse, x), Sox(x, "reverse"), x.size());
}

TEST_F(SoxReference, FadeInIsALinearFadeAndFadeOutEndsOneSampleEarlier) {
  const std::vector<float> x = Signal(3000);
  EffectFadeIn in;
  ExpectClose(Ours(in, x), Sox(x, "fade t " + std::to_string(3000 / kRate)), x.size());

  // sox's fade-out gives its last sample 1/n of the level; ours reaches silence on
  // the selection's last sample. On a constant our sample i is sox's sample i + 1.
  const std::vector<float> flat(3000, 0.5f);
  EffectFadeOut out;
  const std::string seconds = std::to_string(3000 / kRate);
  const std::vector<float> ours = Ours(out, flat);
  ExpectClose(ours, Sox(flat, "fade t 0 " + seconds + " " + seconds), flat.size() - 1, 1);
  EXPECT_EQ(ours.back(), 0.0f);
}

TEST_F(SoxReference, EchoIsSoxsEchoesOfEveryOrder) {
  // Ours feeds the echo back (each echo is echoed again); sox's echo adds delayed
  // copies of the input only, and a tail after the end. With sox given the echoes of
  // every order up to the selection's length the two agree inside the selection.
  const int delay = 400;  // samples
  const std::vector<float> x = Signal(7 * delay + 123);
  EffectEcho echo;
  echo.SetParameters(static_cast<float>(delay / kRate), 0.5f);
  std::string soxEcho = "echo 1 1";
  double decay = 1.0;
  for (int order = 1; order <= 7; ++order) {
    decay *= 0.5;
    soxEcho += " " + std::to_string(order * delay * 1000.0 / kRate) + " " + std::to_string(decay);
  }
  const std::vector<float> sox = Sox(x, soxEcho);
  EXPECT_GT(sox.size(), x.size());  // sox's tail
  ExpectClose(Ours(echo, x), sox, x.size());
}

}  // namespace
