#pragma once
// The About window's falling characters: the drops, their arithmetic, and
// the picture they leave on the window.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "ui/form.h"

namespace hv::about {

struct TRainDrop {
  std::int32_t column = 0;
  std::int32_t row = 0;
  std::int32_t speed = 1;       // moves on every speed-th tick, 1 to 3
  std::int32_t brightness = 0;  // 0 to 99
};

inline constexpr int kMaxDrops = 5000;
inline constexpr int kTailLength = 40;

// Owner: the open About window (only one exists at a time), on the UI thread.
struct RainState {
  std::wstring RainChars;
  std::array<TRainDrop, kMaxDrops> Drops{};
  std::int32_t DropCount = 0;
  std::int32_t RainTick = 0;
};
RainState& Rain();

// 0 to n - 1, every value equally likely; 0 when n is 0 or less.
using RandomFn = std::function<int(int n)>;
RandomFn DefaultRandom();

// The row whose cell a drop in row erases: 40 rows back, wrapped into the
// rows 0 to matrixHeight.
int TailRow(int row, int matrixHeight);

struct DropColours {
  ui::Colour bright;
  ui::Colour dim;
};
// Green with a little red and blue; the dim colour has a third of the light.
DropColours DropColoursFor(int brightness);

// The window surface the animation draws on. Drawing is kept cell by cell,
// each character replacing what was drawn at its place, so the window can be
// painted again from it; everything else is black.
class RainPicture : public ui::Canvas {
 public:
  void fillRect(ui::Bounds r, ui::Colour c) override;
  void drawText(int x, int y, std::wstring_view text, ui::Colour c, int fontHeight,
                bool bold) override;
  void drawImage(std::string_view, ui::Bounds) override {}

  struct Cell {
    std::wstring text;
    ui::Colour colour;
    int fontHeight = 0;
  };
  // Cells by their top-left corner (x, y).
  const std::map<std::pair<int, int>, Cell>& cells() const { return cells_; }
  // Black over the area, then every cell.
  void paint(ui::Canvas& target, ui::Bounds area) const;

 private:
  std::map<std::pair<int, int>, Cell> cells_;
};

}  // namespace hv::about
