#include "modem/engine_timing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>

namespace modem::timing {
namespace {
std::atomic<double> scale{1.0};
}

int Scaled(int milliseconds) {
  if (milliseconds <= 0) return milliseconds;
  const double value = std::round(milliseconds * scale.load());
  return static_cast<int>(std::clamp(value, 1.0, 2147483647.0));
}

double Scale() { return scale.load(); }

void SetScale(double value) { scale.store(value > 0 ? value : 1.0); }

double TestSlowdown() {
  const char* text = std::getenv("TALVANE_TEST_SLOWDOWN");
  const double factor = text != nullptr ? std::atof(text) : 1.0;
  return factor >= 1.0 ? factor : 1.0;
}

}  // namespace modem::timing
