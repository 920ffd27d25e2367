#include "host/monitor_layout.h"

MonitorLayout monitorLayout(int screenWidth, int screenHeight, int monitors) {
  MonitorLayout m;
  m.screenWidth = screenWidth;
  m.screenHeight = screenHeight;
  m.monitorHeight = screenHeight;
  m.monitorCount = monitors;
  int panel = 0;
  switch (screenHeight) {
    case 768: panel = 1024; break;
    case 1024: panel = 1280; break;
    case 1200: panel = 1600; break;
    default: break;
  }
  if (panel == 0) {
    m.monitorWidth = screenWidth;
  } else {
    m.monitorWidth = panel;
    if (screenWidth > panel) m.monitorCount = screenWidth / panel + monitors - 1;
  }
  m.windowScale = float(m.monitorHeight) * (1.0f / 1024.0f);
  return m;
}
