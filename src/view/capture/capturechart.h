#pragma once
// The capture display on a chart, apart from any window: the capture window
// draws each block through it, and so does tarnwick-ctl's plot, so that both
// pictures are the same.

class TChart;
struct DisplayPoints;
struct DisplaySettings;

// Replaces the points of the chart's series: graph 1 in Series1, graph 2 in
// Series2, the peak hold in Series3, the constellation in Series5, each in
// its own colour.
void ShowPoints(TChart& chart, const DisplayPoints& points);

// Marks the fundamental of the spectrum shown; other modes have no mark.
void ShowFundamental(TChart& chart, const DisplaySettings& settings, const DisplayPoints& points);

// Titles the chart's axes for the display mode.
void ShowModeTitles(TChart& chart, const DisplaySettings& settings);
