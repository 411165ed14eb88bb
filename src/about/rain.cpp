#include "about/rain.h"

#include <algorithm>
#include <memory>
#include <random>

namespace hv::about {

RainState& Rain() {
  // See RainState. Made on first use: a static of its own would be constant-
  // initialised, and its 5000 drops stored in the program file.
  static auto* const state = new RainState;
  return *state;
}

RandomFn DefaultRandom() {
  auto engine = std::make_shared<std::mt19937>(std::random_device{}());
  return [engine](int n) {
    if (n <= 0) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(*engine);
  };
}

int TailRow(int row, int matrixHeight) {
  // Rows wrap over matrixHeight + 1 places; never less than one.
  const int rows = std::max(1, matrixHeight + 1);
  int t = row - kTailLength;
  while (t < 0) t += rows;
  return t;
}

DropColours DropColoursFor(int brightness) {
  auto colour = [](int light) {
    return ui::Colour{static_cast<std::uint8_t>(light * 150 / 255),
                      static_cast<std::uint8_t>(light),
                      static_cast<std::uint8_t>(light * 100 / 255)};
  };
  const int b = std::clamp(brightness, 0, 100) * 255 / 100;
  return {colour(b), colour(b / 3)};
}

void RainPicture::fillRect(ui::Bounds r, ui::Colour c) {
  // Only black is ever filled: the cells inside go.
  (void)c;
  std::erase_if(cells_, [&](const auto& entry) {
    const auto [x, y] = entry.first;
    return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
  });
}

void RainPicture::drawText(int x, int y, std::wstring_view text, ui::Colour c, int fontHeight,
                           bool) {
  cells_[{x, y}] = Cell{std::wstring(text), c, fontHeight};
}

void RainPicture::paint(ui::Canvas& target, ui::Bounds area) const {
  target.fillRect(area, {0, 0, 0});
  for (const auto& [at, SummaryCell] : cells_)
    target.drawText(at.first, at.second, SummaryCell.text, SummaryCell.colour,
                    SummaryCell.fontHeight, false);
}

}  // namespace hv::about
