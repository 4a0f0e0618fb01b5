// Where the helper's dialogs go on the desktop. Pure code, no Windows header.
#pragma once

// Where a window of `width` x `height` goes to be centred on the desktop
// rectangle: kept 10 pixels inside its right and bottom edges, and at 1
// rather than below 0.
struct Origin {
  int x, y;
};
Origin CentredOnDesktop(int left, int top, int right, int bottom, int width, int height);
