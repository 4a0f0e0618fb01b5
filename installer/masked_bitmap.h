// A bitmap that draws itself with one colour transparent: pixels of that
// colour, wherever they are in the picture, let the target show through.
#pragma once

#include "framework.h"

class CMaskedBitmap : public CBitmap {
 public:
  COLORREF m_crTargetText = RGB(0, 0, 0);
  COLORREF m_crTargetBack = RGB(255, 255, 255);

  int GetWidth() const;
  int GetHeight() const;
  virtual void DrawMasked(HDC dc, int x, int y, COLORREF crTransparent);
  // The same, stretched to `width` x `height` pixels pixel by pixel, so that
  // the transparent colour stays exact (a screen above 96 DPI).
  void DrawMaskedScaled(HDC dc, int x, int y, int width, int height, COLORREF crTransparent);
};
