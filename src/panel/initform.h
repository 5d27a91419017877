#pragma once
// The layout file's two operations: building the panel and the chart
// settings from it, and writing them back.

void LoadLayout();
void SaveLayout();
