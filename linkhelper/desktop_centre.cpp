#include "desktop_centre.h"

Origin CentredOnDesktop(int left, int top, int right, int bottom, int width, int height) {
  int y = top + (bottom - top) / 2 - height / 2;
  int x = left + (right - left) / 2 - width / 2;
  if (y + height > bottom - 10) y = bottom - 10 - height;
  if (x + width > right - 10) x = right - 10 - width;
  if (y < 0) y = 1;
  if (x < 0) x = 1;
  return {x, y};
}
