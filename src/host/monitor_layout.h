#pragma once

// How the screen the system reports is cut into monitors: panels of
// 1024 x 768, 1280 x 1024 or 1600 x 1200 side by side count as several
// monitors of that size; any other height is one monitor.
struct MonitorLayout {
  int screenWidth = 0, screenHeight = 0;
  int monitorWidth = 0, monitorHeight = 0;
  int monitorCount = 1;
  float windowScale = 1.0f;  // monitor height / 1024
};

MonitorLayout monitorLayout(int screenWidth, int screenHeight, int monitors);
