#pragma once
// The program's pictures by name: icons from the program's resources
// ("app" is the program icon, the others are named IMG_ and the name in
// capitals), each loaded at the pixel size it is shown at, and the maker's
// logo, which is drawn in code.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/win32/ui/handles.h"

namespace hv::platform::win32::winui {

class ImageLibrary {
 public:
  explicit ImageLibrary(HINSTANCE instance) : instance_(instance) {}
  ImageLibrary(const ImageLibrary&) = delete;
  ImageLibrary& operator=(const ImageLibrary&) = delete;

  // The named icon at size x size pixels, or null when the program has no
  // picture of that name. The library keeps it.
  HICON icon(std::string_view name, int size);
  // Draws the named picture stretched into r; false when there is none.
  bool draw(HDC dc, std::string_view name, const RECT& r);

  static std::wstring resourceName(std::string_view name);

 private:
  HINSTANCE instance_;
  std::map<std::pair<std::string, int>, IconHandle> icons_;
};

}  // namespace hv::platform::win32::winui
