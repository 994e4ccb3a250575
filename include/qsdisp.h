/* QSDSP14E: the display library of the imaging toolkit. Every function is stdcall on 32-bit
 * Windows and returns a signed 32-bit result code (1 success, negative failure) or a handle.
 * Records come from qsrecords.h; the kernel library's services from qskrn.h. Plain C. */
#ifndef QSDISP_H
#define QSDISP_H

#include "qsrecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- display mode (per thread) ---- */
uint32_t QSAPI Q_SetDisplayMode(uint32_t mask, uint32_t value); /* returns the previous word */
uint32_t QSAPI Q_GetDisplayMode(void);

/* ---- painting ----
 * Paints the bitmap, or srcRect of it (stored pixels; null: all of it), upright for its
 * Orientation into dstRect of hdc (logical units; bottom above top paints the same pixels as
 * the rectangle given top-down), scaled when the sizes differ. srcClip and dstClip (null: none)
 * limit what is painted; rop is the raster operation of every band. */
#if defined(_WIN32)
int32_t QSAPI Q_PaintDC(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                        const RECT* dstRect, const RECT* dstClip, uint32_t rop);
#endif

/* Rows firstRow .. firstRow + |rowCount| - 1 of the bitmap, held by the caller in buffer (each
 * BytesPerLine bytes, in the record's format; the record needs no pixel storage), painted as
 * Q_PaintDC paints them; what lies outside the band is not painted. A negative rowCount paints
 * from a copy of the rows. */
#if defined(_WIN32)
int32_t QSAPI Q_PaintDCBuffer(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                              const RECT* dstRect, const RECT* dstClip, uint32_t rop, uint8_t* buffer, int32_t firstRow,
                              int32_t rowCount);
#endif

/* Four grey planes of 8 or 16 bits (planes[0..3]: cyan, magenta, yellow, black; same size,
 * orientation and depth) painted as colour. colorHandle: a transform of the colour-conversion
 * library QSCLR14N.DLL (loaded while needed), or null for the plain CMYK conversion. */
#if defined(_WIN32)
int32_t QSAPI Q_PaintDCCMYKArray(HDC hdc, BitmapRecord** planes, uint32_t planeCount, const RECT* srcRect,
                                 const RECT* srcClip, const RECT* dstRect, const RECT* dstClip, uint32_t rop,
                                 void* colorHandle);
#endif

/* ---- painting: tone and palette ----
 * Tone settings of a bitmap, folded into its PaintLUT: intensity and contrast -1000..1000,
 * gamma in hundredths (100 neutral, 0 refused). Setters return 1 or a code; getters the value. */
int32_t QSAPI Q_SetPaintIntensity(BitmapRecord* bitmap, int32_t value);
int32_t QSAPI Q_SetPaintContrast(BitmapRecord* bitmap, int32_t value);
int32_t QSAPI Q_SetPaintGamma(BitmapRecord* bitmap, uint32_t value);
int32_t QSAPI Q_GetPaintIntensity(const BitmapRecord* bitmap);
int32_t QSAPI Q_GetPaintContrast(const BitmapRecord* bitmap);
int32_t QSAPI Q_GetPaintGamma(const BitmapRecord* bitmap); /* 0 for a wrong record size */
#if defined(_WIN32)
/* The logical palette to realise before painting the bitmap into hdc (null: a 24-bit device);
 * 0 when none is needed or on failure. The caller deletes it. */
HPALETTE QSAPI Q_CreatePaintPalette(HDC hdc, BitmapRecord* bitmap);
#endif

/* ---- regions: the record, queries and the rectangle region ----
 * A bitmap carries at most one region (its Region record). Without one, queries answer as if
 * the whole bitmap (0, 0, Width, Height) were selected. Row then column where both appear. */
