// The engine's device fonts on Windows: the system's TrueType and OpenType
// faces read through GDI, glyph outlines in the face's own design units.
// "_sans" is Arial, "_serif" Times New Roman, "_typewriter" Courier New; a
// family Windows lacks gets the face GDI's font mapper picks for it.
#pragma once

#include "movie/text/Typeface.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>

class GdiFonts final : public movie::text::DeviceFonts {
  public:
    std::shared_ptr<movie::text::Typeface> Face(const std::string& family, bool bold, bool italic) override;

  private:
    std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<movie::text::Typeface>> faces_;
};
