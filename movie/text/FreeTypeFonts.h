// Device fonts from the fonts installed on a Debian system: fontconfig finds
// the file of a family, FreeType reads its outlines (native builds only;
// on Windows the host fills DeviceFonts from GDI). The generic names map to
// the Noto faces the setup installs: "_sans" to Noto Sans, "_serif" to Noto
// Serif, "_typewriter" to Noto Sans Mono; an unknown family gets whatever
// fontconfig finds closest, Noto Sans when it finds nothing. Made with a
// list of families, it stands for a machine with only those installed: a
// family not in the list falls back to the list's first.
#pragma once

#include "movie/text/Typeface.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace movie::text {

class FreeTypeFonts final : public DeviceFonts {
  public:
    FreeTypeFonts();
    explicit FreeTypeFonts(std::vector<std::string> installed);
    ~FreeTypeFonts() override;
    FreeTypeFonts(const FreeTypeFonts&) = delete;
    FreeTypeFonts& operator=(const FreeTypeFonts&) = delete;

    std::shared_ptr<Typeface> Face(const std::string& family, bool bold, bool italic) override;

  private:
    struct Library;
    std::shared_ptr<Library> library_;
    std::vector<std::string> installed_;
    std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<Typeface>> faces_;
};

} // namespace movie::text
