// Numbers of the enhanced-metafile format the codec writes and reads: record types, stock
// objects, pen and brush styles, and the fixed scale between picture pixels and logical units.
#pragma once

#include <QtGlobal>

namespace morvane::emf {

// Record types (EMR_*).
namespace record {
constexpr quint32 Header = 1;
constexpr quint32 PolyBezier = 2;
constexpr quint32 Polygon = 3;
constexpr quint32 Polyline = 4;
constexpr quint32 PolyPolyline = 7;
constexpr quint32 PolyPolygon = 8;
constexpr quint32 SetWindowExtEx = 9;
constexpr quint32 SetWindowOrgEx = 10;
constexpr quint32 SetViewportExtEx = 11;
constexpr quint32 SetViewportOrgEx = 12;
constexpr quint32 SetBrushOrgEx = 13;
constexpr quint32 Eof = 14;
constexpr quint32 SetMapperFlags = 16;
constexpr quint32 SetMapMode = 17;
constexpr quint32 SetBkMode = 18;
constexpr quint32 SetPolyFillMode = 19;
constexpr quint32 SetRop2 = 20;
constexpr quint32 SetStretchBltMode = 21;
constexpr quint32 SetTextAlign = 22;
constexpr quint32 SetColorAdjustment = 23;
constexpr quint32 SetTextColor = 24;
constexpr quint32 SetBkColor = 25;
constexpr quint32 MoveToEx = 27;
constexpr quint32 SetMetaRgn = 28;
constexpr quint32 IntersectClipRect = 30;
constexpr quint32 SaveDc = 33;
constexpr quint32 RestoreDc = 34;
constexpr quint32 SetWorldTransform = 35;
constexpr quint32 ModifyWorldTransform = 36;
constexpr quint32 SelectObject = 37;
constexpr quint32 CreatePen = 38;
constexpr quint32 CreateBrushIndirect = 39;
constexpr quint32 DeleteObject = 40;
constexpr quint32 Ellipse = 42;
constexpr quint32 Rectangle = 43;
constexpr quint32 SelectPalette = 48;
constexpr quint32 CreatePalette = 49;
constexpr quint32 RealizePalette = 52;
constexpr quint32 LineTo = 54;
constexpr quint32 SetArcDirection = 57;
constexpr quint32 SetMiterLimit = 58;
constexpr quint32 GdiComment = 70;
constexpr quint32 ExtSelectClipRgn = 75;
constexpr quint32 StretchDiBits = 81;
constexpr quint32 ExtCreateFontIndirectW = 82;
constexpr quint32 ExtTextOutW = 84;
constexpr quint32 Polygon16 = 86;
constexpr quint32 Polyline16 = 87;
constexpr quint32 PolyPolyline16 = 90;
constexpr quint32 PolyPolygon16 = 91;
constexpr quint32 CreateDibPatternBrushPt = 94;
constexpr quint32 ExtCreatePen = 95;
constexpr quint32 SetIcmMode = 98;
constexpr quint32 CreateColorSpace = 99;
constexpr quint32 SetColorSpace = 100;
constexpr quint32 DeleteColorSpace = 101;
constexpr quint32 SetLayout = 115;
constexpr quint32 SetTextJustification = 120;
}  // namespace record

constexpr quint32 kSignature = 0x464D4520;  // " EMF"
constexpr quint32 kVersion = 0x00010000;
constexpr quint32 kHeaderFixedSize = 108;  // header with both extensions, before the description

// Stock objects select with the high bit set.
constexpr quint32 kStockFlag = 0x80000000;
constexpr quint32 kWhiteBrush = 0x80000000;
constexpr quint32 kBlackBrush = 0x80000004;
constexpr quint32 kNullBrush = 0x80000005;
constexpr quint32 kWhitePen = 0x80000006;
constexpr quint32 kBlackPen = 0x80000007;
constexpr quint32 kNullPen = 0x80000008;

// Map modes.
constexpr quint32 kMmText = 1;
constexpr quint32 kMmAnisotropic = 8;

constexpr quint32 kTransparent = 1;
constexpr quint32 kOpaque = 2;
constexpr quint32 kAlternate = 1;
constexpr quint32 kWinding = 2;
constexpr quint32 kTaBaseline = 24;
constexpr quint32 kRgnCopy = 5;
constexpr quint32 kGmCompatible = 1;

// Pen styles: dash style | end cap | join | type.
constexpr quint32 kPsSolid = 0;
constexpr quint32 kPsDash = 1;
constexpr quint32 kPsDot = 2;
constexpr quint32 kPsDashDot = 3;
constexpr quint32 kPsDashDotDot = 4;
constexpr quint32 kPsNull = 5;
constexpr quint32 kPsInsideFrame = 6;
constexpr quint32 kPsUserStyle = 7;
constexpr quint32 kPsStyleMask = 0x0F;
constexpr quint32 kPsEndcapRound = 0x0000;
constexpr quint32 kPsEndcapSquare = 0x0100;
constexpr quint32 kPsEndcapFlat = 0x0200;
constexpr quint32 kPsEndcapMask = 0x0F00;
constexpr quint32 kPsJoinRound = 0x0000;
constexpr quint32 kPsJoinBevel = 0x1000;
constexpr quint32 kPsJoinMiter = 0x2000;
constexpr quint32 kPsJoinMask = 0xF000;
constexpr quint32 kPsGeometric = 0x00010000;

constexpr quint32 kBsSolid = 0;
constexpr quint32 kBsNull = 1;
constexpr quint32 kBsHatched = 2;
constexpr quint32 kBsDibPatternPt = 6;

// Reference device of every picture we write: 96 dpi, 1920 x 1440 px = 508 x 381 mm.
constexpr int kRefDevicePixelsX = 1920;
constexpr int kRefDevicePixelsY = 1440;
constexpr int kRefDeviceMillimetersX = 508;
constexpr int kRefDeviceMillimetersY = 381;

// Logical units per picture pixel: coordinates keep 1/16 px after rounding to integers.
constexpr int kUnitsPerPixel = 16;

}  // namespace morvane::emf
