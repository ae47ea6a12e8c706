// Program: what every handler works on: the state, the window it talks to,
// and the few steps of higher folders that a lower folder runs (a new
// extraction redraws the images and the graph; a moved crop box graphs its
// spectrum again). App (app/app.h) supplies those steps, so that each folder
// links only downward.
#pragma once

#include "state/app_state.h"
#include "state/window.h"

namespace lxr4 {

class Program {
 public:
  explicit Program(Window& window) : w(window) {}
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // display/: draws the image of `slot` (DrawObjectImage, DrawCalImage).
  virtual void DrawImage(Slot slot) = 0;
  // output/: DrawSpectrumGraph.
  virtual void DrawGraph() = 0;
  // output/: extracts and graphs the spectrum of `slot` ("Graph Spectra", "Graph Cal").
  virtual void GraphSpectrum(Slot slot) = 0;

  AppState s;
  Window& w;

 protected:
  ~Program() = default;
};

}  // namespace lxr4
