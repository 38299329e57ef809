#include "runtime/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <limits>
#include <memory>

#include "engine/bitmap_file.h"
#include "engine/bitmap_header.h"
#include "engine/byte_reader.h"

namespace nobrelt::runtime {
namespace {

constexpr std::uint32_t BI_BITFIELDS = 3;

QClipboard* Clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

bool QtClipboard::Open() {
    if (open_ || Clipboard() == nullptr) return false;
    open_ = true;
    return true;
}

bool QtClipboard::Empty() {
    if (!open_) return false;
    Clipboard()->clear();
    return true;
}

bool QtClipboard::SetDib(std::vector<std::byte> block) {
    if (!open_) return false;
    const std::vector<std::byte> file = BitmapFileOf(block);
    if (file.empty()) return false;
    const QByteArray bytes(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size()));
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("image/bmp"), bytes);
    const QImage image = QImage::fromData(bytes, "BMP");
    if (!image.isNull()) data->setImageData(image);
    Clipboard()->setMimeData(data.release());  // the clipboard owns it now
    return true;
}

void QtClipboard::Close() { open_ = false; }

ClipboardPort& SystemClipboard() {
    static QtClipboard clipboard;
    return clipboard;
}

// The pixel bits follow the bitmap header, the three colour masks of a 40-byte header with
// BI_BITFIELDS, and the colour table.
std::vector<std::byte> BitmapFileOf(const std::vector<std::byte>& block) {
    const std::optional<BitmapInfoHeader> header = ParseBitmapInfoHeader(block);
    if (!header) return {};
    std::uint64_t pixelOffset = kBitmapFileHeaderSize + std::uint64_t{header->biSize} + ColourTableBytes(*header);
    if (header->biSize == kBitmapInfoHeaderSize && header->biCompression == BI_BITFIELDS) pixelOffset += 12;
    const std::uint64_t fileSize = kBitmapFileHeaderSize + block.size();
    if (fileSize > std::numeric_limits<std::uint32_t>::max() || pixelOffset > fileSize) return {};

    std::vector<std::byte> file(kBitmapFileHeaderSize);
    file[0] = std::byte{'B'};
    file[1] = std::byte{'M'};
    PutU32(file, 2, static_cast<std::uint32_t>(fileSize));
    PutU32(file, 10, static_cast<std::uint32_t>(pixelOffset));
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

}  // namespace nobrelt::runtime
