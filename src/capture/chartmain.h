#pragma once
// The capture window: fetches sample blocks from the board and plots them.
#include <QMainWindow>

class QAction;
class TChart;

class TformChart : public QMainWindow {
  Q_OBJECT
 public:
  TformChart();

  TChart* Chart;  // fills the client area

  QMenuBar* mmMenu;
  QAction* nnOption;
  QAction* nnGraph;
  QAction* nnGraph1;
  QAction* nnGraph2;
  QAction* nnRun;
  QAction* nnStop;
  QAction* nnOnce;
  QAction* nnAvg;
  QAction* nnSave;

  // Display settings, stored in the layout file and edited by the options dialog.
  bool QamMode = false;
  bool Spectrum = false;
  bool Average = false;
  bool Running = false;
  bool Graph1 = true;
  bool Graph2 = true;
  bool RealAxis = false;
  bool ComplexFft = false;
  double FreqMHz = 150;
};

extern TformChart* formChart;
