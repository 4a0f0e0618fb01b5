#include "masked_bitmap.h"

int CMaskedBitmap::GetWidth() const {
  BITMAP description = {};
  GetObjectA(m_hObject, sizeof description, &description);
  return description.bmWidth;
}

int CMaskedBitmap::GetHeight() const {
  BITMAP description = {};
  GetObjectA(m_hObject, sizeof description, &description);
  return description.bmHeight;
}

void CMaskedBitmap::DrawMasked(HDC dc, int x, int y, COLORREF crTransparent) {
  DrawMaskedScaled(dc, x, y, GetWidth(), GetHeight(), crTransparent);
}

// The image is XORed onto the target, the mask clears every pixel that is
// not transparent, and a second XOR of the image restores the target where
// the mask let it through and leaves the image everywhere else. Stretched,
// each target pixel takes one picture pixel (no blend), in all three steps.
void CMaskedBitmap::DrawMaskedScaled(HDC dc, int x, int y, int width, int height, COLORREF crTransparent) {
  const COLORREF oldBack = SetBkColor(dc, m_crTargetBack);
  const COLORREF oldText = SetTextColor(dc, m_crTargetText);

  HDC imageDC = CreateCompatibleDC(dc);
  HDC maskDC = CreateCompatibleDC(dc);
  HGDIOBJ oldImage = SelectObject(imageDC, m_hObject);

  const int w = GetWidth(), h = GetHeight();
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);

  // Colour to monochrome: pixels of the image's background colour become 1.
  SetBkColor(imageDC, crTransparent);
  BitBlt(maskDC, 0, 0, w, h, imageDC, 0, 0, SRCCOPY);

  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  for (HDC source : {imageDC, maskDC, imageDC}) {
    StretchBlt(dc, x, y, width, height, source, 0, 0, w, h, source == maskDC ? SRCAND : SRCINVERT);
  }
  SetStretchBltMode(dc, oldMode);

  SelectObject(imageDC, oldImage);
  SelectObject(maskDC, oldMask);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);

  ::DeleteObject(mask);
  DeleteDC(maskDC);
  DeleteDC(imageDC);
}
