// What the player puts on the monitors beyond its own: on each, a borderless
// black window showing the same movie (one timeline, one clock) fitted to
// that monitor, the whole stage visible and centred.
#pragma once

#include "app/FrameSurface.h"
#include "app/MovieFrameRenderer.h"
#include "app/ShockwaveFlash.h"

#include "gui/Form.h"
#include "gui/WinControl.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// The monitors of the desktop in virtual-screen coordinates, the primary
// one first.
std::vector<RECT> DisplayMonitors();

// The frames of a movie control drawn at this control's own size.
class MovieMirror : public gui::WinControl {
  public:
    MovieMirror(gui::Component* owner, TShockwaveFlash& source);

    // Draws the source's current frame if it changed (all of it with force)
    // and blits what changed.
    void Present(bool force);
    std::uint64_t FramesBlitted() const { return framesBlitted_; }
    const FrameSurface& Surface() const { return surface_; }

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void PaintWindow(HDC dc) override;
    void EraseBackground(HDC dc) override;
    void BoundsChanged(bool moved, bool resized) override;

  private:
    bool draw(bool force, RECT& changed);

    TShockwaveFlash& source_;
    MovieFrameRenderer renderer_;
    FrameSurface surface_;
    std::uint64_t framesBlitted_ = 0;
};

// A borderless black window over one monitor, holding a mirror of the movie.
// It never takes the activation from the player window; key-downs that reach
// it anyway come to its OnKeyDown (key preview).
class Tfrm_cover : public gui::Form {
  public:
    Tfrm_cover(gui::Component* owner, TShockwaveFlash& source, const RECT& monitor);

    MovieMirror* mirror = nullptr;

  protected:
    void CreateParamsFor(CreateParams& params) override;
};
