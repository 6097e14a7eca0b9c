#pragma once

#include <QByteArray>

class QDataStream;

namespace trx {

// Reads an image in its stream form (a qint32 marker, 0 for a null image, then a PNG file)
// without decoding it: the PNG is walked chunk by chunk to its IEND chunk, so that whatever
// follows the image in the payload stays aligned. The PNG's bytes land in png (empty for a null
// image). A stream that ends early or does not hold a PNG is marked corrupt, the rest of it
// skipped, and png left empty.
void readPngStream(QDataStream &s, QByteArray &png);

} // namespace trx
