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

// The image is XORed onto the target, the mask clears every pixel that is
// not transparent, and a second XOR of the image restores the target where
// the mask let it through and leaves the image everywhere else.
void CMaskedBitmap::DrawMasked(HDC dc, int x, int y, COLORREF crTransparent) {
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

  BitBlt(dc, x, y, w, h, imageDC, 0, 0, SRCINVERT);
  BitBlt(dc, x, y, w, h, maskDC, 0, 0, SRCAND);
  BitBlt(dc, x, y, w, h, imageDC, 0, 0, SRCINVERT);

  SelectObject(imageDC, oldImage);
  SelectObject(maskDC, oldMask);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);

  ::DeleteObject(mask);
  DeleteDC(maskDC);
  DeleteDC(imageDC);
}
