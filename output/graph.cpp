// The on-screen graph of the current spectrum and the buttons that choose it.
#include "calibration/handlers.h"
#include "output/handlers.h"
#include "spectrum/handlers.h"
#include "output/graph_scale.h"

namespace lxr4 {

namespace {

void DrawCurve(Window& w, const Curve& curve) {
  Num x = std::int16_t{1};
  Num y = curve.startY;
  for (const CurvePoint& point : curve.points) {
    w.DrawLine(Control::Picgraph, x, y, point.x, point.y, kRed);
    x = point.x;
    y = point.y;
  }
}

}  // namespace

void DrawSpectrumGraph(Program& app) {
  const AppState& s = app.s;
  Window& w = app.w;
  w.ClearGraph();
  const GraphView view{.spectrum = s.CurrentSpectrum,
                       .length = s.SpectrumLength,
                       .max = s.SpectrumMax,
                       .min = s.SpectrumMin,
                       .cursor = static_cast<std::int16_t>(s.CursorPixel.AsDouble())};
  if (s.LinearGraph) DrawCurve(w, PlotCurve(view, GraphStyle::Linear));
  if (s.LogGraph) DrawCurve(w, PlotCurve(view, GraphStyle::Log));
  if (s.AutoscaledGraph) DrawCurve(w, PlotCurve(view, GraphStyle::Autoscaled));
  if (s.PushedGraph) DrawCurve(w, PlotCurve(view, GraphStyle::Pushed));
  for (const MarkerLine& m : CentroidMarkers(static_cast<std::int16_t>(s.CentroidWidth.AsDouble()))) {
    w.DrawLine(Control::Picgraph, m.x1, m.y1, m.x2, m.y2, kGreen);
  }
}

void cmdcalcspectra_Click(Program& app) {
  ExtractObjectSpectrum(app);
  app.w.SetColour(Control::Shphart1, kRed);
  app.w.SetColour(Control::shphart2, kBlack);
  app.w.SetColour(Control::Label3, kRed);
  app.w.SetColour(Control::Label2, kBlack);
  app.w.ClearGraph();
  app.s.CalGraphShown = kFalse;
  DrawSpectrumGraph(app);
}

void Cmdcalccal_Click(Program& app) {
  ExtractCalSpectrum(app);
  app.w.SetColour(Control::Shphart1, kBlack);
  app.w.SetColour(Control::shphart2, kRed);
  app.w.SetColour(Control::Label2, kRed);
  app.w.SetColour(Control::Label3, kBlack);
  app.w.ClearGraph();
  app.s.CalGraphShown = kTrue;
  DrawSpectrumGraph(app);
}

// Each style button sets the four flags and buttons in its own order; setting
// a button from here runs no click handler.
void autograph_Click(Program& app) {
  AppState& s = app.s;
  Window& w = app.w;
  w.SetOption(Control::Lingraph, false);
  s.LinearGraph = false;
  w.SetOption(Control::loggraph, false);
  s.LogGraph = false;
  w.SetOption(Control::autograph, true);
  s.AutoscaledGraph = true;
  w.SetOption(Control::pushgraph, false);
  s.PushedGraph = false;
  DrawSpectrumGraph(app);
}

void Lingraph_Click(Program& app) {
  AppState& s = app.s;
  Window& w = app.w;
  w.SetOption(Control::pushgraph, false);
  s.PushedGraph = false;
  w.SetOption(Control::Lingraph, true);
  s.LinearGraph = true;
  w.SetOption(Control::loggraph, false);
  s.LogGraph = false;
  w.SetOption(Control::autograph, false);
  s.AutoscaledGraph = false;
  DrawSpectrumGraph(app);
}

void loggraph_Click(Program& app) {
  AppState& s = app.s;
  Window& w = app.w;
  w.SetOption(Control::Lingraph, false);
  s.LinearGraph = false;
  w.SetOption(Control::loggraph, true);
  s.LogGraph = true;
  w.SetOption(Control::autograph, false);
  s.AutoscaledGraph = false;
  w.SetOption(Control::pushgraph, false);
  s.PushedGraph = false;
  DrawSpectrumGraph(app);
}

void pushgraph_Click(Program& app) {
  AppState& s = app.s;
  Window& w = app.w;
  w.SetOption(Control::pushgraph, true);
  s.PushedGraph = true;
  w.SetOption(Control::Lingraph, false);
  s.LinearGraph = false;
  w.SetOption(Control::loggraph, false);
  s.LogGraph = false;
  w.SetOption(Control::autograph, false);
  s.AutoscaledGraph = false;
  DrawSpectrumGraph(app);
}

}  // namespace lxr4