int32_t QSAPI Q_BitmapHasRgn(const BitmapRecord* bitmap); /* 1 or 0, not a result code */
int32_t QSAPI Q_FreeBitmapRgn(BitmapRecord* bitmap);
/* Bounds in the caller's coordinates of transform (null: bitmap pixels). */
int32_t QSAPI Q_GetBitmapRgnBounds(const BitmapRecord* bitmap, const RgnTransform* transform, RECT* rect);
/* The same, cut to (0, 0, Width, Height) after the transform. */
int32_t QSAPI Q_GetBitmapRgnBoundsClip(const BitmapRecord* bitmap, const RgnTransform* transform, RECT* rect);
int32_t QSAPI Q_IsPtInBitmapRgn(const BitmapRecord* bitmap, int32_t row, int32_t column); /* 1 or 0 */
int32_t QSAPI Q_GetBitmapRgnArea(const BitmapRecord* bitmap, uint32_t* area);
/* The most values (two per segment) one row can return: the buffer size for the next call. */
int32_t QSAPI Q_GetBitmapClipSegmentsMax(const BitmapRecord* bitmap, uint32_t* values);
int32_t QSAPI Q_GetBitmapClipSegments(const BitmapRecord* bitmap, int32_t row, int32_t* buffer, uint32_t* count);
/* clip non-zero: later regions are cut to the bitmap; 0: they may reach beyond it. */
int32_t QSAPI Q_SetBitmapRgnClip(BitmapRecord* bitmap, int32_t clip);
int32_t QSAPI Q_GetBitmapRgnClip(const BitmapRecord* bitmap, uint32_t* clip);
/* An independent copy of a region record (null source: null copy). */
int32_t QSAPI Q_CopyQorbRgn(RgnRecord** copy, const RgnRecord* source);
/* Combine modes: 0 and, 1 replace, 2 new minus old, 3 old minus new, 4 or, 5 xor,
 * 6 bitmap minus new. */
int32_t QSAPI Q_SetBitmapRgnRect(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect,
                                 uint32_t mode);
int32_t QSAPI Q_OffsetBitmapRgn(BitmapRecord* bitmap, int32_t rowOffset, int32_t columnOffset);

/* ---- regions: shapes ----
 * A curve: Bezier points (type 0), a cardinal spline through the points (1) or, for
 * Q_CurveToBezier only, a natural or periodic cubic spline through them (2). 36 bytes on
 * 32-bit Windows; Size is 36 on every target. */
#pragma pack(push, 4)
typedef struct CurveRecord {
  uint32_t Size;     /*  0 36 */
  uint32_t Type;     /*  4 0 Bezier points, 1 cardinal spline, 2 cubic spline */
  int32_t Count;     /*  8 points */
  POINT* Points;     /* 12 */
  uint32_t FillMode; /* 16 0 winding, 1 alternate */
  double Tension;    /* 20 cardinal spline tension, 0.0 to 1.0 */
  uint32_t Closure;  /* 28 0 open (the end points only steer), 1 closed, 2 through all points */
  uint32_t Reserved; /* 32 not read */
} CurveRecord;
#pragma pack(pop)
/* The curve's points as PolyBezier takes them. points null: *count receives the number of
 * points needed. Otherwise *count gives the room in points and receives the number written. */
int32_t QSAPI Q_CurveToBezier(const CurveRecord* curve, int32_t* count, POINT* points);
#if defined(_WIN32)
/* Shapes made by GDI in the caller's coordinates, combined into the bitmap like a rectangle.
 * Fill modes: 0 winding, 1 alternate. */
int32_t QSAPI Q_SetBitmapRgnRoundRect(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect,
                                      int32_t ellipseWidth, int32_t ellipseHeight, uint32_t mode);
int32_t QSAPI Q_SetBitmapRgnEllipse(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect,
                                    uint32_t mode);
int32_t QSAPI Q_SetBitmapRgnPolygon(BitmapRecord* bitmap, const RgnTransform* transform, const POINT* points,
                                    int32_t count, uint32_t fillMode, uint32_t mode);
/* Needs pixel storage. */
int32_t QSAPI Q_SetBitmapRgnCurve(BitmapRecord* bitmap, const RgnTransform* transform, const CurveRecord* curve,
                                  uint32_t mode);
/* The caller's region is only read. A null handle removes the bitmap's region. */
int32_t QSAPI Q_SetBitmapRgnHandle(BitmapRecord* bitmap, const RgnTransform* transform, HRGN region,
                                   uint32_t mode);
#endif

/* ---- regions: masks ----
 * The region as a 1-bit mask of the bitmap's size and orientation (index 1 inside; the caller
 * frees it), and a mask's light pixels (nearer white than black) as a new region. */
int32_t QSAPI Q_CreateMaskFromBitmapRgn(const BitmapRecord* bitmap, BitmapRecord* mask, uint32_t recordSize);
int32_t QSAPI Q_SetBitmapRgnFromMask(BitmapRecord* bitmap, const RgnTransform* transform, BitmapRecord* mask,
                                     uint32_t mode);
#if defined(_WIN32)
/* ---- regions: GDI regions and region data ----
 * The region in the caller's coordinates (null transform: the bitmap's own view). The Int form
 * may hand out the handle kept in the region record (*owned 0: do not delete it, and do not
 * keep it past the next change of the region); the others always give the caller a handle.
 * Without a region the bitmap's rectangle is given. Data follow the RGNDATA layout; size 0
 * asks for the bytes needed (get) or removes the region (set). */
