// A page picture as a PDF image stream, written without Qt's writer. A JPEG goes in as its
// own bytes, for the reader to decode. Any other picture goes in as its pixels: the rows with
// PNG's Paeth predictor, deflated in one block whose only matches are the runs of zeros the
// predictor leaves on flat areas. A chart is mostly such areas: this takes a fifth of the time
// of Qt's raw pixels through zlib, for a stream some 15 % larger.
#pragma once

#include <QByteArray>
#include <QImage>

namespace morvane::pdf {

// The zlib stream of `image`'s rows (Format_RGB32; its colours, alpha ignored), each a filter
// byte 4 (Paeth) and its red, green and blue bytes less their Paeth predictions.
// Decoded with /DecodeParms << /Predictor 15 /Colors 3 /BitsPerComponent 8 /Columns width >>.
QByteArray deflatedRows(const QImage& image);

// The dictionary entries, between << and >>, of the image XObject holding that stream.
QByteArray imageDictionary(int width, int height, qsizetype length);

// The dictionary entries of an image XObject whose stream is `jpeg` itself, decoded by the
// reader (/DCTDecode): the page keeps the file's own bytes, with no decoding or deflating here.
// Empty unless `jpeg` is a JPEG of 8-bit samples in one (grey) or three (colour) components
// whose frame header comes before its first scan.
QByteArray jpegImageDictionary(const QByteArray& jpeg);

}  // namespace morvane::pdf
