#pragma once
// The instrument look around the series: a light grid at the ticks, the
// frame of the plot, tick marks, labels and the axis titles.
#include <QPainter>
#include <QPalette>

#include "chart/layout.h"

void DrawAxes(QPainter& painter, const ChartLayout& layout, const QPalette& palette);
