/* Records shared by the display library QSDSP14E and the kernel library QSKRN14E.
 *
 * On 32-bit Windows every record has the exact protocol layout (offsets in the comments); on
 * 64-bit targets the field order stays and pointers and handles widen, while StructSize keeps
 * the protocol value 164. Plain C, usable from C and C++. */
#ifndef QSRECORDS_H
#define QSRECORDS_H

#include <stdint.h>

#if defined(_WIN32)
#include <windows.h>
#else
/* The host build has no Windows headers: the few plain types the records use, same layout. */
typedef struct tagRECT { int32_t left, top, right, bottom; } RECT;
typedef struct tagPOINT { int32_t x, y; } POINT;
typedef struct tagRGBQUAD { uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved; } RGBQUAD;
typedef uint32_t COLORREF;
typedef void* HANDLE;
typedef struct tagBITMAPINFOHEADER {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
} BITMAPINFOHEADER;
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define QSAPI __stdcall
#else
#define QSAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define QS_RECORD_SIZE 164u

/* BitmapRecord Flags bits. */
#define QS_FLAG_STORAGE        0x00001u /* pixel storage is allocated */
#define QS_FLAG_ONE_BLOCK      0x00002u /* pixels are one directly addressable block at Bits */
#define QS_FLAG_ROW_BLOCKS     0x00004u /* pixels are stored apart, reachable only through the kernel */
#define QS_FLAG_WAIT_INPUT     0x00040u /* animation frame waits for user input */
#define QS_FLAG_TRANSPARENT    0x00080u /* animation frame: Transparency is valid */
#define QS_FLAG_NO_SCAN        0x00200u /* pixels may not be scanned */
#define QS_FLAG_WINDOW_LUT     0x00800u /* LUT applies to the pixel values */
#define QS_FLAG_PAINT_LUT      0x02000u /* PaintLUT differs from the identity */
#define QS_FLAG_RGN_UNCLIPPED  0x10000u /* regions may reach beyond the bitmap */

struct RgnRecord;

typedef struct BitmapRecord {
  uint32_t StructSize;          /*   0 */
  uint32_t KrnStorageKind;      /*   4 kernel's */
  void* Bits;                   /*   8 */
  int32_t Width;                /*  12 */
  int32_t Height;               /*  16 */
  int32_t BitsPerPixel;         /*  20 */
  int32_t BytesPerLine;         /*  24 */
  uint32_t KrnAccessCount;      /*  28 kernel's */
  uint32_t KrnReserved32;       /*  32 kernel's */
  uint32_t Flags;               /*  36 */
  int32_t ColorCount;           /*  40 */
  RGBQUAD* Palette;             /*  44 */
  int32_t Orientation;          /*  48 */
  int32_t Order;                /*  52 */
  uint32_t KrnReserved56;       /*  56 kernel's */
  uint32_t KrnReserved60;       /*  60 kernel's */
  int32_t KrnField64;           /*  64 kernel's; the underlay sets it on its scratch record */
  struct RgnRecord* Region;     /*  68 */
  int32_t XResolution;          /*  72 */
  int32_t YResolution;          /*  76 */
  int32_t Left;                 /*  80 */
  int32_t Top;                  /*  84 */
  uint32_t Delay;               /*  88 */
  uint32_t Background;          /*  92 */
  uint32_t Transparency;        /*  96 */
  uint32_t Disposal;            /* 100 */
  int32_t LowBit;               /* 104 */
  int32_t HighBit;              /* 108 */
  uint32_t* LUT;                /* 112 */
  int32_t LUTLength;            /* 116 */
  uint32_t KrnReserved120;      /* 120 kernel's */
  int32_t MinVal;               /* 124 */
  int32_t MaxVal;               /* 128 */
  int32_t WindowLowBit;         /* 132 */
  int32_t WindowHighBit;        /* 136 */
  int32_t PaintGamma;           /* 140 */
  int32_t PaintContrast;        /* 144 */
  int32_t PaintIntensity;       /* 148 */
  uint8_t* PaintLUT;            /* 152 */
  void* Overlays;               /* 156 */
  uint32_t KrnReserved160;      /* 160 kernel's */
} BitmapRecord;

/* Carries a region between a caller's coordinates and the bitmap's. */
typedef struct RgnTransform {
  uint32_t Orientation;
  int32_t XScaleNum;
  int32_t XScaleDen;
  int32_t YScaleNum;
  int32_t YScaleDen;
  int32_t XOffset;
  int32_t YOffset;
} RgnTransform;

typedef struct RgnRow {
  int32_t Count;   /* i32 values in the row, two per segment */
  uint32_t Offset; /* byte offset of the row's first value in Segments */
} RgnRow;

typedef struct RgnRecord {
  HANDLE CachedHandle;          /* HRGN */
  RgnTransform CachedTransform;
  uint32_t CachedPerspective;
  HANDLE MaskBitmap;            /* HBITMAP */
  RgnTransform MaskTransform;
  uint32_t MaskPerspective;
  RECT Bounds;
  uint32_t RowTableBytes;
  RgnRow* RowTable;
  uint32_t SegmentBytes;
  int32_t* Segments;
} RgnRecord;

/* A double-buffer handle: the host's off-screen painting site for one window. */
typedef struct DoubleBufferRecord {
  int32_t Enabled;          /* non-zero: Begin hands out the memory context */
  HANDLE MemoryDC;          /* HDC, made at the first enabled Begin */
  int32_t HasBitmap;        /* an off-screen bitmap is selected into MemoryDC */
  HANDLE SavedBitmap;       /* what MemoryDC held before, put back at destruction */
  int32_t Width, Height;    /* size of the off-screen bitmap */
  int32_t DeviceTechnology; /* device facts seen at the last Begin (all ones at first) */
  int32_t DeviceBitsPixel;
  int32_t DevicePlanes;
} DoubleBufferRecord;

#ifdef __cplusplus
}
#endif

#endif