int32_t QSAPI Q_IntGetBitmapRgnHandle(BitmapRecord* bitmap, const RgnTransform* transform, HRGN* handle,
                                      uint32_t* owned);
int32_t QSAPI Q_GetBitmapRgnHandle(BitmapRecord* bitmap, const RgnTransform* transform, HRGN* handle);
/* The region as painted: the bitmap (or srcRect of it, in stored pixels) fitted to dstRect. */
int32_t QSAPI Q_GetResizedRgnHandle(BitmapRecord* bitmap, const RECT* srcRect, const RECT* dstRect, HRGN* handle,
                                    uint32_t* owned);
int32_t QSAPI Q_GetBitmapRgnData(BitmapRecord* bitmap, const RgnTransform* transform, int32_t size, void* buffer);
int32_t QSAPI Q_SetBitmapRgnData(BitmapRecord* bitmap, const RgnTransform* transform, int32_t size, const void* data,
                                 uint32_t mode);

/* ---- regions: painting ----
 * Q_PaintDC and Q_PaintDCBuffer with only the region's pixels reaching the device (the first
 * narrows the context's clipping, the second replaces it). Q_FrameBitmapRgn outlines the region
 * with diagonal stripes in the context's text and background colours; frameType 0, 1, 2, ...
 * moves them a pixel each. Q_ColorBitmapRgn XORs colour over the region (twice restores). */
int32_t QSAPI Q_PaintRgnDC(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                           const RECT* dstRect, const RECT* dstClip, uint32_t rop);
int32_t QSAPI Q_PaintRgnDCBuffer(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                                 const RECT* dstRect, const RECT* dstClip, uint32_t rop, uint8_t* buffer,
                                 int32_t firstRow, int32_t rowCount);
int32_t QSAPI Q_FrameBitmapRgn(HDC hdc, BitmapRecord* bitmap, const RgnTransform* transform, uint32_t frameType);
int32_t QSAPI Q_ColorBitmapRgn(HDC hdc, BitmapRecord* bitmap, const RgnTransform* transform, COLORREF colour);
#endif

/* ---- underlay ----
 * Lightens or darkens every pixel of the target inside its region by how far the underlay's
 * grey beneath it lies above or below 128; the underlay is seen in the target's orientation
 * and repeated from the first stored row and column (mode 0) or stretched to the target (1). */
int32_t QSAPI Q_UnderlayBitmap(BitmapRecord* target, BitmapRecord* underlay, int32_t mode);

/* ---- colour tools ----
 * One colour between red-green-blue (COLORREF) and packed hue-saturation-value (hue in bits
 * 0-7 over the full circle, saturation 8-15, value 16-23). Q_RGBtoHSV carries bits 24-31
 * through; Q_HSVtoRGB ignores them and returns them zero. */
uint32_t QSAPI Q_RGBtoHSV(uint32_t colour);
uint32_t QSAPI Q_HSVtoRGB(uint32_t hsv);

/* ---- colour spaces ----
 * count packed pixels from one format code to another of the same family: 8-bit 0 BGR, 1 Y and
 * colour differences, 2 CMYK, 3 HSV, 4 HLS, 5 YIQ, 6 CMY; 16-bit 0x10 BGR, 0x20 Y and colour
 * differences, 0x30 YIQ, 0x40 HSV, 0x50 HLS, 0x60 CMY, 0x70 CMYK (Y, I, Q and the differences as
 * signed 16-bit values with 16384 for 1.0). dest may be source. 1, -13, or -1 for memory. */
int32_t QSAPI Q_ConvertColorSpace(const void* source, void* dest, int32_t count, uint32_t sourceCode,
                                  uint32_t destCode);

/* ---- window level ----
 * Q_WindowLevel attaches a copy of a table of 0x00RRGGBB entries (null: none) and the bits
 * lowBit..highBit (negative high bit: the top bit of the pixel) to a 12 or 16-bit grey bitmap;
 * apply 1 makes painting look pixels up in it. The fill functions write a table of `length`
 * entries: the pixel values lowValue..highValue (cut to minValue..maxValue, shifted right by
 * lowBit) get a ramp between two COLORREFs (flags 0x10 linear, 0x20 exponential, 0x30
 * logarithmic, 0x40 sigmoid, steepness factor / 10), the values outside fixed colours (fill
 * mode 1 or 2 in flags 0xF; flags 0x100 for a table of signed values). */
int32_t QSAPI Q_WindowLevel(BitmapRecord* bitmap, int32_t lowBit, int32_t highBit, const uint32_t* table,
                            int32_t length, int32_t apply);
int32_t QSAPI Q_WindowLevelFillLUT(uint32_t* table, int32_t length, uint32_t startColour, uint32_t endColour,
                                   int32_t lowValue, int32_t highValue, int32_t lowBit, int32_t highBit,
                                   int32_t minValue, int32_t maxValue, int32_t factor, uint32_t flags);
