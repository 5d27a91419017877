#include "capture/chartmain.h"

#include <QMenuBar>

#include "chart/chart.h"

TformChart* formChart = nullptr;

TformChart::TformChart() {
  setWindowTitle("Chart");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  resize(808, 854);
  Chart = new TChart(this);
  setCentralWidget(Chart);
  mmMenu = menuBar();
  nnOption = mmMenu->addAction("Options...");
  QMenu* graph = mmMenu->addMenu("Graph");
  nnGraph = graph->menuAction();
  nnGraph1 = graph->addAction("Graph 1 (red, I, [31:16])");
  nnGraph2 = graph->addAction("Graph 2 (green, Q, [15:0])");
  for (QAction* item : {nnGraph1, nnGraph2}) {
    item->setCheckable(true);
    item->setChecked(true);
  }
  nnRun = mmMenu->addAction("Run");
  nnStop = mmMenu->addAction("Stop");
  nnOnce = mmMenu->addAction("Once");
  nnAvg = mmMenu->addAction("Avg");
  nnSave = mmMenu->addAction("Save");
  nnStop->setEnabled(false);
}
