#include "paint/paint_canvas.h"

void AddPlatformCanvases(CanvasList& list, int width, int height) {
  list.push_back(std::make_unique<DibCanvas>(width, height));
}