int32_t QSAPI Q_WindowLevelFillLUT2(uint32_t* table, int32_t length, uint32_t startColour, uint32_t endColour,
                                    int32_t lowValue, int32_t highValue, int32_t lowBit, int32_t highBit,
                                    int32_t minValue, int32_t maxValue, int32_t factor, uint32_t flags);

/* ---- regions: colours and the magic wand ----
 * New regions from the bitmap's pixels, combined with its region under mode. A colour is a
 * COLORREF, a palette index in the low bits with top byte 0x01 (palette bitmaps), or a 16-bit
 * grey level with bit 0x4000000 (its top 8 bits as red, green and blue off 12 and 16-bit grey
 * bitmaps). Ranges are inclusive; a hue range whose lower end is above its upper end crosses 0.
 * The wand fills the 4-connected area around column x, row y whose channels lie within the
 * tolerances of that pixel's; the border fill also stops at pixels sharing any one channel with
 * the border colour. */
int32_t QSAPI Q_SetBitmapRgnColor(BitmapRecord* bitmap, uint32_t colour, uint32_t mode);
int32_t QSAPI Q_SetBitmapRgnColorRGBRange(BitmapRecord* bitmap, uint32_t lower, uint32_t upper, uint32_t mode);
int32_t QSAPI Q_SetBitmapRgnColorHSVRange(BitmapRecord* bitmap, uint32_t lower, uint32_t upper, uint32_t mode);
int32_t QSAPI Q_SetBitmapRgnMagicWand(BitmapRecord* bitmap, int32_t x, int32_t y, uint32_t lowerTolerance,
                                      uint32_t upperTolerance, uint32_t mode);
int32_t QSAPI Q_SetBitmapRgnBorder(BitmapRecord* bitmap, int32_t x, int32_t y, uint32_t border,
                                   uint32_t lowerTolerance, uint32_t upperTolerance, uint32_t mode);

#if defined(_WIN32)
/* ---- double buffering ----
 * One handle per painting site, disabled until enabled. Begin returns the context to paint
 * into (the handle's memory context holding a width x height bitmap, remade when the size or
 * the device changes; or hdc itself when disabled; null on failure); End copies the off-screen
 * picture to hdc at its origin. */
int32_t QSAPI Q_DoubleBufferCreateHandle(DoubleBufferRecord** handle);
int32_t QSAPI Q_DoubleBufferEnable(DoubleBufferRecord* handle, int32_t enable);
HDC QSAPI Q_DoubleBufferBegin(DoubleBufferRecord* handle, HDC hdc, int32_t width, int32_t height);
int32_t QSAPI Q_DoubleBufferEnd(DoubleBufferRecord* handle, HDC hdc);
int32_t QSAPI Q_DoubleBufferDestroyHandle(DoubleBufferRecord* handle);

/* ---- screen capture ----
 * rect (logical units of hdc; bottom above top counts its height from top) of what hdc shows,
 * as a new bitmap in the caller's record. */
int32_t QSAPI Q_ScreenCaptureBitmap(HDC hdc, BitmapRecord* bitmap, uint32_t structSize, const RECT* rect);

/* ---- device-dependent bitmaps and packed DIBs ----
 * To a GDI bitmap of the upright size, painted as on screen (dithered to the fixed palette);
 * hdc null: the screen. 1-bit grey bitmaps give monochrome GDI bitmaps. 0 on any failure. The
 * Change form frees the bitmap's storage after success. */
HBITMAP QSAPI Q_ConvertToDDB(HDC hdc, BitmapRecord* bitmap);
HBITMAP QSAPI Q_ChangeToDDB(HDC hdc, BitmapRecord* bitmap);
/* Fills the record from a GDI bitmap read through hdc (null: the screen) with hPalette realised
 * when given. The Change form deletes hBitmap and hPalette after success. */
int32_t QSAPI Q_ConvertFromDDB(HDC hdc, BitmapRecord* bitmap, uint32_t structSize, HBITMAP hBitmap,
                               HPALETTE hPalette);
int32_t QSAPI Q_ChangeFromDDB(HDC hdc, BitmapRecord* bitmap, uint32_t structSize, HBITMAP hBitmap,
                              HPALETTE hPalette);
/* Fills the record from a packed DIB in global memory; the caller keeps hDIB. A header without
 * a resolution gives the screen's. */
int32_t QSAPI Q_DIBToQorb(BitmapRecord* bitmap, uint32_t structSize, HGLOBAL hDIB);
#endif

#ifdef __cplusplus
}
#endif

#endif
