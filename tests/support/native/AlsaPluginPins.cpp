// ALSA unloads its plugins when PortAudio closes its devices, and some of them
// keep allocations past that; the leak checker then reports those from an
// unknown module. Any test that opens PortAudio loads them, with or without the
// audio rig (a test that finds no sound server probes every plugin), so each
// test binary pins them for its whole life: kept loaded, their memory stays
// reachable and the leak report shows only our own leaks.

#if defined(__SANITIZE_ADDRESS__)

#include <dlfcn.h>
#include <glob.h>

#include <cstddef>

namespace {

const bool alsaPluginsPinned = [] {
  glob_t found{};
  if (glob("/usr/lib/*/alsa-lib/libasound_module_*.so", 0, nullptr, &found) == 0) {
    for (std::size_t i = 0; i < found.gl_pathc; ++i) dlopen(found.gl_pathv[i], RTLD_NOW | RTLD_NODELETE);
  }
  globfree(&found);
  return true;
}();

}  // namespace

#endif
